#include "WindowSettings.h"

#include "Settings.h"

#include <algorithm>
#include <cmath>

namespace kobin {

WindowPlacement readWindowPlacement(const Settings &settings)
{
    WindowPlacement placement;
    placement.normal.left = settings.readSingle(settings::MainLeft).value_or(300);
    placement.normal.top = settings.readSingle(settings::MainTop).value_or(500);
    placement.normal.width = settings.readSingle(settings::MainWidth).value_or(11500);
    placement.normal.height = settings.readSingle(settings::MainHeight).value_or(7000);
    placement.maximized = settings.readInt16(settings::WindowState).value_or(0) == 2;
    // The tree's splitter stays inside the window, however the settings file was edited.
    const float treeWidth = settings.readSingle(settings::TreeWidth).value_or(2000);
    placement.treeWidth = std::isfinite(treeWidth) ? std::clamp(treeWidth, 0.0f, std::max(placement.normal.width, 0.0f))
                                                   : 2000;
    placement.treeHidden = settings.readHidden(settings::TreeVisible);
    placement.toolbarHidden = settings.readHidden(settings::ToolBarVisible);
    placement.statusBarHidden = settings.readHidden(settings::StatusBarVisible);
    placement.textBackColor = settings.readInt32(settings::TextBackColor);
    return placement;
}

void writeExitSettings(Settings &settings, const ExitState &state)
{
    if (!state.bookPath.isEmpty()) {
        settings.write(settings::Book, state.bookPath);
        settings.write(settings::BookName, state.bookName);
    }
    if (!state.maximized) {
        settings.writeSingle(settings::MainLeft, state.normal.left);
        settings.writeSingle(settings::MainTop, state.normal.top);
        settings.writeSingle(settings::MainWidth, state.normal.width);
        settings.writeSingle(settings::MainHeight, state.normal.height);
    }
    settings.writeSingle(settings::TreeWidth, state.treeWidth);
    settings.write(settings::WindowState, state.maximized ? QStringLiteral("2") : QStringLiteral("0"));
    settings.writeFlag(settings::TreeVisible, state.treeChecked);
    settings.writeFlag(settings::ToolBarVisible, state.toolbarChecked);
    settings.writeFlag(settings::StatusBarVisible, state.statusBarChecked);
}

} // namespace kobin
