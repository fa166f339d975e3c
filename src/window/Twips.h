#pragma once

#include "Layout.h"

#include <QRect>
#include <QWidget>
#include <cmath>

namespace kobin {

// Converts the layout's twips to pixels at the widget edge: pixels = twips × DPI / 1440.
struct TwipsScale {
    double dpiX = 96;
    double dpiY = 96;

    static TwipsScale of(const QWidget *widget)
    {
        return {static_cast<double>(widget->logicalDpiX()), static_cast<double>(widget->logicalDpiY())};
    }

    int pxX(float twips) const { return static_cast<int>(std::lround(twips * dpiX / 1440.0)); }
    int pxY(float twips) const { return static_cast<int>(std::lround(twips * dpiY / 1440.0)); }
    float twipsX(int px) const { return static_cast<float>(px * 1440.0 / dpiX); }
    float twipsY(int px) const { return static_cast<float>(px * 1440.0 / dpiY); }
    QRect rect(const TwipsRect &r) const
    {
        return QRect(pxX(r.left), pxY(r.top), std::max(0, pxX(r.width)), std::max(0, pxY(r.height)));
    }
};

} // namespace kobin
