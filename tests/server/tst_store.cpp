#include "app/accountsetup.h"
#include "app/demoshop.h"
#include "auth/passwordhasher.h"
#include "storage/schemamigrations.h"
#include "storage/store.h"
#include "storage/useraccounts.h"

#include <passworddigest.h>

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

// The database: its schema over restarts, the rules it enforces, and the
// ways accounts get into it outside the protocol.
class StoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void reopeningKeepsSchemaAndData();
    void refusesDatabaseOfNewerServer();
    void schemaRefusesInconsistentData();

    void addUserFromCommandLine();
    void addUserRefusesBadInput_data();
    void addUserRefusesBadInput();

    void demoShop();

private:
    QVariant value(const QString &sql, const QVariantList &values = {});
    bool run(const QString &sql);

    QTemporaryDir folder;
    QString path;
    std::unique_ptr<Store> store;
};

void StoreTest::init()
{
    QVERIFY(folder.isValid());
    path = folder.filePath(QStringLiteral("shop-%1.sqlite").arg(QTest::currentTestFunction()));
    QString error;
    store = Store::openSqlite(path, &error);
    QVERIFY2(store, qPrintable(error));
}

void StoreTest::cleanup()
{
    store.reset();
}

QVariant StoreTest::value(const QString &sql, const QVariantList &values)
{
    QSqlQuery query = store->prepare(sql);
    for (const QVariant &bound : values)
        query.addBindValue(bound);
    if (!query.exec() || !query.next())
        return {};
    return query.value(0);
}

bool StoreTest::run(const QString &sql)
{
    QSqlQuery query = store->prepare(sql);
    return query.exec();
}

void StoreTest::reopeningKeepsSchemaAndData()
{
    QCOMPARE(store->schemaVersion(), SchemaMigrations::latestVersion());
    QVERIFY(run(QStringLiteral("INSERT INTO departments (name) VALUES ('Paint')")));

    for (int reopen = 0; reopen < 2; ++reopen) {
        store.reset();
        QString error;
        store = Store::openSqlite(path, &error);
        QVERIFY2(store, qPrintable(error));
        QCOMPARE(store->schemaVersion(), SchemaMigrations::latestVersion());
        QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM schema_version")).toInt(), SchemaMigrations::latestVersion());
        QCOMPARE(value(QStringLiteral("SELECT name FROM departments")).toString(), QStringLiteral("Paint"));
    }
}

void StoreTest::refusesDatabaseOfNewerServer()
{
    QVERIFY(run(QStringLiteral("INSERT INTO schema_version (version, applied_at) VALUES (999, 0)")));
    store.reset();
    QString error;
    QVERIFY(!Store::openSqlite(path, &error));
    QVERIFY(error.contains(QLatin1String("999")));
}

void StoreTest::schemaRefusesInconsistentData()
{
    QVERIFY(run(QStringLiteral("INSERT INTO users (id, user_name, permission_level, password_hash, created_at) VALUES (1, 'anna', 1, 'h', 0)")));
    QVERIFY(run(QStringLiteral("INSERT INTO bins (id, bin_id, work_type, created_at) VALUES (1, 'KD1', 'Front End Repair', 0)")));

    QVERIFY2(!run(QStringLiteral("INSERT INTO users (user_name, permission_level, password_hash, created_at) VALUES ('anna', 1, 'h', 0)")),
             "a user name is taken once");
    QVERIFY2(!run(QStringLiteral("INSERT INTO users (user_name, permission_level, password_hash, created_at) VALUES ('bert', 4, 'h', 0)")),
             "permission levels are 1 to 3");
    QVERIFY2(!run(QStringLiteral("INSERT INTO bin_orders (bin_ref, repair_id, owner_id, work_type, status, created_at)"
                                 " VALUES (2, 1, 1, 'Front End Repair', 1, 0)")),
             "an order belongs to a known bin");
    QVERIFY2(!run(QStringLiteral("INSERT INTO bin_orders (bin_ref, repair_id, owner_id, work_type, status, created_at)"
                                 " VALUES (1, 1, 1, 'Front End Repair', 7, 0)")),
             "order statuses are 1 to 6");
    QVERIFY2(!run(QStringLiteral("INSERT INTO bins (bin_id, work_type, created_at) VALUES ('X1', 'Custom', 0)")),
             "bins are front end or roll off");

    QVERIFY(run(QStringLiteral("INSERT INTO clock_records (user_id, start_time) VALUES (1, 10)")));
    QVERIFY2(!run(QStringLiteral("INSERT INTO clock_records (user_id, start_time) VALUES (1, 20)")),
             "a user has one open clock period at most");
    QVERIFY(run(QStringLiteral("UPDATE clock_records SET end_time = 15")));
    QVERIFY(run(QStringLiteral("INSERT INTO clock_records (user_id, start_time) VALUES (1, 20)")));

    QVERIFY(run(QStringLiteral("INSERT INTO bin_orders (id, bin_ref, repair_id, owner_id, work_type, status, created_at)"
                               " VALUES (1, 1, 1, 1, 'Front End Repair', 1, 0)")));
    QVERIFY2(!run(QStringLiteral("INSERT INTO order_time_stamps (user_id, start_time) VALUES (1, 0)")),
             "a time stamp belongs to exactly one order");
    QVERIFY(run(QStringLiteral("INSERT INTO order_time_stamps (bin_order_id, user_id, start_time) VALUES (1, 1, 0)")));
}

