#include "app/accountsetup.h"
#include "app/demoshop.h"
#include "auth/passwordhasher.h"
#include "commands/commanddispatcher.h"
#include "net/commandworkers.h"
#include "net/longlistreader.h"
#include "storage/logcopier.h"
#include "storage/schemamigrations.h"
#include "storage/store.h"
#include "storage/useraccounts.h"
#include "testdatabase.h"

#include <fieldreader.h>
#include <frame.h>
#include <passworddigest.h>

#include <QSemaphore>
#include <QSqlQuery>
#include <QtTest>

#include <sqlite3.h>
#include <time.h>

#include <thread>

// The database: its schema over restarts, the rules it enforces, and the
// ways accounts get into it outside the protocol.
class StoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        database = std::make_unique<TestDatabase>();
        QVERIFY(reopen());
    }

    void reopeningKeepsSchemaAndDataButRefusesNewerSchema()
    {
        QVERIFY(run("INSERT INTO departments (name) VALUES ('Paint')"));
        const int steps = value("SELECT COUNT(*) FROM schema_version").toInt();
        for (int opened = 1; opened <= 3; ++opened) {
            QVERIFY(opened == 1 || reopen());
            QCOMPARE(store->schemaVersion(), SchemaMigrations::latestVersion());
            QCOMPARE(value("SELECT COUNT(*) FROM schema_version").toInt(), steps);
            QCOMPARE(value("SELECT name FROM departments").toString(), QStringLiteral("Paint"));
        }
        // A database of a newer server is refused.
        QVERIFY(run("INSERT INTO schema_version (version, applied_at) VALUES (999, 0)"));
        store.reset();
        QString error;
        QVERIFY(!database->open(&error));
        QVERIFY(error.contains(QLatin1String("999")));
    }

    void schemaRefusesInconsistentData()
    {
        // The first rows of new tables, with id 1; refused rows would collide
        // with ids given by hand on PostgreSQL, whose keys come from sequences.
        QVERIFY(run(
            "INSERT INTO users (user_name, permission_level, password_hash, created_at) VALUES ('anna', 1, 'h', 0)"));
        QVERIFY(run("INSERT INTO bins (bin_id, work_type, created_at) VALUES ('KD1', 'Front End Repair', 0)"));
        const QList<std::pair<const char *, const char *>> refused = {
            {"a user name is taken once",
             "INSERT INTO users (user_name, permission_level, password_hash, created_at) VALUES ('anna', 1, 'h', 0)"},
            {"permission levels are 1 to 3",
             "INSERT INTO users (user_name, permission_level, password_hash, created_at) VALUES ('bert', 4, 'h', 0)"},
            {"an order belongs to a known bin",
             "INSERT INTO bin_orders (bin_ref, repair_id, owner_id, work_type, status, "
             "created_at) VALUES (2, 1, 1, 'Front End Repair', 1, 0)"},
            {"order statuses are 1 to 6", "INSERT INTO bin_orders (bin_ref, repair_id, owner_id, work_type, status, "
                                          "created_at) VALUES (1, 1, 1, 'Front End Repair', 7, 0)"},
            {"bins are front end or roll off",
             "INSERT INTO bins (bin_id, work_type, created_at) VALUES ('X1', 'Custom', 0)"},
            {"a time stamp belongs to exactly one order",
             "INSERT INTO order_time_stamps (user_id, start_time) VALUES (1, 0)"},
        };
        for (const auto &[rule, sql] : refused)
            QVERIFY2(!run(sql), rule);
        QVERIFY(run("INSERT INTO bin_orders (id, bin_ref, repair_id, owner_id, work_type, status, created_at)"
                    " VALUES (1, 1, 1, 1, 'Front End Repair', 1, 0)"));
        QVERIFY(run("INSERT INTO order_time_stamps (bin_order_id, user_id, start_time) VALUES (1, 1, 0)"));

        // A user has one open clock period at most.
        QVERIFY(run("INSERT INTO clock_records (user_id, start_time) VALUES (1, 10)"));
        QVERIFY(!run("INSERT INTO clock_records (user_id, start_time) VALUES (1, 20)"));
        QVERIFY(run("UPDATE clock_records SET end_time = 15"));
        QVERIFY(run("INSERT INTO clock_records (user_id, start_time) VALUES (1, 20)"));
    }

    // Orders of a database from before: sent-back roll-off orders reopen on
    // their sheet, and every order gets its bin's ID.
    void olderOrdersAreBroughtUpToDate()
    {
        QVERIFY(
            run("INSERT INTO users (id, user_name, permission_level, password_hash, created_at) VALUES (1, 'anna', 1, "
                "'h', 0)"));
        QVERIFY(run("INSERT INTO bins (id, bin_id, work_type, created_at) VALUES (1, 'KD1', 'Front End Repair', 0),"
                    " (2, 'ROR1', 'Roll Off Repair', 0)"));
        QVERIFY(run("INSERT INTO bin_orders (bin_ref, repair_id, owner_id, work_type, status, created_at)"
                    " VALUES (1, 1, 1, 'Front End Repair', 3, 0), (2, 1, 1, 'Roll Off Repair', 3, 0),"
                    " (2, 2, 1, 'Roll Off Repair', 4, 0)"));
        // The schema as version 6 left what versions 7 to 11 change.
        QVERIFY(store->define("DROP INDEX bin_orders_finished"));
        QVERIFY(store->define("ALTER TABLE bin_orders DROP COLUMN bin_id"));
        QVERIFY(store->define("CREATE INDEX bin_orders_finished ON bin_orders(bin_ref)"));
        QVERIFY(store->define("CREATE INDEX clock_audit_by_user ON clock_audit(user_id)"));
        const QStringList catalogueVersion
            = store->sharedByServers()
                  ? QStringList{"DROP FUNCTION count_repair_codes_change() CASCADE"}
                  : QStringList{"DROP TRIGGER repair_codes_inserted", "DROP TRIGGER repair_codes_updated",
                                "DROP TRIGGER repair_codes_deleted"};
        for (const QString &statement : catalogueVersion + QStringList{"DROP TABLE repair_codes_version"})
            QVERIFY(store->define(statement));
        QVERIFY(run("DELETE FROM schema_version WHERE version >= 7"));
        QVERIFY(reopen());
        QCOMPARE(rows("SELECT work_type, status, bin_id FROM bin_orders ORDER BY id"),
                 (QStringList{"Front End Repair|3|KD1", "Roll Off Repair|2|ROR1", "Roll Off Repair|4|ROR1"}));
    }

    void addUserFromCommandLine()
    {
        const AccountSetup::Outcome added
            = AccountSetup::addUser(*store, "Quinn Ivey", 2, "Paint", QStringLiteral("pässword"));
        QVERIFY2(added.added, qPrintable(added.message));
        const Lookup<UserAccount> account = UserAccounts(*store).find("Quinn Ivey");
        QVERIFY(account.found() && account->active);
        QCOMPARE(account->permissionLevel, 2);
        QVERIFY(account->passwordHash.startsWith("$argon2id$"));
        QVERIFY(PasswordHasher::verify(account->passwordHash, wire::passwordDigest(QStringLiteral("pässword"))));
        QCOMPARE(value("SELECT d.name FROM users u JOIN departments d ON d.id = u.department_id").toString(),
                 QStringLiteral("Paint"));

        const AccountSetup::Outcome again = AccountSetup::addUser(*store, "Quinn Ivey", 1, QString(), "other");
        QVERIFY(!again.added && again.message.contains(QLatin1String("already exists")));

        // Refused: no name, a name or department of 51, levels 0 and 4, no password.
        const QList<std::tuple<QString, int, QString, QString>> refused = {
            {"", 1, "", "pw"},     {QString(51, 'n'), 1, "", "pw"},     {"neil", 0, "", "pw"},
            {"neil", 4, "", "pw"}, {"neil", 1, QString(51, 'd'), "pw"}, {"neil", 1, "", ""},
        };
        for (const auto &[userName, level, department, password] : refused) {
            const AccountSetup::Outcome outcome = AccountSetup::addUser(*store, userName, level, department, password);
            QVERIFY2(!outcome.added && !outcome.message.isEmpty(), qPrintable(userName));
        }
        QCOMPARE(value("SELECT (SELECT COUNT(*) FROM users) + (SELECT COUNT(*) FROM departments)").toInt(), 2);
    }

    void demoShop()
    {
        // Its accounts are the end-to-end flows' to use.
        QCOMPARE(DemoShop::addIfEmpty(*store), DemoShop::Outcome::Added);
        QCOMPARE(rows("SELECT DISTINCT code_list FROM repair_codes ORDER BY code_list"),
                 (QStringList{"FER", "KD", "ROR"}));
        QCOMPARE(DemoShop::addIfEmpty(*store), DemoShop::Outcome::NotEmpty);
        QCOMPARE(value("SELECT COUNT(*) FROM users").toInt(), 3);
    }

    // A handler that runs a statement again while it still reads the rows of
    // the first run (a lookup per row) gets both results whole, turn after turn.
    void statementReadAgainWhileItsRowsAreRead()
    {
        if (TestDatabase::onPostgres())
            QSKIP("Qt's PostgreSQL driver reads rows as they come: no statement runs while another one's are read");
        QVERIFY(run("INSERT INTO departments (name) VALUES ('Paint'), ('Weld')"));
        const QString sql = QStringLiteral("SELECT name FROM departments WHERE name >= :from ORDER BY name");
        for (int turn = 0; turn < 2; ++turn) {
            const Store::Turn held(*store);
            QSqlQuery outer = store->prepare(sql);
            outer.bindValue(":from", "A");
            QVERIFY(Store::execute(outer));
            QStringList seen;
            while (outer.next()) {
                QSqlQuery inner = store->prepare(sql);
                inner.bindValue(":from", outer.value(0));
                QVERIFY(Store::execute(inner) && inner.next());
                seen.append(outer.value(0).toString() + "=" + inner.value(0).toString());
            }
            QCOMPARE(seen, (QStringList{"Paint=Paint", "Weld=Weld"}));
        }
    }

    // Values come back from SQLite as they were bound: a null text as NULL,
    // an empty one as '', large whole numbers, bytes, texts beyond ASCII; a
    // name used twice binds both places; a statement read to its end runs
    // again whole. Two statements in one are refused, not half run.
    void sqliteKeepsValuesAsBound()
    {
        if (TestDatabase::onPostgres())
            QSKIP("the store reaches PostgreSQL through Qt's own driver");
        const Store::Turn held(*store);
        QSqlQuery query = store->prepare(
            "SELECT :empty, :none IS NULL, :number + 1, :bytes, :text || '/' || :text, typeof(:whole)");
        query.bindValue(":empty", QString(""));
        query.bindValue(":none", QString());
        query.bindValue(":number", qlonglong(1) << 40);
        query.bindValue(":bytes", QByteArray("\0\1\2", 3));
        query.bindValue(":text", QStringLiteral("Größe 7½"));
        query.bindValue(":whole", 7);
        for (int run = 0; run < 2; ++run) {
            QVERIFY(Store::execute(query) && query.next());
            QVERIFY(!query.isNull(0) && query.value(0).toString().isEmpty());
            QCOMPARE(query.value(1).toInt(), 1);
            QCOMPARE(query.value(2).toLongLong(), (qlonglong(1) << 40) + 1);
            QCOMPARE(query.value(3).toByteArray(), QByteArray("\0\1\2", 3));
            QCOMPARE(query.value(4).toString(), QStringLiteral("Größe 7½/Größe 7½"));
            QCOMPARE(query.value(5).toString(), QStringLiteral("integer"));
            QVERIFY(!query.next());
        }

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^cannot prepare .*multiple statements"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^database statement failed"));
        QSqlQuery twoInOne = store->prepare("INSERT INTO departments (name) VALUES ('Paint'); DELETE FROM departments");
        QVERIFY(!Store::execute(twoInOne));
    }

    // The reads of a turn share one snapshot, from its first read to the
    // turn's end or its first write: the next turn sees what another
    // connection committed meanwhile, and a turn that read can still write.
    void turnsReadTogetherYetSeeLaterCommits()
    {
        const auto departments = [this] {
            return rows("SELECT name FROM departments WHERE name IN ('Paint', 'Weld', 'Wash') ORDER BY name");
        };
        const auto addElsewhere = [this](const QString &name) {
            std::thread writer([&] {
                store->transaction(
                    [&] { return run(QStringLiteral("INSERT INTO departments (name) VALUES ('%1')").arg(name)); });
                store->releaseThreadConnection();
            });
            writer.join();
        };
        {
            const Store::Turn turn(*store);
            QCOMPARE(departments(), QStringList{});
        }
        addElsewhere("Paint");
        {
            Store::Turn turn(*store);
            QCOMPARE(departments(), QStringList{"Paint"});
            turn.nextHandler();
            QVERIFY(store->transaction([this] { return run("INSERT INTO departments (name) VALUES ('Weld')"); }));
            QVERIFY(turn.commitGroup());
        }
        addElsewhere("Wash");
        const Store::Turn turn(*store);
        QCOMPARE(departments(), (QStringList{"Paint", "Wash", "Weld"}));
    }

    // Long lists are read beside the turns: a turn holding an uncommitted
    // write keeps neither the reader waiting nor its write from the list
    // read after the commit.
    void longListsAreReadBesideTheTurns()
    {
        if (TestDatabase::onPostgres())
            QSKIP("on PostgreSQL turns run side by side and each handler commits alone");
        LongListReader reader(*store);
        QSemaphore read;
        QStringList seen;
        const auto readDepartments = [&] {
            reader.read([&] {
                seen = rows("SELECT name FROM departments WHERE name = 'Paint'");
                read.release();
            });
        };
        {
            Store::Turn turn(*store);
            QVERIFY(store->transaction([this] { return run("INSERT INTO departments (name) VALUES ('Paint')"); }));
            readDepartments();
            QVERIFY(read.tryAcquire(1, 10000));
            QCOMPARE(seen, QStringList{});
            QVERIFY(turn.commitGroup());
        }
        readDepartments();
        QVERIFY(read.tryAcquire(1, 10000));
        QCOMPARE(seen, QStringList{"Paint"});
    }

    // Lists asked back to back leave the cores to the handlers between
    // them: the next starts only after the reader's rest.
    void backToBackListsAreSpacedOut()
    {
        if (TestDatabase::onPostgres())
            QSKIP("on PostgreSQL a list is read at once in the handler's turn");
        const auto processorTime = [] {
            timespec now{};
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
            return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
        };
        LongListReader reader(*store);
        QSemaphore read;
        std::chrono::steady_clock::time_point firstEnded, secondStarted;
        reader.read([&] {
            // Long enough to earn the longest rest.
            const std::chrono::nanoseconds start = processorTime();
            while (processorTime() - start < LongListReader::LongestRest) { }
            firstEnded = std::chrono::steady_clock::now();
        });
        reader.read([&] {
            secondStarted = std::chrono::steady_clock::now();
            read.release();
        });
        QVERIFY(read.tryAcquire(1, 10000));
        QVERIFY(secondStarted - firstEnded >= LongListReader::LongestRest);
    }

    // Handlers run as a group share one commit, but a handler whose work
    // fails takes back only its own writes.
    void groupedHandlersCommitTogetherAndFailAlone()
    {
        const auto add = [this](const char *name, bool succeed) {
            return store->transaction([&] {
                return run(QStringLiteral("INSERT INTO departments (name) VALUES ('%1')").arg(name)) && succeed;
            });
        };
        {
            Store::Turn group(*store);
            QVERIFY(add("Paint", true));
            group.nextHandler();
            QVERIFY(!add("Weld", false));
            group.nextHandler();
            QVERIFY(add("Wash", true));
            QVERIFY(group.commitGroup());
        }
        QCOMPARE(rows("SELECT name FROM departments WHERE name IN ('Paint', 'Weld', 'Wash') ORDER BY name"),
                 (QStringList{"Paint", "Wash"}));
    }

    // The log's writes are gathered before they reach the file. What a crash
    // leaves behind, the file and its log never copied back into it, holds
    // every commit whole: one of several MiB, many of a row each, and
    // another connection's, made where a transaction given up had already
    // written to the log (larger than its connection's page cache, just
    // after the log was copied into the file and emptied).
    void commitsInTheLogSurviveACrashWhole()
    {
        if (TestDatabase::onPostgres())
            QSKIP("PostgreSQL keeps its own log");
        QVERIFY(run("CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT NOT NULL)"));
        const auto addNotes = [this](int count) {
            return store->transaction([&] {
                QSqlQuery insert = store->prepare(QStringLiteral("INSERT INTO notes (body) VALUES (?)"));
                for (int row = 0; row < count; ++row) {
                    insert.addBindValue(QString(4000, QChar('a' + row % 26)));
                    if (!insert.exec())
                        return false;
                }
                return true;
            });
        };
        QVERIFY(run("PRAGMA wal_checkpoint(TRUNCATE)"));
        QVERIFY(run("PRAGMA cache_size = 20"));
        QVERIFY(!store->transaction([&] { return addNotes(200) && false; }));
        std::thread elsewhere([this] {
            store->transaction([this] { return run("INSERT INTO notes (body) VALUES ('elsewhere')"); });
            store->releaseThreadConnection();
        });
        elsewhere.join();
        QCOMPARE(rows("SELECT body FROM notes"), QStringList{"elsewhere"});

        QVERIFY(addNotes(1000));
        for (int row = 0; row < 100; ++row)
            QVERIFY(run(QStringLiteral("INSERT INTO notes (body) VALUES ('small %1')").arg(row)));

        QTemporaryDir crashed;
        const QString copy = crashed.filePath(QStringLiteral("shop.sqlite"));
        QVERIFY(QFile::copy(database->location(), copy));
        QVERIFY(QFile::copy(database->location() + QLatin1String("-wal"), copy + QLatin1String("-wal")));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("crashed"));
            db.setDatabaseName(copy);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*), SUM(LENGTH(body)), "
                                              "(SELECT body FROM notes ORDER BY id DESC LIMIT 1) FROM notes"))
                    && query.next());
            QCOMPARE(query.value(0).toInt(), 1101);
            QCOMPARE(query.value(1).toInt(), 9 + 1000 * 4000 + 10 * 7 + 90 * 8);
            QCOMPARE(query.value(2).toString(), QStringLiteral("small 99"));
            QVERIFY(query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("ok"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("crashed"));
    }

    // The commit that grows the log past its size only wakes the copier:
    // the log reaches the database file with no further commit, the log
    // starts afresh after the next commits, and every row is kept.
    void logIsCopiedBesideTheCommits()
    {
        if (TestDatabase::onPostgres())
            QSKIP("PostgreSQL keeps its own log");
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("log.sqlite"));
        const auto open = [&path] {
            sqlite3 *connection = nullptr;
            sqlite3_open(QFile::encodeName(path).constData(), &connection);
            return std::unique_ptr<sqlite3, int (*)(sqlite3 *)>(connection, sqlite3_close_v2);
        };
        const auto writer = open();
        const auto run = [&writer](const char *statement) {
            return sqlite3_exec(writer.get(), statement, nullptr, nullptr, nullptr) == SQLITE_OK;
        };
        QVERIFY(run("PRAGMA journal_mode = WAL") && run("CREATE TABLE notes (body BLOB)"));
        const int logPages = 100;
        LogCopier copier(QFile::encodeName(path), logPages);
        copier.watch(writer.get());
        const qint64 fileBefore = QFileInfo(path).size();

        // The log's header, then for each page a frame's header and the page.
        const qint64 logPastItsSize = 32 + logPages * (24 + 4096);
        int notes = 0;
        while (QFileInfo(path + QLatin1String("-wal")).size() < logPastItsSize) {
            QVERIFY(run("INSERT INTO notes VALUES (randomblob(3000))"));
            ++notes;
        }
        QTRY_VERIFY(QFileInfo(path).size() > fileBefore);

        QVERIFY(run("INSERT INTO notes VALUES (randomblob(3000))") && run("INSERT INTO notes VALUES (x'00')"));
        notes += 2;
        const auto reader = open();
        int pagesInLog = -1;
        QCOMPARE(sqlite3_wal_checkpoint_v2(reader.get(), "main", SQLITE_CHECKPOINT_PASSIVE, &pagesInLog, nullptr),
                 SQLITE_OK);
        QVERIFY2(pagesInLog < 10, qPrintable(QString::number(pagesInLog)));
        sqlite3_stmt *count = nullptr;
        QCOMPARE(sqlite3_prepare_v2(reader.get(), "SELECT COUNT(*) FROM notes", -1, &count, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_step(count), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int(count, 0), notes);
        sqlite3_finalize(count);
    }

    // PostgreSQL may refuse a serializable transaction over and over while
    // a long one runs elsewhere in the cluster: it is tried again, with
    // pauses, until it goes through, on the statements already prepared.
    void transactionRefusedForAWhileGoesThrough()
    {
        if (!TestDatabase::onPostgres())
            QSKIP("only PostgreSQL refuses a transaction because of a concurrent one");
        QVERIFY(store->define("CREATE FUNCTION refused_while(refuse boolean) RETURNS integer LANGUAGE plpgsql AS $$"
                              " BEGIN IF refuse THEN RAISE EXCEPTION USING ERRCODE = 'serialization_failure';"
                              " END IF; RETURN 1; END $$"));
        const int preparedBefore = value("SELECT COUNT(*) FROM pg_prepared_statements").toInt();
        QElapsedTimer refusing;
        refusing.start();
        int attempts = 0;
        {
            const Store::Turn turn(*store);
            QVERIFY(store->transaction([&] {
                ++attempts;
                QSqlQuery query = store->prepare("SELECT refused_while(:refuse)");
                query.bindValue(":refuse", refusing.elapsed() < 500);
                return Store::execute(query) && run("INSERT INTO departments (name) VALUES ('Paint')");
            }));
        }
        QVERIFY(attempts > 2);
        QCOMPARE(rows("SELECT name FROM departments"), QStringList{"Paint"});
        QCOMPARE(value("SELECT COUNT(*) FROM pg_prepared_statements").toInt(), preparedBefore + 2);
    }

    // While writers hold the turns, a light read is answered at once on the
    // thread the request came on (the network thread), seeing only what is
    // committed and writing nothing; other requests wait for the writers.
    void lightReadsAreAnsweredAsideWhileWritersWork()
    {
        if (TestDatabase::onPostgres())
            QSKIP("on PostgreSQL handlers run side by side");
        const int departmentsBefore = value("SELECT COUNT(*) FROM departments").toInt();
        QSemaphore holding;
        QSemaphore finishHolding;
        bool wroteAside = true;
        CommandDispatcher dispatcher;
        dispatcher.add<>("Write", [&](const Reply &reply) {
            store->transaction([&] { return run("INSERT INTO departments (name) VALUES ('Paint')"); });
            reply.send("Written");
        });
        dispatcher.add<>("Hold", [&](const Reply &reply) {
            holding.release();
            finishHolding.tryAcquire(1, 10000);
            reply.send("Held");
        });
        dispatcher.add<>("Count", [&](const Reply &reply) {
            wroteAside = store->transaction([&] { return run("INSERT INTO departments (name) VALUES ('Wood')"); });
            reply.send("Counted", value("SELECT COUNT(*) FROM departments").toString());
        });
        dispatcher.add<>("Look", [](const Reply &reply) { reply.send("Looked"); });
        dispatcher.answerAside({"Count"});
        dispatcher.setAsideCheck([](const Reply &) { return true; });

        CommandWorkers workers(*store, 1);
        const ConnectionContext::RequestHandler handle = workers.requestHandler(dispatcher);
        QMutex answeredLock;
        QStringList answered;
        const auto ask = [&](const QString &command) {
            handle(wire::frame(command), Reply([&](const QByteArray &frame) {
                       wire::FieldReader fields(frame);
                       const QString tag = fields.string();
                       const QMutexLocker locked(&answeredLock);
                       answered.append(tag + QLatin1Char(' ') + fields.string());
                   }));
        };
        ask("Write");
        ask("Hold");
        QTRY_VERIFY(holding.available() > 0);
        ask("Look");
        ask("Count");
        {
            const QMutexLocker locked(&answeredLock);
            QCOMPARE(answered, QStringList{QStringLiteral("Counted %1").arg(departmentsBefore)});
        }
        QVERIFY(!wroteAside);
        finishHolding.release();
        QTRY_COMPARE(answered.size(), 4);
        QCOMPARE(value("SELECT COUNT(*) FROM departments").toInt(), departmentsBefore + 1);
    }

    // On PostgreSQL a commit in a handlers' turn does not wait for the disk:
    // the turn says it wrote, so that replies wait for the flush after it.
    // Outside a turn (accounts added from the command line, migrations) the
    // commit itself waits.
    // Handlers wait mostly for PostgreSQL's answers, so they run side by
    // side there, also when queued together, as the requests of one pass of
    // the network thread are: the first job below goes on only once the
    // second has run.
    void postgresHandlersRunSideBySide()
    {
        if (!TestDatabase::onPostgres())
            QSKIP("SQLite runs one handler at a time");
        QSemaphore secondRan;
        QSemaphore firstSawIt;
        CommandWorkers workers(*store, 2);
        QThread::msleep(100); // both threads wait for jobs, to be woken
        std::vector<std::function<void()>> jobs;
        jobs.push_back([&] {
            if (secondRan.tryAcquire(1, 5000))
                firstSawIt.release();
        });
        jobs.push_back([&] { secondRan.release(); });
        workers.postAll(jobs);
        QVERIFY(firstSawIt.tryAcquire(1, 10000));
    }

    void postgresCommitInATurnIsMadeDurableByTheFlush()
    {
        if (!TestDatabase::onPostgres())
            QSKIP("SQLite commits a turn's handlers as one group");
        const QString syncSetting = QStringLiteral("SELECT current_setting('synchronous_commit')");
        QString inTurn;
        std::atomic<bool> durable{false};
        {
            Store::Turn turn(*store);
            QVERIFY(store->transaction([&] {
                inTurn = value(syncSetting).toString();
                return run("INSERT INTO departments (name) VALUES ('Paint')");
            }));
            QVERIFY(turn.handlerWrote() && turn.groupWriting());
            QVERIFY(turn.commitGroup());
            store->whenDurable([&durable](bool flushed) { durable = flushed; });
        }
        QCOMPARE(inTurn, QStringLiteral("off"));
        QTRY_VERIFY(durable);

        QString outsideTurns;
        QVERIFY(store->transaction([&] {
            outsideTurns = value(syncSetting).toString();
            return true;
        }));
        QCOMPARE(outsideTurns, QStringLiteral("on"));
    }

private:
    bool reopen()
    {
        store.reset();
        QString error;
        store = database->open(&error);
        return store && error.isEmpty();
    }
    QVariant value(const QString &sql)
    {
        QSqlQuery query = store->prepare(sql);
        return query.exec() && query.next() ? query.value(0) : QVariant();
    }
    bool run(const QString &sql) { return store->prepare(sql).exec(); }
    QStringList rows(const QString &sql) { return storedRows(*store, sql); }

    std::unique_ptr<TestDatabase> database;
    std::unique_ptr<Store> store;
};

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
