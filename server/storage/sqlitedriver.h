#pragma once

#include <QSqlDriver>

struct sqlite3;

// The store's way to SQLite through QtSql. Qt's own SQLite driver, each
// time a statement runs, builds the name, table and declared type of every
// column again and copies every value of the row into a QVariant, texts
// converted to UTF-16. For the one-row lookups a worker's commands make
// that is about as much work as SQLite's own. This driver reads a value
// when it is asked for, from SQLite's UTF-8, and keeps nothing of the row.
//
// It offers what the store uses: statements prepared once and run many
// times, with named or positional placeholders (QtSql turns names into
// positions); rows read forward, values by position, and the columns'
// names when asked for; the rows a change touched; errors that carry
// SQLite's result code (5 while another connection holds the lock). A
// connection is used by one thread at a time.
class SqliteDriver : public QSqlDriver
{
public:
    // The driver name the store's connections are added under.
    static const QString Name;
    // Makes Name known to QSqlDatabase; may be called again.
    static void registerDriver();

    SqliteDriver() = default;
    ~SqliteDriver() override;

    bool hasFeature(DriverFeature feature) const override;
    bool open(const QString &path, const QString &user, const QString &password, const QString &host, int port,
              const QString &options) override;
    void close() override;
    QSqlResult *createResult() const override;
    bool beginTransaction() override;
    bool commitTransaction() override;
    bool rollbackTransaction() override;

    // The SQLite connection, for what QtSql does not offer; null while closed.
    sqlite3 *connection() const { return db; }

private:
    bool run(const char *statement);

    sqlite3 *db = nullptr;
};
