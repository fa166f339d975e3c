#include "Reader.h"

#include "FieldInstructions.h"

namespace kobin::rtf::reading {

// A field's result is the note's text, a link's result a link to its address;
// its instruction is kept as written, for the writer to write back. A field in
// another field's instruction is part of that instruction; one in another's
// result is read as part of that result.
bool Reader::readFieldWord(Word word, bool beginsGroup)
{
    GroupState &group = top();
    const bool inField = m_field && m_groups.size() > m_field->depth;
    switch (word) {
    case Word::Field:
        // Only a group a field opens is the field: one kept whole must end where it began.
        if (beginsGroup && group.destination == Destination::Text && !m_field) {
            m_field.emplace();
            m_field->depth = m_groups.size();
        }
        return true;
    case Word::FieldInstruction:
        if (inField && beginsGroup && m_field->instructionDepth == 0 && group.destination == Destination::Text) {
            m_field->instructionDepth = m_groups.size();
            m_field->instructionStart = group.start;
            group.destination = Destination::FieldInstruction;
        } else if (group.destination != Destination::FieldInstruction) {
            group.destination = Destination::Skip;
        }
        return true;
    case Word::FieldResult:
        if (inField && m_field->index >= 0)
            group.chars.field = m_field->index;
        return true;
    default:
        return false;
    }
}

// Called as each group closes while a field is read.
void Reader::closeField()
{
    FieldReading &field = *m_field;
    if (field.instructionDepth == m_groups.size() && field.index < 0) {
        const qsizetype end = qMin(m_tokens.position(), m_input.size());
        m_fields.push_back({m_input.sliced(field.instructionStart, end - field.instructionStart).toByteArray(),
                            hyperlinkTarget(field.instruction)});
        field.index = static_cast<int>(m_fields.size() - 1);
    }
    if (field.depth != m_groups.size())
        return;
    // A field with nothing to show (a page number before it was ever
    // counted) stays in the note unseen, as it stood.
    if (!field.shown) {
        const qsizetype start = top().start;
        const qsizetype end = qMin(m_tokens.position(), m_input.size());
        KeptObject kept;
        kept.kind = KeptObject::Kind::Object;
        kept.rtf = m_input.sliced(start, end - start).toByteArray();
        m_field.reset();
        appendKept(kept);
        return;
    }
    m_field.reset();
}

} // namespace kobin::rtf::reading
