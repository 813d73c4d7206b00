#include "app/serveroptions.h"

#include <QtTest>

// The server's command line.
class OptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void commandLines_data();
    void commandLines();
};

void OptionsTest::commandLines_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("defaults") << QStringList() << defaultDatabasePath() + " 0.0.0.0:1234";
    QTest::newRow("serving") << QStringList{"--db",  "/tmp/shop.sqlite", "--listen", "127.0.0.1", "--port", "4000",
                                            "--demo"}
                             << "/tmp/shop.sqlite 127.0.0.1:4000 demo";
    QTest::newRow("adding a user") << QStringList{"--add-user", "Jo Ann", "--permission", "2", "--department", "Paint"}
                                   << defaultDatabasePath() + " 0.0.0.0:1234 add Jo Ann/2/Paint";
    QTest::newRow("help") << QStringList{"--help"}
                          << "help: --db --listen --port --demo --add-user --permission --department --max-connections "
                             "--idle-timeout";
    QTest::newRow("short sessions") << QStringList{"--session-hours", "1"}
                                    << defaultDatabasePath() + " 0.0.0.0:1234 sessions of 1 h";
    QTest::newRow("sessions of no time") << QStringList{"--session-hours", "0"} << "invalid";
    QTest::newRow("certificate without key") << QStringList{"--tls-cert", "server.crt"} << "invalid";
    QTest::newRow("port out of range") << QStringList{"--port", "65536"} << "invalid";
    QTest::newRow("listen on a host name") << QStringList{"--listen", "shop.example"} << "invalid";
    QTest::newRow("add-user without permission") << QStringList{"--add-user", "jo"} << "invalid";
    QTest::newRow("permission 4") << QStringList{"--add-user", "jo", "--permission", "4"} << "invalid";
    QTest::newRow("permission without add-user") << QStringList{"--permission", "2"} << "invalid";
    QTest::newRow("department without add-user") << QStringList{"--department", "Paint"} << "invalid";
    QTest::newRow("limits") << QString("--max-connections 500 --max-connections-per-address 8 --request-timeout 10"
                                       " --idle-timeout 120 --reply-timeout 20")
                                   .split(' ')
                            << defaultDatabasePath() + " 0.0.0.0:1234 limits 500/8/10000/120000/20000";
    QTest::newRow("idle timeout of 0") << QStringList{"--idle-timeout", "0"} << "invalid";
    QTest::newRow("per-address cap not a number") << QStringList{"--max-connections-per-address", "many"} << "invalid";
    QTest::newRow("stray argument") << QStringList{"shop.sqlite"} << "invalid";
    QTest::newRow("unknown option") << QStringList{"--verbose"} << "invalid";
}

// The outcome as one text: the options to run with, "help:" and the
// options the help names, or "invalid" with a reason.
void OptionsTest::commandLines()
{
    QFETCH(QStringList, options);
    QFETCH(QString, outcome);
    const ParsedCommandLine parsed = parseCommandLine(QStringList{"repair-server"} + options);
    const ServerOptions &run = parsed.options;
    QString text = QStringLiteral("%1 %2:%3").arg(run.databasePath, run.listenAddress.toString()).arg(run.port);
    if (run.demo)
        text += QStringLiteral(" demo");
    if (run.sessionHours != 12)
        text += QStringLiteral(" sessions of %1 h").arg(run.sessionHours);
    if (run.addUser)
        text += QStringLiteral(" add %1/%2/%3")
                    .arg(run.addUser->userName)
                    .arg(run.addUser->permissionLevel)
                    .arg(run.addUser->department);
    if (run.maxConnections)
        text += QStringLiteral(" limits %1/%2/%3/%4/%5")
                    .arg(*run.maxConnections)
                    .arg(run.limits.connectionsPerAddress)
                    .arg(run.limits.frameTimeoutMs)
                    .arg(run.limits.idleTimeoutMs)
                    .arg(run.limits.replyTimeoutMs);
    if (parsed.outcome != ParsedCommandLine::Outcome::Run) {
        text = QStringLiteral("help:");
        for (const char *option : {"--db", "--listen", "--port", "--demo", "--add-user", "--permission", "--department",
                                   "--max-connections", "--idle-timeout"})
            text += parsed.text.contains(QLatin1String(option)) ? QStringLiteral(" ") + option : QString();
    }
    if (parsed.outcome == ParsedCommandLine::Outcome::Invalid)
        text = parsed.text.isEmpty() ? QStringLiteral("invalid without a reason") : QStringLiteral("invalid");
    QCOMPARE(text, outcome);
}

QTEST_GUILESS_MAIN(OptionsTest)
#include "tst_options.moc"
