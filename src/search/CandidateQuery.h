#pragma once

#include "Sqlite.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kobin::search {

// Opens the index with the functions its queries use.
bool openIndex(SqliteDatabase &db, const QString &path, SqliteDatabase::Access access);

// The items that may hold every word of a query (folded as the index holds them),
// each given by its id. Trigrams of words of three characters or more narrow the
// items down through the index, unless they are in most items; every word is then
// looked for in the text the index stores (FTS5's own table of it), which is all
// there is for shorter words.
class CandidateQuery
{
public:
    CandidateQuery(SqliteDatabase &db, const QStringList &indexWords);
    // A trigram is in no item: no item can match, and there is nothing to read.
    bool findsNothing() const { return !m_candidates; }
    bool next() { return m_candidates && m_candidates->next(); }
    qint64 id() const { return m_candidates->integer(0); }

private:
    std::optional<SqliteStatement> m_candidates;
};

} // namespace kobin::search
