#include "NoteFormats.h"

namespace kobin::import {

QTextCharFormat fixedPitch()
{
    QTextCharFormat format;
    format.setFontFamilies({QStringLiteral("ＭＳ ゴシック")});
    format.setFontFixedPitch(true);
    return format;
}

} // namespace kobin::import
