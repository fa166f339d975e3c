#pragma once

#include "BrowserPane.h"
#include "WebPageSurface.h"

// The pane on the web engine the test links, as the program's browser plugin gives it.
inline void onWebEngine(kobin::BrowserPane &pane)
{
    pane.setSurfaceMaker([](QWidget *parent, kobin::PageSurface::Listener &listener) -> kobin::PageSurface * {
        return new kobin::WebPageSurface(parent, listener);
    });
}
