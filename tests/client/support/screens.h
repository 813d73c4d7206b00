#pragma once

#include "app/screenfactory.h"
#include "core/appstate.h"
#include "core/terminallook.h"
#include "fakeserver.h"
#include "messagescript.h"
#include "screenwatcher.h"
#include "widgetlookup.h"
#include "wire/frame.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTcpSocket>
#include <QTextEdit>
#include <QtTest>

// Looking at and driving a screen under test the way a user would: by the
// names its form gives the widgets.

inline QString labelText(QWidget &screen, const QString &label)
{
    return child<QLabel>(&screen, label)->text();
}

inline QStringList itemTexts(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

// Whether every column shows its header and its cells whole, in the fonts
// the table really uses, and the columns together fill the table's width
// (or scroll, when the headers alone are wider than the table).
inline bool columnsShowWholeTexts(const QTableView *table)
{
    const QAbstractItemModel *model = table->model();
    const QHeaderView *header = table->horizontalHeader();
    int total = 0;
    for (int column = 0; column < model->columnCount(); ++column) {
        int needed = header->fontMetrics().horizontalAdvance(model->headerData(column, Qt::Horizontal).toString());
        for (int row = 0; row < model->rowCount(); ++row)
            needed = qMax(needed, table->fontMetrics().horizontalAdvance(model->index(row, column).data().toString()));
        if (table->columnWidth(column) < needed)
            return false;
        total += table->columnWidth(column);
    }
    return total >= table->viewport()->width();
}

inline void selectRow(QTableView *table, int row)
{
    table->setCurrentIndex(table->model()->index(row, 0));
}

// A table's rows as shown, each row's cells joined by "|".
inline QStringList tableRows(const QTableView *table)
{
    QStringList rows;
    const QAbstractItemModel *model = table->model();
    for (int row = 0; model && row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(row, column).data().toString();
        rows << cells.join('|');
    }
    return rows;
}

// Waits until the screen's own link is up and its connected() slot has run.
inline void waitForLink(QWidget &screen)
{
    QTRY_COMPARE(screen.findChild<QTcpSocket *>()->state(), QAbstractSocket::ConnectedState);
}

// One group of AppState as its getter hands it out, fields 1 to count.
inline QStringList stateFields(QString (AppState::*getter)(int) const, int count)
{
    QStringList fields;
    for (int index = 1; index <= count; ++index)
        fields << (AppState::instance().*getter)(index);
    return fields;
}

// A reply whose fields are all single strings.
inline QByteArray textFrame(const QString &tag, const QStringList &fields)
{
    wire::FrameWriter writer(tag);
    for (const QString &field : fields)
        writer << field;
    return writer.frame();
}

// Where every test starts: screens open the program's own screens in the
// program's own look; anna logged in on her own front-end bin KD1234 (size
// 4, code list FER, repair 17) at its start, no review, no timing, nothing
// continued, and custom job 31 "Tank_repair" for Acme at hand.
inline void resetClient()
{
    Navigation::setFactory(createScreen);
    TerminalLook::apply();
    AppState &state = AppState::instance();
    state.setUser("anna", "digest");
    state.setLoggedIn(true);
    state.setWorkType("Front End Repair");
    state.setOrderStatus(1);
    state.setOrderOwner(QString());
    state.setCurrentBin("KD1234", "4", "FER", 17);
    state.setCheckOrder(false, QString(), QString(), 0, QString(), QString());
    state.setConfirmOrder(QString(), QString(), 0, QString());
    state.setConfirmBinSize(QString());
    state.setConfirmingOrders(false);
    state.setContinueBin(false, QString());
    state.setContinueCustom(false);
    state.setTimeStampId(0);
    state.setTimerRunning(false);
    state.setLiveClockRunning(false);
    state.setEditRepairLine(QString(), QString(), QString());
    state.setCustomOrder("3/7/2016", "Al", "Tank_repair", "Acme", "C-9", "Ann", "555", "ann@acme.example");
    state.setCustomOrderId(31);
    state.setCheckingCustom(false);
    state.setEditCustomLine(QString(), QString(), QString());
}

// A screen under test, with the person in front of it, its server, and a
// watcher for the screens it opens; the screen comes last, when all is ready.
template<typename Screen>
struct ScreenTest
{
    MessageScript messages;
    FakeServer server;
    ScreenWatcher watcher;
    Screen screen;
};

// Runs the screens' test classes one after another in one program, each as
// QTEST_MAIN runs one; fails when any of them does.
template<typename... Tests>
int runScreenTests(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    int failed = 0;
    const auto run = [&](QObject &&test) { failed += QTest::qExec(&test, argc, argv); };
    (run(Tests()), ...);
    return failed;
}

#define SCREEN_TESTS_MAIN(...) \
    int main(int argc, char *argv[]) \
    { \
        return runScreenTests<__VA_ARGS__>(argc, argv); \
    }
