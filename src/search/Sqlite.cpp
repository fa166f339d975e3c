#include "Sqlite.h"

#include <sqlite3.h>

namespace kobin::search {

SqliteDatabase::~SqliteDatabase()
{
    close();
}

bool SqliteDatabase::open(const QString &path, Access access)
{
    close();
    m_failed = m_damaged = false;
    m_failureText.clear();
    const int flags = access == Access::ReadWrite ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    if (!check(sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr))) {
        close();
        return false;
    }
    // A search waits a moment for a writer's commit rather than failing.
    sqlite3_busy_timeout(m_db, 2000);
    return true;
}

void SqliteDatabase::close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool SqliteDatabase::exec(const char *sql)
{
    return m_db && check(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr));
}

bool SqliteDatabase::check(int resultCode)
{
    const int primary = resultCode & 0xff;
    if (primary == SQLITE_OK || primary == SQLITE_ROW || primary == SQLITE_DONE)
        return true;
    if (!m_failed)
        m_failureText = QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(resultCode));
    m_failed = true;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        m_damaged = true;
    return false;
}

bool SqliteDatabase::resetToEmpty()
{
    if (!m_db)
        return false;
    m_failed = m_damaged = false;
    m_failureText.clear();
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_RESET_DATABASE, 1, nullptr);
    const bool emptied = exec("VACUUM");
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_RESET_DATABASE, 0, nullptr);
    return emptied;
}

SqliteStatement::SqliteStatement(SqliteDatabase &db, const char *sql) : m_db(db)
{
    if (db.handle())
        db.check(sqlite3_prepare_v3(db.handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr));
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

SqliteStatement &SqliteStatement::bind(int index, QStringView text)
{
    // A null string is bound as an empty one, never as NULL.
    static const char16_t empty = 0;
    if (m_statement)
        m_db.check(sqlite3_bind_text16(m_statement, index, text.isNull() ? &empty : text.utf16(),
                                       static_cast<int>(text.size() * 2), SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement &SqliteStatement::bind(int index, qint64 value)
{
    if (m_statement)
        m_db.check(sqlite3_bind_int64(m_statement, index, value));
    return *this;
}

SqliteStatement &SqliteStatement::bindBlob(int index, QByteArrayView bytes)
{
    if (m_statement)
        m_db.check(sqlite3_bind_blob(m_statement, index, bytes.isNull() ? "" : bytes.data(), static_cast<int>(bytes.size()),
                                     SQLITE_TRANSIENT));
    return *this;
}

bool SqliteStatement::next()
{
    if (!m_statement)
        return false;
    const int result = sqlite3_step(m_statement);
    m_db.check(result);
    return result == SQLITE_ROW;
}

bool SqliteStatement::run()
{
    if (!m_statement)
        return false;
    const int result = sqlite3_step(m_statement);
    sqlite3_reset(m_statement);
    return m_db.check(result);
}

void SqliteStatement::reset()
{
    if (m_statement) {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
}

QString SqliteStatement::text(int column) const
{
    return textView(column).toString();
}

QStringView SqliteStatement::textView(int column) const
{
    const void *data = sqlite3_column_text16(m_statement, column);
    const int bytes = sqlite3_column_bytes16(m_statement, column);
    return data ? QStringView(static_cast<const QChar *>(data), bytes / 2) : QStringView();
}

qint64 SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QByteArrayView SqliteStatement::blob(int column) const
{
    const void *data = sqlite3_column_blob(m_statement, column);
    return QByteArrayView(static_cast<const char *>(data), data ? sqlite3_column_bytes(m_statement, column) : 0);
}

} // namespace kobin::search
