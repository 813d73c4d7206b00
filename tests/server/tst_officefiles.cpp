#include "serverprocess.h"
#include "servertestclient.h"

#include "storage/store.h"

#include <passworddigest.h>

#include <QDateTime>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The records of a CSV file as written, without the byte-order mark: lines
// end in CR LF, so a line break inside a quoted cell stays in its record.
QStringList csvRecords(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

qint64 at(const QString &dateTime)
{
    return QDateTime::fromString(dateTime, QStringLiteral("yyyy-MM-dd hh:mm")).toSecsSinceEpoch();
}

} // namespace

// The files the server writes for the office and for safekeeping: backups
// and their restore, payroll hours and finished orders as CSV.
class OfficeFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void backupDuringWritesKeepsEveryAcknowledgedWrite();
    void hoursExport();
    void ordersExport();

private:
    QString file(const QString &name) const { return folder.filePath(name); }
    // A database with the schema and the rows the export tests read.
    static bool makeShop(const TestDatabase &shop);

    QTemporaryDir folder;
};

void OfficeFilesTest::backupDuringWritesKeepsEveryAcknowledgedWrite()
{
    if (TestDatabase::onPostgres())
        QSKIP("PostgreSQL databases are backed up with pg_dump");
    ServerProcess server;
    QVERIFY2(server.start(), qPrintable(server.output()));
    ServerTestClient client;
    QVERIFY(client.connectTo(QHostAddress::LocalHost, server.port()));
    QCOMPARE(client.ask("Login", {"manager", wire::passwordDigest("demo-manager")}), QStringList{"Success"});

    const auto clockedPeriod = [&client] {
        return client.ask("ClockIn", {"manager"}) == QStringList{"ClockIn"}
               && client.ask("ClockOut", {"manager"}) == QStringList{"ClockOut"};
    };
    for (int period = 0; period < 20; ++period)
        QVERIFY(clockedPeriod());
    const QString backup = file("during-writes.sqlite");
    QProcess backingUp;
    backingUp.start(ServerProcess::program(), {"--db", server.databasePath(), "--backup", backup});
    int acknowledged = 20;
    while (backingUp.state() != QProcess::NotRunning || acknowledged < 40) {
        QVERIFY(clockedPeriod());
        ++acknowledged;
        backingUp.waitForFinished(0);
    }
    QCOMPARE(backingUp.exitCode(), 0);

    QString output;
    QCOMPARE(ServerProcess::runOnce({"--db", server.databasePath(), "--restore", backup}, &output), 1);
    QVERIFY2(output.contains("held by a running server"), qPrintable(output));

    const QString restored = file("restored.sqlite");
    QCOMPARE(ServerProcess::runOnce({"--db", restored, "--restore", backup}, &output), 0);
    QString error;
    const auto store = Store::openSqlite(restored, &error);
    QVERIFY2(store, qPrintable(error));
    QSqlQuery periods = store->prepare("SELECT COUNT(*) FROM clock_records WHERE end_time IS NOT NULL");
    QVERIFY(periods.exec() && periods.next());
    QVERIFY2(periods.value(0).toInt() >= 20, "a period acknowledged before the backup began is missing");
    QVERIFY(periods.value(0).toInt() <= acknowledged);

    QCOMPARE(ServerProcess::runOnce({"--db", server.databasePath(), "--backup", backup}, &output), 1);
    QVERIFY2(output.contains("exists already"), qPrintable(output));
}

