#include "sqlitedriver.h"

#include <QSqlDatabase>
#include <QSqlDriverCreator>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QSqlResult>
#include <QVariant>
#include <QVector>

#include <sqlite3.h>

namespace {

// As long as Qt's SQLite driver waits for another connection's lock before
// the store sets its own wait.
constexpr int OpeningBusyTimeoutMs = 5000;

QSqlError errorOf(sqlite3 *db, const QString &what, int code, QSqlError::ErrorType type)
{
    return QSqlError(what, QString::fromUtf8(sqlite3_errmsg(db)), type, QString::number(code));
}

// One prepared statement. Running it steps to the first row at once, as a
// change must run to its end there; the rows are read forward from it.
class SqliteStatement : public QSqlResult
{
public:
    SqliteStatement(const QSqlDriver *driver, sqlite3 *db)
        : QSqlResult(driver)
        , db(db)
    { }

    ~SqliteStatement() override { sqlite3_finalize(statement); }

protected:
    bool reset(const QString &query) override { return prepare(query) && exec(); }

    bool prepare(const QString &query) override
    {
        sqlite3_finalize(statement);
        statement = nullptr;
        setSelect(false);
        const QByteArray sql = query.toUtf8();
        const char *rest = nullptr;
        const int result = sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, &rest);
        if (result != SQLITE_OK) {
            setLastError(errorOf(db, QStringLiteral("Unable to prepare statement"), result, QSqlError::StatementError));
        } else if (!QByteArray(rest).trimmed().isEmpty()) {
            // Running only the first would drop the others unseen.
            setLastError(QSqlError(QString(), QStringLiteral("Unable to execute multiple statements at a time"),
                                   QSqlError::StatementError, QString::number(SQLITE_MISUSE)));
        } else {
            return true;
        }
        sqlite3_finalize(statement);
        statement = nullptr;
        return false;
    }

    bool exec() override
    {
        if (!statement)
            return false;
        sqlite3_reset(statement);
        rowWaiting = false;
        setAt(QSql::BeforeFirstRow);
        if (!bindValues())
            return false;
        const int result = sqlite3_step(statement);
        if (result == SQLITE_ROW) {
            rowWaiting = true;
        } else {
            const int ended = endRun(result);
            if (ended != SQLITE_DONE)
                return failRun(QStringLiteral("Unable to run statement"), ended);
        }
        changedRows = sqlite3_stmt_readonly(statement) ? 0 : sqlite3_changes(db);
        setSelect(sqlite3_column_count(statement) > 0);
        setActive(true);
        return true;
    }

    bool fetchFirst() override
    {
        if (at() != QSql::BeforeFirstRow || !rowWaiting)
            return false;
        rowWaiting = false;
        setAt(0);
        return true;
    }

    bool fetchNext() override
    {
        if (at() == QSql::BeforeFirstRow)
            return fetchFirst();
        if (!statement || at() < 0)
            return false;
        const int result = sqlite3_step(statement);
        if (result == SQLITE_ROW) {
            setAt(at() + 1);
            return true;
        }
        const int ended = endRun(result);
        if (ended != SQLITE_DONE)
            setLastError(errorOf(db, QStringLiteral("Unable to fetch row"), ended, QSqlError::StatementError));
        setAt(QSql::AfterLastRow);
        return false;
    }

    // Rows are read forward only.
    bool fetch(int row) override { return row == at() + 1 && fetchNext(); }
    bool fetchLast() override { return false; }
    bool fetchPrevious() override { return false; }

    QVariant data(int column) override
    {
        switch (sqlite3_column_type(statement, column)) {
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(statement, column));
        case SQLITE_FLOAT:
            return sqlite3_column_double(statement, column);
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, column)),
                              sqlite3_column_bytes(statement, column));
        case SQLITE_NULL:
            return QVariant(QVariant::String); // as Qt's driver gives it
        default:
            return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                                     sqlite3_column_bytes(statement, column));
        }
    }

    // Built when asked for, which the store's own reads never do.
    QSqlRecord record() const override
    {
        QSqlRecord columns;
        const int count = statement ? sqlite3_column_count(statement) : 0;
        for (int column = 0; column < count; ++column)
            columns.append(QSqlField(QString::fromUtf8(sqlite3_column_name(statement, column))));
        return columns;
    }

    bool isNull(int column) override { return sqlite3_column_type(statement, column) == SQLITE_NULL; }
    int size() override { return -1; }
    int numRowsAffected() override { return changedRows; }

    // Ends the reading, and so the statement's hold on its snapshot.
    void detachFromResultSet() override
    {
        if (statement)
            sqlite3_reset(statement);
        rowWaiting = false;
    }

