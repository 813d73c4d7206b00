#include "screens.h"

#include <QDialog>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QToolTip>
#include <QVBoxLayout>

#include "core/tablecolumns.h"

namespace {

// A maximized screen as the terminals show them: a large font and one table.
struct TableScreen
{
    explicit TableScreen(int width)
    {
        QFont font = screen.font();
        font.setPointSize(28);
        screen.setFont(font);
        (new QVBoxLayout(&screen))->addWidget(table);
        model->setHorizontalHeaderLabels({"Repair Code", "Materials", "Time", "UserName"});
        table->setModel(model);
        fitColumnsToContents(table);
        screen.resize(width, 600);
        screen.show();
    }

    QDialog screen;
    QTableView *table = new QTableView(&screen);
    QStandardItemModel *model = new QStandardItemModel(&screen);
};

} // namespace

class TerminalLookTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    void tablesShowWhatTheyHold_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("materials");
        QTest::addColumn<bool>("shownWhole");
        QTest::newRow("room to spare") << 1400 << "steel plate" << true;
        QTest::newRow("too narrow: wraps, the rest in a tooltip")
            << 1000 << "steel plate 3 mm, two hinges, welding wire and a tin of red primer" << false;
    }

    void tablesShowWhatTheyHold()
    {
        QFETCH(int, width);
        QFETCH(QString, materials);
        QFETCH(bool, shownWhole);
        TableScreen s(width);
        // Rows arrive after the screen is laid out, as replies do.
        for (const char *code : {"FEC101", "FEC2"})
            s.model->appendRow({new QStandardItem(code), new QStandardItem(materials), new QStandardItem("1:30"),
                                new QStandardItem("anna")});
        QTRY_COMPARE(columnsShowWholeTexts(s.table), shownWhole);
        const QHeaderView *header = s.table->horizontalHeader();
        QCOMPARE(header->length(), s.table->viewport()->width());
        const int oneLine = s.table->fontMetrics().height();
        const QRect cell = s.table->visualRect(s.model->index(0, 1));
        for (int column : {0, 2, 3})
            QVERIFY(s.table->columnWidth(column) < s.table->columnWidth(1));
        QCOMPARE(cell.height() > 2 * oneLine, !shownWhole);

        QHelpEvent hover(QEvent::ToolTip, cell.center(), s.table->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(s.table->viewport(), &hover);
        QCOMPARE(QToolTip::text(), shownWhole ? QString() : materials);
    }

    // A box reads at its screen's size: its font, half its width, all its text.
    void messageBoxesTakeTheirScreensSize()
    {
        UserMessages::setPresenter({});
        TableScreen s(1000);
        QFont seen;
        int boxWidth = 0;
        bool wholeText = false;
        QTimer::singleShot(0, [&]() {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen = box->font();
            boxWidth = box->width();
            const auto *label = box->findChild<QLabel *>("qt_msgbox_label");
            wholeText = label->height() >= label->heightForWidth(label->width());
            box->accept();
        });
        UserMessages::ask(&s.screen, "You are currently not clocked in!\nWould you like to clock in now?",
                          QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes);
        QCOMPARE(seen.pointSize(), 28);
        QVERIFY(boxWidth >= 500);
        QVERIFY(wholeText);
    }
};

QTEST_MAIN(TerminalLookTest)
#include "tst_terminallook.moc"
