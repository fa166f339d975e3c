#include "CandidateQuery.h"

#include <sqlite3.h>
#include <algorithm>

namespace kobin::search {

namespace {

// The trigrams (as the index keeps them) that narrow down the items holding
// words of three characters or more. The index keeps no positions (a fraction
// of the size, and far quicker to build and to query), so it gives the items
// that hold every trigram; the stored text then tells which hold the words. A
// few trigrams spread over the words narrow the items down as well as all would.
QStringList trigramsOf(const QStringList &words)
{
    constexpr qsizetype kMostTerms = 12;
    QStringList terms;
    for (const QString &word : words) {
        const QList<uint> characters = word.toUcs4();
        for (qsizetype i = 0; i + 3 <= characters.size(); ++i) {
            const QString term = QString::fromUcs4(reinterpret_cast<const char32_t *>(characters.constData() + i), 3);
            if (!terms.contains(term))
                terms.append(term);
        }
    }
    QStringList spread;
    const qsizetype count = std::min(terms.size(), kMostTerms);
    for (qsizetype i = 0; i < count; ++i)
        spread.append(terms[i * terms.size() / count]);
    return spread;
}

// The FTS5 query for trigrams: each a quoted term, quotes doubled, so that no
// word is read as query syntax.
QString matchExpression(const QStringList &trigrams)
{
    QStringList terms;
    for (QString term : trigrams) {
        term.replace(u'"', QStringLiteral("\"\""));
        terms.append(u'"' + term + u'"');
    }
    return terms.join(QStringLiteral(" AND "));
}

// contains(text, word): whether text holds word, compared as the UTF-16 the
// index stores, without the conversion to UTF-8 that instr() makes of every row.
void containsFunction(sqlite3_context *context, int, sqlite3_value **values)
{
    const auto *text = static_cast<const QChar *>(sqlite3_value_text16(values[0]));
    const qsizetype textSize = sqlite3_value_bytes16(values[0]) / 2;
    const auto *word = static_cast<const QChar *>(sqlite3_value_text16(values[1]));
    const qsizetype wordSize = sqlite3_value_bytes16(values[1]) / 2;
    const bool found = text && word && QStringView(text, textSize).contains(QStringView(word, wordSize));
    sqlite3_result_int(context, found ? 1 : 0);
}

} // namespace

bool openIndex(SqliteDatabase &db, const QString &path, SqliteDatabase::Access access)
{
    return db.open(path, access)
           && db.check(sqlite3_create_function_v2(db.handle(), "contains", 2, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr,
                                                  containsFunction, nullptr, nullptr, nullptr));
}

CandidateQuery::CandidateQuery(SqliteDatabase &db, const QStringList &indexWords)
{
    QStringList longWords;
    for (const QString &word : indexWords) {
        if (word.toUcs4().size() >= 3)
            longWords.append(word);
    }
    QStringList trigrams = trigramsOf(longWords);
    if (!trigrams.isEmpty()) {
        // A trigram in no item: nothing to read. Trigrams that are in most items
        // narrow nothing down: reading the stored text in order is quicker then.
        // Counted in the sources, a fraction of the size of the text FTS5 keeps.
        SqliteStatement items(db, "SELECT count(*) FROM docs WHERE readable = 1");
        const qint64 itemCount = items.next() ? items.integer(0) : 0;
        SqliteStatement vocabulary(db, "SELECT doc FROM words_vocabulary WHERE term = ?1");
        qint64 rarest = itemCount;
        for (const QString &trigram : trigrams) {
            vocabulary.reset();
            rarest = std::min(rarest, vocabulary.bind(1, trigram).next() ? vocabulary.integer(0) : 0);
        }
        if (rarest == 0)
            return;
        if (rarest * 2 > itemCount)
            trigrams.clear();
    }

    QByteArray sql = trigrams.isEmpty() ? "SELECT id FROM words_content WHERE 1"
                                        : "SELECT rowid FROM words WHERE words MATCH ?1";
    const QByteArray column = trigrams.isEmpty() ? "c0" : "body";
    for (int i = 0; i < indexWords.size(); ++i)
        sql += " AND contains(" + column + ", ?" + QByteArray::number(i + 2) + ")";
    m_candidates.emplace(db, sql.constData());
    if (!trigrams.isEmpty())
        m_candidates->bind(1, matchExpression(trigrams));
    for (int i = 0; i < indexWords.size(); ++i)
        m_candidates->bind(i + 2, indexWords[i]);
}

} // namespace kobin::search
