#pragma once

#include "AppPath.h"
#include "BookCommandLine.h"

#include <QStringList>
#include <functional>
#include <memory>

namespace kobin {

namespace capture {
class PageCapturer;
}

// Makes the capturer the command uses; nullptr, with the message in *failure,
// when there is none to be had.
using CapturerMaker = std::function<std::unique_ptr<capture::PageCapturer>(QString *failure)>;

// kobin-cli capture BOOK URL [--under KEY] [--name NAME] [--mhtml]: captures the
// page at URL into the book's folder and adds it as a homepage item, the last
// child of KEY (the book item "a1" by default), named NAME or after the page's
// title. The book is written as a save writes it: the page and the item's url
// file into the book folder first, the book file last, and an earlier version
// kept. out is the new item's key; err tells what the page named on this
// computer and was left out. Status 1 on any failure, with the book file
// as it was and no page left behind; 2 for arguments that make no command.
CommandOutcome captureCommand(const QStringList &args, const ProgramFolders &folders,
                              const CapturerMaker &makeCapturer);

} // namespace kobin
