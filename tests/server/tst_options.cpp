#include "app/serveroptions.h"

#include <QtTest>

// The server's command line.
class OptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void everyOption();
    void invalid_data();
    void invalid();
    void helpNamesEveryOption();

private:
    static ParsedCommandLine parse(const QStringList &options)
    {
        return parseCommandLine(QStringList{QStringLiteral("repair-server")} + options);
    }
};

void OptionsTest::defaults()
{
    const ParsedCommandLine parsed = parse({});
    QCOMPARE(parsed.outcome, ParsedCommandLine::Outcome::Run);
    QCOMPARE(parsed.options.port, quint16(1234));
    QCOMPARE(parsed.options.listenAddress, QHostAddress(QHostAddress::Any));
    QCOMPARE(parsed.options.databasePath, defaultDatabasePath());
    QVERIFY(parsed.options.databasePath.endsWith(QLatin1String(".sqlite")));
    QVERIFY(!parsed.options.demo);
    QVERIFY(!parsed.options.addUser);
}

void OptionsTest::everyOption()
{
    const ParsedCommandLine served = parse({"--db", "/tmp/shop.sqlite", "--listen", "127.0.0.1", "--port", "4000", "--demo"});
    QCOMPARE(served.outcome, ParsedCommandLine::Outcome::Run);
    QCOMPARE(served.options.databasePath, QStringLiteral("/tmp/shop.sqlite"));
    QCOMPARE(served.options.listenAddress, QHostAddress(QHostAddress::LocalHost));
    QCOMPARE(served.options.port, quint16(4000));
    QVERIFY(served.options.demo);

    const ParsedCommandLine adding = parse({"--add-user", "Jo Ann", "--permission", "2", "--department", "Paint"});
    QCOMPARE(adding.outcome, ParsedCommandLine::Outcome::Run);
    QVERIFY(adding.options.addUser);
    QCOMPARE(adding.options.addUser->userName, QStringLiteral("Jo Ann"));
    QCOMPARE(adding.options.addUser->permissionLevel, 2);
    QCOMPARE(adding.options.addUser->department, QStringLiteral("Paint"));
}

void OptionsTest::invalid_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("port out of range") << QStringList{"--port", "65536"};
    QTest::newRow("port not a number") << QStringList{"--port", "http"};
    QTest::newRow("listen on a host name") << QStringList{"--listen", "shop.example"};
    QTest::newRow("add-user without permission") << QStringList{"--add-user", "jo"};
    QTest::newRow("permission 4") << QStringList{"--add-user", "jo", "--permission", "4"};
    QTest::newRow("permission without add-user") << QStringList{"--permission", "2"};
    QTest::newRow("department without add-user") << QStringList{"--department", "Paint"};
    QTest::newRow("stray argument") << QStringList{"shop.sqlite"};
    QTest::newRow("unknown option") << QStringList{"--verbose"};
}

void OptionsTest::invalid()
{
    QFETCH(QStringList, options);
    const ParsedCommandLine parsed = parse(options);
    QCOMPARE(parsed.outcome, ParsedCommandLine::Outcome::Invalid);
    QVERIFY(!parsed.text.isEmpty());
}

void OptionsTest::helpNamesEveryOption()
{
    const ParsedCommandLine parsed = parse({"--help"});
    QCOMPARE(parsed.outcome, ParsedCommandLine::Outcome::ShowHelp);
    for (const char *option : {"--db", "--listen", "--port", "--demo", "--add-user", "--permission", "--department"})
        QVERIFY2(parsed.text.contains(QLatin1String(option)), option);
}

QTEST_GUILESS_MAIN(OptionsTest)
#include "tst_options.moc"
