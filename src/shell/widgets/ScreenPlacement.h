#pragma once

class QWidget;

namespace kobin {

// Puts a window in the middle of the primary screen (the splash, the version box).
void centreOnScreen(QWidget &window);

} // namespace kobin
