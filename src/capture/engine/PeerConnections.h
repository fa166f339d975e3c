#pragma once

class QWebEngineScriptCollection;

namespace kobin::capture {

// Takes WebRTC's interfaces out of every page and frame before its own scripts
// run, and out of every frame a page makes before the page can reach into it:
// peer connections reach STUN and TURN servers of the page's choosing, past any
// request filter, and the engine's switches stop only those over UDP. For the
// page pane's pages and the capture's alike.
void withholdPeerConnections(QWebEngineScriptCollection &scripts);

} // namespace kobin::capture
