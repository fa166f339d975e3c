#pragma once

class QWebEnginePage;

namespace kobin {

// The page's own right-click menu, in Japanese (the engine brings no translation of
// its own), without what a saved page shown in the pane cannot do: open a link in
// another window or tab, download, save the page, show its source in a window of
// its own (the Browser menu edits the source) or inspect it.
void prepareContextMenu(QWebEnginePage &page);

} // namespace kobin
