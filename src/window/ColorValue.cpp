#include "ColorValue.h"

#include <QGuiApplication>
#include <QPalette>

namespace kobin {

QColor colorFromValue(qint32 value)
{
    const auto bits = static_cast<quint32>(value);
    if (bits & 0x80000000u) {
        const QPalette palette = QGuiApplication::palette();
        switch (bits & 0xFFu) {
        case 5: return palette.color(QPalette::Base);
        case 8: return palette.color(QPalette::Text);
        case 13: return palette.color(QPalette::Highlight);
        case 16: return palette.color(QPalette::Dark);
        default: return palette.color(QPalette::Button);
        }
    }
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

qint32 valueFromColor(const QColor &color)
{
    return static_cast<qint32>(static_cast<quint32>(color.red()) | static_cast<quint32>(color.green()) << 8
                               | static_cast<quint32>(color.blue()) << 16);
}

} // namespace kobin
