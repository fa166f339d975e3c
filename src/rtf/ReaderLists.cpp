#include "Reader.h"

#include "KeptFonts.h"

#include <algorithm>

namespace kobin::rtf::reading {
namespace {

constexpr size_t kMaxLists = 1024;

// \levelnfc: the numbering of a level of Word's lists; kinds the note cannot
// show (Japanese counting, leading zeros, ordinals) show as decimal numbers.
QTextListFormat::Style styleOfLevelFormat(int value)
{
    switch (value) {
    case 1: return QTextListFormat::ListUpperRoman;
    case 2: return QTextListFormat::ListLowerRoman;
    case 3: return QTextListFormat::ListUpperAlpha;
    case 4: return QTextListFormat::ListLowerAlpha;
    case 23:
    case 255: return QTextListFormat::ListDisc;
    default: return QTextListFormat::ListDecimal;
    }
}

} // namespace

// Words of lists: the tables of Word's lists, a paragraph's {\*\pn} and what
// makes a paragraph a list item. False for any other word.
bool Reader::readListWord(Word word, const Token &token, bool beginsGroup)
{
    GroupState &group = top();
    switch (group.destination) {
    case Destination::ListTable: readListTableWord(word, token.parameter); return true;
    case Destination::ListNumbering: readListNumberingWord(word, token.parameter); return true;
    // The marker's own words (its font above all) are read as in text.
    case Destination::ListMarkerText: return readListNumberingWord(word, token.parameter);
    default: break;
    }
    ListState &list = group.paragraph.list;
    switch (word) {
    case Word::ListTable: group.destination = m_field ? Destination::Skip : Destination::ListTable; return true;
    case Word::ListNumbering:
        // Only a group \pn opens numbers its paragraph: in a field's group, kept whole, it would
        // number the paragraph around wherever the field is written.
        if (!beginsGroup)
            return true;
        group.destination = Destination::ListNumbering;
        m_listNumbering.emplace();
        m_listNumberingDepth = m_groups.size();
        return true;
    case Word::ListOverrideNumber: list.override = qBound(0, token.parameter, 32767); return true;
    case Word::ListLevelNumber: list.level = qBound(0, token.parameter, kMaxListLevel); return true;
    default: return false;
    }
}

void Reader::readListTableWord(Word word, int value)
{
    const bool inEntry = m_listEntryDepth != 0;
    if (word == Word::List || word == Word::ListOverride) {
        // A list in a list is part of the entry being read.
        if (inEntry)
            return;
        m_readingOverride = word == Word::ListOverride;
        if (m_readingOverride && m_listOverrides.size() < kMaxLists)
            m_listOverrides.emplace_back();
        else if (!m_readingOverride && m_listDefinitions.size() < kMaxLists)
            m_listDefinitions.emplace_back();
        else
            return;
        beginListEntry();
        return;
    }
    // Only words inside an entry's group are that entry's, which is written back as that group.
    if (!inEntry)
        return;
    switch (word) {
    case Word::ListId:
        if (m_readingOverride)
            m_listOverrides.back().listId = value;
        else
            m_listDefinitions.back().id = value;
        return;
    case Word::ListOverrideNumber:
        if (m_readingOverride)
            m_listOverrides.back().number = value;
        return;
    case Word::LevelText:
        top().destination = Destination::ListMarkerText;
        m_markerText = MarkerText::Level;
        m_levelText.clear();
        return;
    default: break;
    }
    if (m_readingOverride)
        return;
    std::vector<ListLevel> &levels = m_listDefinitions.back().levels;
    if (word == Word::ListLevel && levels.size() <= kMaxListLevel)
        levels.emplace_back();
    else if (word == Word::LevelFormat && !levels.empty())
        levels.back().style = styleOfLevelFormat(value);
    else if (word == Word::LevelStart && !levels.empty())
        levels.back().start = qBound(0, value, 32767);
}

bool Reader::readListNumberingWord(Word word, int value)
{
    if (!m_listNumbering)
        return false;
    ListState &list = *m_listNumbering;
    switch (word) {
    case Word::ListBullet: list.style = QTextListFormat::ListDisc; return true;
    case Word::ListBody: list.style = QTextListFormat::ListDecimal; return true;
    case Word::ListOutlineLevel: list.level = qBound(0, value - 1, kMaxListLevel); return true;
    case Word::ListDecimal: list.style = QTextListFormat::ListDecimal; return true;
    case Word::ListLowerLetter: list.style = QTextListFormat::ListLowerAlpha; return true;
    case Word::ListUpperLetter: list.style = QTextListFormat::ListUpperAlpha; return true;
    case Word::ListLowerRoman: list.style = QTextListFormat::ListLowerRoman; return true;
    case Word::ListUpperRoman: list.style = QTextListFormat::ListUpperRoman; return true;
    case Word::ListStart: list.start = qBound(0, value, 32767); return true;
    case Word::ListTextBefore:
    case Word::ListTextAfter:
        top().destination = Destination::ListMarkerText;
        m_markerText = word == Word::ListTextAfter ? MarkerText::After : MarkerText::Before;
        return true;
    default: return false;
    }
}

void Reader::putListMarkerText(QStringView text)
{
    if (m_markerText == MarkerText::Level) {
        if (m_levelText.size() + text.size() <= kMaxListMarkerText)
            m_levelText += text;
        return;
    }
    if (!m_listNumbering)
        return;
    QString &marker = m_markerText == MarkerText::After ? m_listNumbering->suffix : m_listNumbering->prefix;
    if (marker.size() + text.size() <= kMaxListMarkerText)
        marker += text;
}

// \leveltext: its length, then text with the places of the levels' numbers
// (bytes 0 to 8) in it, and ";". The text around them is the marker's.
void Reader::endLevelText()
{
    m_markerText = MarkerText::Before;
    const QString text = std::exchange(m_levelText, QString());
    if (m_listDefinitions.empty() || m_listDefinitions.back().levels.empty())
        return;
    const auto isPlace = [](QChar ch) { return ch.unicode() <= kMaxListLevel; };
    const QStringView body = QStringView(text).sliced(qMin<qsizetype>(1, text.size())).split(u';').front();
    const auto first = std::find_if(body.begin(), body.end(), isPlace);
    if (first == body.end())
        return; // a bullet
    const auto last = std::find_if(body.rbegin(), body.rend(), isPlace).base();
    ListLevel &level = m_listDefinitions.back().levels.back();
    level.prefix = QStringView(body.begin(), first).toString();
    level.suffix = QStringView(last, body.end()).toString();
}

// Called once the groups of a {\*\pn} are closed: the paragraph is an item of its list.
void Reader::endListNumbering()
{
    ListState &list = top().paragraph.list;
    const int level = list.override > 0 ? list.level : m_listNumbering->level;
    const int override = list.override;
    list = *m_listNumbering;
    list.pn = true;
    list.override = override;
    list.level = level;
    m_listNumbering.reset();
}

// Tells the sink which list the paragraph about to end is an item of. Items of
// a {\*\pn} are one list while they follow each other with the same numbering.
void Reader::announceListItem(const ParagraphState &paragraph)
{
    const ListState &list = paragraph.list;
    if (!list.isItem()) {
        m_pnListOpen = false;
        return;
    }
    ListItem item;
    item.level = list.level;
    if (list.override > 0) {
        m_pnListOpen = false;
        item.key = list.override * (kMaxListLevel + 1) + list.level;
        const ListLevel level = wordListLevel(list.override, list.level);
        item.style = level.style;
        item.start = level.start;
        item.prefix = level.prefix;
        item.suffix = level.suffix;
        if (list.pn) { // the marker text of its {\*\pn}, which Word's tables tell in their own way
            item.prefix = list.prefix;
            item.suffix = list.suffix;
        }
        if (m_keepsFormats)
            item.word = wordList(list.override);
    } else {
        if (!m_pnListOpen || list != m_pnList)
            ++m_pnLists;
        m_pnList = list;
        m_pnListOpen = true;
        item.key = -m_pnLists;
        item.style = list.style;
        item.start = list.start;
        item.prefix = list.prefix;
        item.suffix = list.suffix;
    }
    m_sink.listItem(item);
}

// The entries of Word's tables that \ls N numbers by; nulls for those missing.
std::pair<const ListOverride *, ListDefinition *> Reader::wordListEntries(int override)
{
    for (const ListOverride &entry : m_listOverrides) {
        if (entry.number != override)
            continue;
        for (ListDefinition &definition : m_listDefinitions) {
            if (definition.id == entry.listId)
                return {&entry, &definition};
        }
        return {&entry, nullptr};
    }
    return {nullptr, nullptr};
}

ListLevel Reader::wordListLevel(int override, int level)
{
    const ListDefinition *definition = wordListEntries(override).second;
    if (definition && level < static_cast<int>(definition->levels.size()))
        return definition->levels[static_cast<size_t>(level)];
    return {};
}

void Reader::beginListEntry()
{
    m_listEntryDepth = m_groups.size();
    m_listEntryStart = top().start;
}

// Called as the group of a {\list} or {\listoverride} closes.
void Reader::endListEntry()
{
    const qsizetype end = qMin(m_tokens.position(), m_input.size());
    QByteArray rtf = m_input.sliced(m_listEntryStart, end - m_listEntryStart).toByteArray();
    if (m_readingOverride)
        m_listOverrides.back().rtf = std::move(rtf);
    else
        m_listDefinitions.back().rtf = std::move(rtf);
    m_listEntryDepth = 0;
}

// Word's entries of the list \ls N, to be written back as they were read. Lists
// of several overrides share their definition's bytes.
const WordList &Reader::wordList(int override)
{
    const auto [found, made] = m_wordLists.try_emplace(override);
    WordList &list = found->second;
    const auto entries = wordListEntries(override);
    const ListOverride *entry = entries.first;
    ListDefinition *definition = entries.second; // named, as lambdas cannot take structured bindings
    if (!made || !entry || !definition || entry->rtf.isEmpty() || definition->rtf.isEmpty())
        return list;
    const auto keptNumber = [&](int number) {
        return keptFontNumber(definition->fonts, definition->keptFontNumbers, number);
    };
    if (!definition->keptRtf)
        definition->keptRtf = renumberFonts(definition->rtf, keptNumber);
    list.override = renumberFonts(entry->rtf, keptNumber);
    list.list = *definition->keptRtf;
    list.fonts = definition->fonts;
    list.id = definition->id;
    list.number = override;
    return list;
}

// The number a group kept whole names the document's font number by: its place
// in the group's own list of fonts, which the writer numbers again.
int Reader::keptFontNumber(KeptFonts &fonts, QHash<int, int> &numbers, int number) const
{
    const auto kept = numbers.constFind(number);
    if (kept != numbers.constEnd())
        return *kept;
    const auto font = m_fonts.find(number);
    const int next = static_cast<int>(fonts.families.size());
    fonts.families.push_back(font == m_fonts.end() ? QString() : font->second.name.trimmed());
    fonts.codePages.push_back(font == m_fonts.end() ? documentCodePage() : codePageOf(font->second));
    numbers.insert(number, next);
    return next;
}

} // namespace kobin::rtf::reading
