#pragma once

#include "app/screenfactory.h"
#include "core/appstate.h"
#include "serverprocess.h"
#include "testdatabase.h"
#include "widgetlookup.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <QWidget>
#include <QtTest>

// Small helpers the end-to-end flows share: finding a screen's widgets by
// object name, pressing its buttons, reading the server's database.

inline const QString ClockPrompt = QStringLiteral("You are currently not clocked in!\nWould you like to clock in now?");

inline void click(QWidget *screen, const char *button)
{
    child<QAbstractButton>(screen, button)->click();
}

// Waits until the main window's start-up replies have all arrived: the
// last one shows the user's clock state (and asks to clock in).
inline void waitForStartUp(QWidget *mainWindow)
{
    auto *userLabel = child<QLabel>(mainWindow, "label_UserName");
    QVERIFY(QTest::qWaitFor([userLabel]() { return userLabel->text().contains(QLatin1String(" : is clocked ")); }));
}

// Chooses a work type in the main window, once it has started up, and
// presses Next.
inline void startJob(QWidget *mainWindow, const QString &workType)
{
    waitForStartUp(mainWindow);
    auto *workTypes = child<QComboBox>(mainWindow, "comboBox");
    workTypes->setCurrentText(workType);
    click(mainWindow, "pushButton_Next");
}

// The first column of the first row of a query on the server's database.
inline QVariant queryValue(const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(QSqlDatabase::database());
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec() || !query.next())
        return {};
    return query.value(0);
}

// A value of the bin order of this bin ID ("o") on the server's database.
inline QVariant binOrderValue(const QString &expression, const QString &binId)
{
    return queryValue("SELECT " + expression + " FROM bin_orders o JOIN bins b ON b.id = o.bin_ref WHERE b.bin_id = ?",
                      {binId});
}

// Opens the server's database (its --db location) for reading, as the
// default connection.
inline bool openServerDatabase(const QString &location)
{
    return TestDatabase::openReader(location, QLatin1String(QSqlDatabase::defaultConnection));
}

// Starts the server program, points the real screens at it and opens its
// database for reading.
inline void startForScreens(ServerProcess &server)
{
    Navigation::setFactory(createScreen);
    QVERIFY2(server.start(), qPrintable(server.output()));
    AppState::instance().configureServer(QStringLiteral("127.0.0.1"), server.port());
    QVERIFY(openServerDatabase(server.databasePath()));
}

// Logs the user in at this terminal, as a login screen would have.
inline void logInAs(ServerProcess &server, const QString &user)
{
    QVERIFY(server.logIn(user));
    AppState::instance().setUser(user, QString());
    AppState::instance().setLoggedIn(true);
}
