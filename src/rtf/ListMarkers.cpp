#include "ListMarkers.h"

#include "FormatProperties.h"

namespace kobin::rtf {
namespace {

QString letters(int number, char16_t a)
{
    QString text;
    for (int n = number; n > 0; n = (n - 1) / 26)
        text.prepend(QChar(static_cast<char16_t>(a + (n - 1) % 26)));
    return text;
}

QString roman(int number, bool upper)
{
    static const struct {
        int value;
        const char *digits;
    } kDigits[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
                   {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
    if (number <= 0 || number >= 4000)
        return QString::number(number); // no roman numeral for it
    QString text;
    for (const auto &digit : kDigits) {
        for (; number >= digit.value; number -= digit.value)
            text += QLatin1String(digit.digits);
    }
    return upper ? text.toUpper() : text;
}

} // namespace

bool isNumbered(QTextListFormat::Style style)
{
    return style != QTextListFormat::ListDisc && style != QTextListFormat::ListCircle
        && style != QTextListFormat::ListSquare && style != QTextListFormat::ListStyleUndefined;
}

QString listShape(const ListItem &item)
{
    return QStringLiteral("%1 %2 %3 %4\n%5").arg(item.style).arg(item.level).arg(item.start).arg(item.prefix, item.suffix);
}

ListItem listItemOf(const QTextListFormat &format)
{
    ListItem item;
    item.style = format.style();
    item.level = qMax(0, format.indent() - 1);
    item.start = format.hasProperty(kListStartProperty) ? format.intProperty(kListStartProperty) : 1;
    item.prefix = format.numberPrefix();
    if (format.hasProperty(QTextFormat::ListNumberSuffix)) // the note shows "." where a list has none
        item.suffix = format.numberSuffix();
    return item;
}

QString itemLead(const ListItem &item, int number)
{
    return QString(2 * item.level, u' ') + listMarker(item, number) + u' ';
}

QString listMarker(const ListItem &item, int number)
{
    QString shown;
    switch (item.style) {
    case QTextListFormat::ListDecimal: shown = QString::number(number); break;
    case QTextListFormat::ListLowerAlpha: shown = number > 0 ? letters(number, u'a') : QString::number(number); break;
    case QTextListFormat::ListUpperAlpha: shown = number > 0 ? letters(number, u'A') : QString::number(number); break;
    case QTextListFormat::ListLowerRoman: shown = roman(number, false); break;
    case QTextListFormat::ListUpperRoman: shown = roman(number, true); break;
    case QTextListFormat::ListCircle: return QStringLiteral("\u25E6");
    case QTextListFormat::ListSquare: return QStringLiteral("\u25AA");
    default: return QStringLiteral("\u2022");
    }
    return item.prefix + shown + item.suffix;
}

} // namespace kobin::rtf
