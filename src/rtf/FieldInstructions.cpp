#include "FieldInstructions.h"

#include <QStringList>

namespace kobin::rtf {
namespace {

// The words of an instruction: runs of non-spaces, or a quoted run with its
// quotes taken off. A switch is a word that starts with a backslash.
QStringList instructionWords(QStringView instruction)
{
    QStringList words;
    qsizetype at = 0;
    while (at < instruction.size()) {
        if (instruction[at].isSpace()) {
            ++at;
            continue;
        }
        if (instruction[at] == u'"') {
            const qsizetype end = instruction.indexOf(u'"', at + 1);
            const qsizetype stop = end < 0 ? instruction.size() : end;
            words << instruction.sliced(at + 1, stop - at - 1).toString();
            at = stop + 1;
            continue;
        }
        qsizetype end = at;
        while (end < instruction.size() && !instruction[end].isSpace() && instruction[end] != u'"')
            ++end;
        words << instruction.sliced(at, end - at).toString();
        at = end;
    }
    return words;
}

} // namespace

QString hyperlinkTarget(QStringView instruction)
{
    const QStringList words = instructionWords(instruction);
    if (words.isEmpty() || words.first().compare(u"HYPERLINK", Qt::CaseInsensitive) != 0)
        return {};
    QString address;
    QString bookmark;
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString &word = words[i];
        if (word.compare(u"\\l", Qt::CaseInsensitive) == 0 && i + 1 < words.size())
            bookmark = words[++i];
        else if ((word.compare(u"\\o", Qt::CaseInsensitive) == 0 || word.compare(u"\\t", Qt::CaseInsensitive) == 0))
            ++i; // a tip or a target frame, which says nothing of where
        else if (!word.startsWith(u'\\') && address.isEmpty())
            address = word;
    }
    return bookmark.isEmpty() ? address : address + u'#' + bookmark;
}

} // namespace kobin::rtf
