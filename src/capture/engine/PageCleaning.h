#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace kobin::capture {

// What a page loses before it is saved, found by pageCleaningScript.
struct PageCleaning {
    int localReferencesLeftOut = 0; // resources named by any address but http:, https: or data:
    QStringList localFiles;         // the file: addresses the page named anywhere, resources or not
};

// The script, run in a world of its own once the page has loaded, that takes out
// of the page and of every frame it can reach: its scripts, with the handlers
// written into its elements (run again offline, they would act a second time);
// and every resource it names by an address that is not on the web (a picture,
// stylesheet, frame, object, background, cite or CSS url() of file:, qrc:,
// chrome: and the like), which the engine's save would otherwise copy from this
// computer, past every request filter. A frame showing such an address is
// replaced by an empty one; links the user follows stay. Answers what it found.
QString pageCleaningScript();
PageCleaning pageCleaningFrom(const QVariant &answer);

} // namespace kobin::capture