private:
    bool bindValues()
    {
        const QVector<QVariant> values = boundValues();
        if (values.size() != sqlite3_bind_parameter_count(statement)) {
            setLastError(QSqlError(QString(), QStringLiteral("Parameter count mismatch"), QSqlError::StatementError));
            setActive(false);
            return false;
        }
        for (int index = 0; index < values.size(); ++index) {
            const int result = bind(index + 1, values.at(index));
            if (result != SQLITE_OK)
                return failRun(QStringLiteral("Unable to bind parameters"), result);
        }
        return true;
    }

    // Ends a run after its last row or on a failure: SQLITE_DONE, or the
    // failure's specific code where the step gave only a generic one.
    int endRun(int stepResult)
    {
        const int resetResult = sqlite3_reset(statement);
        return stepResult == SQLITE_ERROR ? resetResult : stepResult;
    }

    bool failRun(const QString &what, int code)
    {
        setLastError(errorOf(db, what, code, QSqlError::StatementError));
        setActive(false);
        return false;
    }

    // Values are stored as Qt's driver stores them; a null QString is NULL.
    int bind(int position, const QVariant &value)
    {
        if (value.isNull())
            return sqlite3_bind_null(statement, position);
        switch (value.userType()) {
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            return sqlite3_bind_blob64(statement, position, bytes.constData(), sqlite3_uint64(bytes.size()),
                                       SQLITE_TRANSIENT);
        }
        case QMetaType::Int:
        case QMetaType::Bool:
            return sqlite3_bind_int(statement, position, value.toInt());
        case QMetaType::Double:
            return sqlite3_bind_double(statement, position, value.toDouble());
        case QMetaType::UInt:
        case QMetaType::LongLong:
            return sqlite3_bind_int64(statement, position, value.toLongLong());
        default: {
            const QByteArray text = value.toString().toUtf8();
            return sqlite3_bind_text64(statement, position, text.constData(), sqlite3_uint64(text.size()),
                                       SQLITE_TRANSIENT, SQLITE_UTF8);
        }
        }
    }

    sqlite3 *const db;
    sqlite3_stmt *statement = nullptr;
    bool rowWaiting = false; // the row the run stepped to, not read yet
    int changedRows = 0;
};

} // namespace

const QString SqliteDriver::Name = QStringLiteral("REPAIR_SQLITE");

void SqliteDriver::registerDriver()
{
    static const bool registered = [] {
        QSqlDatabase::registerSqlDriver(Name, new QSqlDriverCreator<SqliteDriver>);
        return true;
    }();
    Q_UNUSED(registered)
}

SqliteDriver::~SqliteDriver()
{
    close();
}

bool SqliteDriver::hasFeature(DriverFeature feature) const
{
    switch (feature) {
    case Transactions:
    case PreparedQueries:
    case PositionalPlaceholders:
    case BLOB:
    case Unicode:
    case LowPrecisionNumbers:
    case FinishQuery:
    case SimpleLocking:
        return true;
    default:
        return false;
    }
}

bool SqliteDriver::open(const QString &path, const QString &, const QString &, const QString &, int, const QString &)
{
    close();
    // A connection is used by one thread at a time, so SQLite need not
    // lock it on every call; Qt's driver opens it so too.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE;
    const int result = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (result != SQLITE_OK) {
        setLastError(errorOf(db, QStringLiteral("Error opening database"), result, QSqlError::ConnectionError));
        sqlite3_close_v2(db);
        db = nullptr;
        setOpenError(true);
        return false;
    }
    sqlite3_busy_timeout(db, OpeningBusyTimeoutMs);
    setOpen(true);
    setOpenError(false);
    return true;
}

// Statements still prepared keep the connection until they are gone.
void SqliteDriver::close()
{
    if (db) {
        sqlite3_close_v2(db);
        db = nullptr;
    }
    setOpen(false);
    setOpenError(false);
}

QSqlResult *SqliteDriver::createResult() const
{
    return new SqliteStatement(this, db);
}

bool SqliteDriver::beginTransaction()
{
    return run("BEGIN");
}

bool SqliteDriver::commitTransaction()
{
    return run("COMMIT");
}

bool SqliteDriver::rollbackTransaction()
{
    return run("ROLLBACK");
}

bool SqliteDriver::run(const char *statement)
{
    const int result = sqlite3_exec(db, statement, nullptr, nullptr, nullptr);
    if (result == SQLITE_OK)
        return true;
    setLastError(errorOf(db, QString::fromLatin1(statement), result, QSqlError::TransactionError));
    return false;
}