bool OfficeFilesTest::makeShop(const TestDatabase &shop)
{
    QString error;
    const auto store = shop.open(&error);
    if (!store)
        return false;
    const QStringList statements = {
        "INSERT INTO departments (id, name) VALUES (1, 'Welding'), (2, 'Paint')",
        "INSERT INTO users (id, user_name, first_name, last_name, department_id, permission_level, password_hash,"
        " created_at) VALUES (1, 'anna', '=HYPERLINK(\"x\")', 'Smith, Jr.', 1, 1, 'h', 0),"
        " (2, 'bob', 'Bob', 'Lee', 2, 1, 'h', 0)",
        QStringLiteral("INSERT INTO clock_records (user_id, start_time, end_time) VALUES"
                       " (1, %1, %2), (1, %3, %4), (1, %5, NULL), (2, %1, %4), (2, %6, %7)")
            .arg(at("2026-03-02 07:00"))
            .arg(at("2026-03-02 11:00"))
            .arg(at("2026-03-02 11:30"))
            .arg(at("2026-03-02 15:30"))
            .arg(at("2026-03-03 07:00"))
            .arg(at("2026-03-05 07:00"))
            .arg(at("2026-03-05 08:00")),
        "INSERT INTO bins (id, bin_id, work_type, created_at) VALUES (1, 'KD1234', 'Front End Repair', 0)",
        QStringLiteral("INSERT INTO bin_orders (id, bin_ref, repair_id, owner_id, work_type, status, created_at,"
                       " finished_at, removed_at) VALUES (1, 1, 1, 1, 'Front End Repair', 4, 0, %1, NULL),"
                       " (2, 1, 2, 1, 'Front End Repair', 6, 0, %1, %1), (3, 1, 3, 2, 'Front End Repair', 2, 0,"
                       " NULL, NULL)")
            .arg(at("2026-03-02 12:00")),
        "INSERT INTO bin_repair_lines (order_id, repair_code, materials, time_text, minutes, user_id, created_at)"
        " VALUES (1, 'FEC101', 'Steel, 2 plates', '1:30', 90, 1, 0), (1, 'FEC102', '', '0:15', 15, 1, 0)",
        QStringLiteral("INSERT INTO order_time_stamps (bin_order_id, user_id, start_time, end_time) VALUES"
                       " (1, 1, %1, %2), (1, 1, %3, %4)")
            .arg(at("2026-03-02 07:15"))
            .arg(at("2026-03-02 10:15"))
            .arg(at("2026-03-02 12:00"))
            .arg(at("2026-03-02 12:30")),
        QStringLiteral("INSERT INTO custom_orders (id, owner_id, order_date, worker, job_type, customer, status,"
                       " created_at, finished_at) VALUES (31, 2, '3/2/2026', 'bob', 'Tank', '+Acme', 5, 0, %1)")
            .arg(at("2026-03-02 16:00")),
        "INSERT INTO custom_repair_lines (order_id, description, materials, hours, minutes, user_id, created_at)"
        " VALUES (31, 'New \"door\"\nhinges', 'Hinges', 1, 0, 2, 0)",
    };
    for (const QString &sql : statements) {
        QSqlQuery query = store->prepare(sql);
        if (!query.exec()) {
            qWarning() << sql;
            return false;
        }
    }
    return true;
}

void OfficeFilesTest::hoursExport()
{
    const TestDatabase database;
    QVERIFY(makeShop(database));
    const QString shop = database.location();
    const QString csv = file("hours.csv");
    QCOMPARE(ServerProcess::runOnce({"--db", shop, "--export-hours", "2026-03-02", "2026-03-03", "--output", csv}), 0);
    // A typed name that a spreadsheet would run as a formula is kept as text;
    // the period still open is flagged and counts nothing.
    const QString anna = QStringLiteral("anna,\"'=HYPERLINK(\"\"x\"\")\",\"Smith, Jr.\",Welding,");
    QCOMPARE(csvRecords(csv), (QStringList{"User,First Name,Last Name,Department,Date,Start,End,Hours,Open,Day Clocked "
                                           "Hours,Day Booked Hours,Day Unbooked Hours",
                                           anna + "2026-03-02,07:00:00,11:00:00,4.00,,8.00,3.50,4.50",
                                           anna + "2026-03-02,11:30:00,15:30:00,4.00,,8.00,3.50,4.50",
                                           anna + "2026-03-03,07:00:00,,,open,0.00,0.00,0.00",
                                           "bob,Bob,Lee,Paint,2026-03-02,07:00:00,15:30:00,8.50,,8.50,0.00,8.50"}));

    QCOMPARE(ServerProcess::runOnce({"--db", shop, "--export-hours", "2026-03-01", "2026-03-31", "--department",
                                     "Paint", "--output", csv}),
             0);
    const QStringList paint = csvRecords(csv);
    QCOMPARE(paint.size(), 3);
    QVERIFY(paint.at(1).startsWith("bob,") && paint.at(2).startsWith("bob,"));
}

void OfficeFilesTest::ordersExport()
{
    const TestDatabase database;
    QVERIFY(makeShop(database));
    const QString shop = database.location();
    const QString csv = file("orders.csv");
    QCOMPARE(ServerProcess::runOnce({"--db", shop, "--export-orders", "2026-03-01", "2026-03-31", "--output", csv}), 0);
    // The removed order and the one still open are not finished work.
    QCOMPARE(csvRecords(csv), (QStringList{"Finished,Work Type,Bin ID,Repair ID,Custom Order,Customer,Worker,Status,"
                                           "Lines,Repairs,Materials,Hours",
                                           "2026-03-02,Front End Repair,KD1234,1,,,anna,4,2,FEC101; FEC102,\"Steel, 2 "
                                           "plates\",3.50",
                                           "2026-03-02,Custom,,,31,'+Acme,bob,5,1,\"New \"\"door\"\"\nhinges\","
                                           "Hinges,0.00"}));

    QString output;
    QCOMPARE(ServerProcess::runOnce({"--db", shop, "--export-orders", "2026-03-31", "2026-03-01"}, &output), 2);
    QCOMPARE(ServerProcess::runOnce({"--db", file("none.sqlite"), "--export-orders", "2026-03-01", "2026-03-31"}), 1);
}

QTEST_GUILESS_MAIN(OfficeFilesTest)
#include "tst_officefiles.moc"
