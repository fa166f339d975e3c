#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

struct sqlite3;
struct sqlite3_stmt;

namespace kobin::search {

// One SQLite connection, used by one thread. Every failure is kept rather than
// thrown: the caller asks whether the database went wrong, and whether it is
// damaged (then it is rebuilt, as it only ever holds a cache).
class SqliteDatabase
{
public:
    enum class Access { ReadWrite, ReadOnly };

    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase &) = delete;
    SqliteDatabase &operator=(const SqliteDatabase &) = delete;

    bool open(const QString &path, Access access);
    void close();
    bool isOpen() const { return m_db != nullptr; }

    bool exec(const char *sql);
    // Records the result code of a call; false when it is an error.
    bool check(int resultCode);
    bool failed() const { return m_failed; }
    bool damaged() const { return m_damaged; }
    void clearFailure()
    {
        m_failed = false;
        m_failureText.clear();
    }
    // What SQLite said of the first failure since the database was opened.
    QString failureText() const { return m_failureText; }
    // Empties the database in place, damaged or not, under SQLite's own locks,
    // so that other connections to the file see it emptied rather than replaced.
    bool resetToEmpty();

    sqlite3 *handle() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
    bool m_failed = false;
    bool m_damaged = false;
    QString m_failureText;
};

// A prepared statement; reset before each use.
class SqliteStatement
{
public:
    SqliteStatement(SqliteDatabase &db, const char *sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    SqliteStatement &bind(int index, QStringView text);
    SqliteStatement &bind(int index, qint64 value);
    SqliteStatement &bindBlob(int index, QByteArrayView bytes);
    // Steps once: true while a row is there.
    bool next();
    // Runs a statement that gives no rows; false on failure.
    bool run();
    void reset();

    QString text(int column) const;
    QStringView textView(int column) const; // valid until the statement steps or is reset
    qint64 integer(int column) const;
    QByteArrayView blob(int column) const; // valid until the statement steps or is reset

private:
    SqliteDatabase &m_db;
    sqlite3_stmt *m_statement = nullptr;
};

} // namespace kobin::search
