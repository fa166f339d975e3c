#include "KeptFonts.h"
#include "Reader.h"

namespace kobin::rtf::reading {

namespace {

// What a footnote's number (\chftn) before it is written back as: the number
// stands in the text while the footnote itself is kept.
constexpr QByteArrayView kFootnoteNumberRtf = "{\\super\\chftn}";

} // namespace

// A footnote is kept whole, from its "{" to its "}", and written back as it was
// read; the note shows a mark for it and its text, read on the way.
void Reader::beginFootnote(bool beginsGroup)
{
    GroupState &group = top();
    if (group.destination != Destination::Text || m_kept) {
        group.destination = Destination::Skip;
        return;
    }
    m_kept = KeptReading{KeptObject{}, m_groups.size(), beginsGroup ? group.start : m_tokenStart};
    m_kept->opensMidGroup = !beginsGroup;
    m_kept->object.kind = KeptObject::Kind::Footnote;
    m_kept->object.fonts.outerCodePage = currentCodePage();
    m_footnoteText.clear();
    group.destination = Destination::Footnote;
    group.chars.hidden = false; // written back, it stands apart from hidden text around it
}

// In a footnote only what makes its text counts: its formats, fields' instructions,
// pictures and tables are in the group kept.
void Reader::readFootnoteWord(Word word, const Token &token)
{
    switch (word) {
    case Word::Par:
    case Word::Line:
    case Word::Row:
    case Word::Tab:
    case Word::Cell:
        emitText(u" ");
        return;
    case Word::Unicode:
        if (token.hasParameter)
            readUnicode(token.parameter);
        return;
    case Word::UnicodeSkip: top().unicodeSkip = qBound(0, token.parameter, kMaxUnicodeSkip); return;
    case Word::Field:
    case Word::FieldResult:
    case Word::Result:
    case Word::TextDestination:
        return;
    default:
        if (isDestination(word))
            top().destination = Destination::Skip;
        else
            readCharacterWord(word, token); // fonts (their code pages read the bytes), dashes, quotes, hidden text
        return;
    }
}

void Reader::finishFootnote(KeptObject &footnote)
{
    footnote.footnoteText = std::exchange(m_footnoteText, QString()).simplified();
    QHash<int, int> numbers;
    footnote.rtf = renumberFonts(footnote.rtf, [&](int number) { return keptFontNumber(footnote.fonts, numbers, number); });
    if (std::exchange(m_footnoteNumbered, false))
        footnote.rtf.prepend(kFootnoteNumberRtf.toByteArray());
}

} // namespace kobin::rtf::reading