void StoreTest::addUserFromCommandLine()
{
    const AccountSetup::Outcome added = AccountSetup::addUser(*store, QStringLiteral("Quinn Ivey"), 2, QStringLiteral("Paint"), QStringLiteral("pässword"));
    QVERIFY2(added.added, qPrintable(added.message));

    const Lookup<UserAccount> account = UserAccounts(*store).find(QStringLiteral("Quinn Ivey"));
    QVERIFY(account.found());
    QCOMPARE(account->permissionLevel, 2);
    QVERIFY(account->active);
    QVERIFY(account->passwordHash.startsWith("$argon2id$"));
    QVERIFY(PasswordHasher::verify(account->passwordHash, wire::passwordDigest(QStringLiteral("pässword"))));
    QCOMPARE(value(QStringLiteral("SELECT d.name FROM users u JOIN departments d ON d.id = u.department_id")).toString(),
             QStringLiteral("Paint"));

    const AccountSetup::Outcome again = AccountSetup::addUser(*store, QStringLiteral("Quinn Ivey"), 1, QString(), QStringLiteral("other"));
    QVERIFY(!again.added);
    QVERIFY(again.message.contains(QLatin1String("already exists")));
    QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM users")).toInt(), 1);
}

void StoreTest::addUserRefusesBadInput_data()
{
    QTest::addColumn<QString>("userName");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("department");
    QTest::addColumn<QString>("password");
    QTest::newRow("no name") << "" << 1 << "" << "pw";
    QTest::newRow("name of 51 characters") << QString(51, 'n') << 1 << "" << "pw";
    QTest::newRow("level 0") << "neil" << 0 << "" << "pw";
    QTest::newRow("level 4") << "neil" << 4 << "" << "pw";
    QTest::newRow("department of 51 characters") << "neil" << 1 << QString(51, 'd') << "pw";
    QTest::newRow("no password") << "neil" << 1 << "" << "";
}

void StoreTest::addUserRefusesBadInput()
{
    QFETCH(QString, userName);
    QFETCH(int, level);
    QFETCH(QString, department);
    QFETCH(QString, password);
    const AccountSetup::Outcome outcome = AccountSetup::addUser(*store, userName, level, department, password);
    QVERIFY(!outcome.added);
    QVERIFY(!outcome.message.isEmpty());
    QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM users")).toInt(), 0);
    QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM departments")).toInt(), 0);
}

void StoreTest::demoShop()
{
    QCOMPARE(DemoShop::addIfEmpty(*store), DemoShop::Outcome::Added);

    const QList<DemoShop::Account> accounts = DemoShop::accounts();
    QCOMPARE(accounts.size(), 3);
    QList<int> levels;
    for (const DemoShop::Account &demo : accounts) {
        const Lookup<UserAccount> account = UserAccounts(*store).find(demo.userName);
        QVERIFY2(account.found(), qPrintable(demo.userName));
        levels.append(account->permissionLevel);
    }
    QCOMPARE(levels, QList<int>({3, 2, 1}));
    QCOMPARE(accounts.first().userName, QStringLiteral("manager"));
    const Lookup<UserAccount> manager = UserAccounts(*store).find(QStringLiteral("manager"));
    QVERIFY(PasswordHasher::verify(manager->passwordHash, wire::passwordDigest(accounts.first().password)));
    QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM departments")).toInt(), 2);

    const QList<QPair<QString, QString>> lists = {{"FER", "FEC"}, {"ROR", "ROC"}, {"KD", "KEC"}};
    for (const auto &list : lists) {
        QVERIFY(value(QStringLiteral("SELECT COUNT(*) FROM repair_codes WHERE code_list = ?"), {list.first}).toInt() > 0);
        QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM repair_codes WHERE code_list = ? AND code NOT LIKE ?"),
                       {list.first, list.second + QLatin1Char('%')})
                     .toInt(),
                 0);
    }
    QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM repair_codes WHERE code LIKE '%-%' OR length(code) > 8")).toInt(), 0);

    QCOMPARE(DemoShop::addIfEmpty(*store), DemoShop::Outcome::NotEmpty);
    QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM users")).toInt(), 3);
}

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
