#pragma once

namespace kobin {

// Sets the web engine's own switches for every page, the page pane's and the
// capture's: WebRTC sends nothing over UDP, whatever a page or any of its frames
// asks. The engine reads them once, when it starts: to be called before anything
// starts it (the page pane, a capturer making its profile). Touches no part of
// the engine itself.
void applyEngineSwitches();

} // namespace kobin
