#include "WriterLists.h"

#include "FormatProperties.h"
#include "ListMarkers.h"
#include "WriterTables.h"

#include <QTextBlock>
#include <QTextList>

namespace kobin::rtf {
namespace {

// Marker text: printable ASCII as it is, anything else as \uN, which every reader reads.
void appendText(QByteArray &out, QStringView text)
{
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        if (unit >= 0x20 && unit < 0x7F) {
            if (unit == u'\\' || unit == u'{' || unit == u'}' || unit == u';')
                out += "\\'" + QByteArray::number(unit, 16);
            else
                out += static_cast<char>(unit);
        } else {
            out += "\\u" + QByteArray::number(unit > 0x7FFF ? int(unit) - 0x10000 : int(unit)) + '?';
        }
    }
}

QByteArray hexByte(int byte)
{
    return "\\'" + QByteArray::number(byte, 16).rightJustified(2, '0');
}

// \levelnfc of a list style.
int levelFormat(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal: return 0;
    case QTextListFormat::ListUpperRoman: return 1;
    case QTextListFormat::ListLowerRoman: return 2;
    case QTextListFormat::ListUpperAlpha: return 3;
    case QTextListFormat::ListLowerAlpha: return 4;
    default: return 23;
    }
}

const char *numberingWord(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListUpperRoman: return "\\pnucrm";
    case QTextListFormat::ListLowerRoman: return "\\pnlcrm";
    case QTextListFormat::ListUpperAlpha: return "\\pnucltr";
    case QTextListFormat::ListLowerAlpha: return "\\pnlcltr";
    default: return "\\pndec";
    }
}

// A level of Word's list: its numbers in the level's place between the prefix and suffix.
QByteArray listLevel(const ListItem &item, int level)
{
    QByteArray out = "{\\listlevel\\levelnfc" + QByteArray::number(levelFormat(item.style)) + "\\leveljc0\\levelfollow0"
        "\\levelstartat" + QByteArray::number(item.start) + "{\\leveltext";
    if (isNumbered(item.style)) {
        out += hexByte(static_cast<int>(item.prefix.size() + 1 + item.suffix.size()));
        appendText(out, item.prefix);
        out += hexByte(level);
        appendText(out, item.suffix);
        out += ";}{\\levelnumbers" + hexByte(static_cast<int>(item.prefix.size() + 1)) + ";}";
    } else {
        out += "\\'01\\u8226 ?;}{\\levelnumbers;}";
    }
    return out + "\\fi-360\\li" + QByteArray::number(720 * (level + 1)) + "}";
}

// A list read from Word's tables whose entries still say what it shows.
bool keepsWordEntries(const QTextListFormat &format)
{
    return format.hasProperty(kWordListNumberProperty)
        && format.stringProperty(kWordListShapeProperty) == listShape(listItemOf(format));
}

} // namespace

WriterLists::WriterLists(const QList<QTextFormat> &formats)
{
    for (const QTextFormat &format : formats) {
        if (!format.isListFormat() || !format.hasProperty(kWordListNumberProperty))
            continue;
        m_firstNumber = qMax(m_firstNumber, format.intProperty(kWordListNumberProperty) + 1);
        m_firstId = qMax(m_firstId, qint64(format.intProperty(kWordListIdProperty)) + 1);
    }
}

int WriterLists::numberOf(const QTextList *list)
{
    const auto found = m_numbers.constFind(list);
    if (found != m_numbers.constEnd())
        return *found;
    const QTextListFormat format = list->format();
    if (keepsWordEntries(format)) {
        // Levels of one list are lists of the document that share its entries.
        const int number = format.intProperty(kWordListNumberProperty);
        const QTextList *kept = m_keptLists.try_emplace(number, list).first->second;
        const QTextListFormat keptFormat = kept->format();
        if (keptFormat.property(kWordListOverrideProperty) == format.property(kWordListOverrideProperty)
            && keptFormat.property(kWordListEntryProperty) == format.property(kWordListEntryProperty)) {
            m_numbers.insert(list, number);
            return number;
        }
    }
    const int next = m_firstNumber + static_cast<int>(m_lists.size());
    m_numbers.insert(list, next);
    m_lists.push_back(list);
    return next;
}

int WriterLists::levelOf(const QTextList *list)
{
    return qBound(0, list->format().indent() - 1, 8);
}

QByteArray WriterLists::numberingGroup(const QTextList *list, int symbolFont, bool inSymbolFont)
{
    const ListItem item = listItemOf(list->format());
    if (!isNumbered(item.style))
        return "{\\*\\pn\\pnlvlblt\\pnf" + QByteArray::number(symbolFont) + "\\pnindent0{\\pntxtb\\'b7}}";
    QByteArray out = "{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart" + QByteArray::number(item.start) + numberingWord(item.style);
    const QByteArray font = inSymbolFont ? "\\f0 " : " ";
    if (!item.prefix.isEmpty()) {
        out += "{\\pntxtb" + font;
        appendText(out, item.prefix);
        out += '}';
    }
    out += "{\\pntxta" + font;
    appendText(out, item.suffix);
    return out + "}}";
}

QByteArray WriterLists::markerGroup(const QTextBlock &block, int symbolFont, bool inSymbolFont)
{
    const QTextList *list = block.textList();
    const ListItem item = listItemOf(list->format());
    if (!isNumbered(item.style))
        return "{\\pntext\\f" + QByteArray::number(symbolFont) + "\\'b7\\tab}";
    QByteArray out = inSymbolFont ? "{\\pntext\\f0 " : "{\\pntext ";
    appendText(out, listMarker(item, item.start + list->itemNumber(block)));
    return out + "\\tab}";
}

QByteArray WriterLists::tables(FontTable &fonts) const
{
    if (m_lists.empty() && m_keptLists.empty())
        return {};
    QByteArray lists = "{\\*\\listtable";
    QByteArray overrides = "{\\*\\listoverridetable";
    QList<int> keptIds;
    for (const auto &[number, kept] : m_keptLists) {
        const QTextListFormat format = kept->format();
        const KeptFonts keptFonts{format.property(kWordListFontsProperty).toStringList(),
                                  format.property(kWordListFontCodePagesProperty).value<QList<int>>()};
        // One list may be numbered by several overrides: its entry is written once.
        if (const int id = format.intProperty(kWordListIdProperty); !keptIds.contains(id)) {
            keptIds.push_back(id);
            lists += withWrittenFonts(format.property(kWordListEntryProperty).toByteArray(), keptFonts, fonts);
        }
        overrides += withWrittenFonts(format.property(kWordListOverrideProperty).toByteArray(), keptFonts, fonts);
    }
    for (size_t i = 0; i < m_lists.size(); ++i) {
        const QByteArray id = QByteArray::number(m_firstId + qint64(i));
        const QByteArray number = QByteArray::number(m_firstNumber + qint64(i));
        const ListItem item = listItemOf(m_lists[i]->format());
        lists += "{\\list\\listtemplateid" + id;
        for (int level = 0; level <= levelOf(m_lists[i]); ++level)
            lists += listLevel(item, level);
        lists += "\\listid" + id + '}';
        overrides += "{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + number + '}';
    }
    return lists + "}\r\n" + overrides + "}\r\n";
}

} // namespace kobin::rtf
