#include "WriterWords.h"

namespace kobin::rtf {

const char *tabTypeWord(QTextOption::TabType type)
{
    switch (type) {
    case QTextOption::RightTab: return "tqr";
    case QTextOption::CenterTab: return "tqc";
    case QTextOption::DelimiterTab: return "tqdec";
    default: return nullptr;
    }
}

const char *underlineWord(QTextCharFormat::UnderlineStyle style)
{
    switch (style) {
    case QTextCharFormat::NoUnderline: return "ulnone";
    case QTextCharFormat::DashUnderline: return "uldash";
    case QTextCharFormat::DotLine: return "uld";
    case QTextCharFormat::DashDotLine: return "uldashd";
    case QTextCharFormat::DashDotDotLine: return "uldashdd";
    case QTextCharFormat::WaveUnderline: return "ulwave";
    default: return "ul";
    }
}

const char *borderStyleWord(QTextFrameFormat::BorderStyle style)
{
    switch (style) {
    case QTextFrameFormat::BorderStyle_Double: return "\\brdrdb";
    case QTextFrameFormat::BorderStyle_Dotted: return "\\brdrdot";
    case QTextFrameFormat::BorderStyle_Dashed: return "\\brdrdash";
    default: return "\\brdrs";
    }
}

} // namespace kobin::rtf
