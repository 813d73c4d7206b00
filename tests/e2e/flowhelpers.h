#pragma once

#include "app/screenfactory.h"
#include "core/appstate.h"
#include "screenwatcher.h"
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

// Small helpers the end-to-end flows share: pressing a screen's buttons,
// reading the server's database.

inline const QString ClockPrompt = QStringLiteral("You are currently not clocked in!\nWould you like to clock in now?");

// Presses the buttons, in order, on every screen of this class once it is ready.
inline void planClicks(ScreenWatcher &watcher, const QString &screen, const QStringList &buttons,
                       ScreenWatcher::Condition ready = {})
{
    watcher.onScreen(
        screen,
        [buttons](QWidget *shown) {
            for (const QString &button : buttons)
                press(shown, button);
        },
        std::move(ready));
}

// Whether the management panel shows the counts of what waits for it.
inline bool panelStartedUp(QWidget *panel)
{
    return child<QLabel>(panel, "label_OrdersToCheck")->text() != QLatin1String("Bins #")
           && child<QLabel>(panel, "label_CustomOrders")->text() != QLatin1String("Custom #");
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
    press(mainWindow, "pushButton_Next");
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

// Starts the server program, points the real screens at it and opens its
// database for reading, as the default connection.
inline void startForScreens(ServerProcess &server)
{
    Navigation::setFactory(createScreen);
    QVERIFY2(server.start(), qPrintable(server.output()));
    AppState::instance().configureServer(QStringLiteral("127.0.0.1"), server.port());
    QVERIFY(TestDatabase::openReader(server.databasePath(), QLatin1String(QSqlDatabase::defaultConnection)));
}

// Logs the user in at this terminal, as a login screen would have.
inline void logInAs(ServerProcess &server, const QString &user)
{
    QVERIFY(server.logIn(user));
    AppState::instance().setUser(user, QString());
    AppState::instance().setLoggedIn(true);
}
