#include "timestampbrowserdialog.h"
#include "ui_timestampbrowserdialog.h"

#include "clocktext.h"
#include "core/appstate.h"
#include "core/navigation.h"
#include "core/serverlink.h"
#include "core/tablecolumns.h"
#include "core/texttablemodel.h"
#include "core/usermessages.h"
#include "wire/clocktimes.h"
#include "wire/commands.h"
#include "wire/fieldreader.h"
#include "wire/frame.h"
#include "wire/replytags.h"

namespace {

// The browser offers no year before the shop kept its records here.
constexpr int FirstOfferedYear = 2016;
constexpr qint64 FourteenDays = 14 * 24 * 60 * 60;

QString endText(quint32 end)
{
    return end == ClockTime::None ? QStringLiteral("Open") : ClockText::timeText(end);
}

} // namespace

TimeStampBrowserDialog::TimeStampBrowserDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::TimeStampBrowserDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    showMaximized();
    ui->comboBox_NewToOld->addItems({TimeStampOrder::newToOld(), TimeStampOrder::oldToNew()});
    for (int month = 1; month <= 12; ++month) {
        ui->comboBox_Month->addItem(QString::number(month));
        ui->comboBox_EndMonth->addItem(QString::number(month));
    }
    preselectDates();
    handleReplies();
    link->whenConnected([this]() { link->send(wire::frame(Command::GetListOfTimeStampUsers)); });
    link->open();
}

TimeStampBrowserDialog::~TimeStampBrowserDialog()
{
    delete ui;
}

void TimeStampBrowserDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::GetListOfTimeStampUsers, [this](const QStringList &users) { showUsers(users); })
        .on(ReplyTag::GetTimeStampUserLast, [this](const QString &unixTime) { showFirstYear(unixTime); })
        .on(ReplyTag::GetUserTimeStamps, [this](const QStringList &starts, const QStringList &ends,
                                                const QStringList &hours) { showUserPeriods(starts, ends, hours); })
        .on(ReplyTag::GetAllUserTimeStamps, [this](wire::FieldReader &reply) { return showAllUsersPeriods(reply); })
        .on(ReplyTag::RemoveTimeStamp,
            [this]() {
                UserMessages::show(this, QStringLiteral("Date Removed"));
                search();
            })
        .otherwise([this](const QString &tag) { UserMessages::show(this, QStringLiteral("Error: ") + tag); });
}

// The last fourteen days, today included.
void TimeStampBrowserDialog::preselectDates()
{
    const QDateTime now = ClockText::now();
    const QDate today = now.date();
    const QDate start = now.addSecs(-FourteenDays).date();
    ui->comboBox_EndYear->clear();
    for (int year = FirstOfferedYear; year <= today.year(); ++year) {
        ui->comboBox_Year->addItem(QString::number(year));
        ui->comboBox_EndYear->addItem(QString::number(year));
    }
    selectDate(ui->comboBox_Year, ui->comboBox_Month, ui->comboBox_Day, start);
    selectDate(ui->comboBox_EndYear, ui->comboBox_EndMonth, ui->comboBox_EndDay, today);
}

// The day list is filled for the chosen month even when the month was
// current already, so the day is found in every month.
void TimeStampBrowserDialog::selectDate(QComboBox *year, QComboBox *month, QComboBox *day, const QDate &date)
{
    year->setCurrentIndex(year->findText(QString::number(date.year())));
    month->setCurrentIndex(month->findText(QString::number(date.month())));
    ClockText::fillDays(day, year->currentText(), month->currentText());
    day->setCurrentIndex(day->findText(QString::number(date.day())));
}

void TimeStampBrowserDialog::showUsers(const QStringList &users)
{
    ui->comboBox_UserList->addItems(users);
    ui->comboBox_UserList->setSizeAdjustPolicy(QComboBox::AdjustToContents);
}

void TimeStampBrowserDialog::showFirstYear(const QString &unixTime)
{
    const QString chosenYear = ui->comboBox_Year->currentText();
    firstYear = ClockText::localTime(unixTime.toUInt()).date().year();
    ui->comboBox_Year->clear();
    for (int year = firstYear; year <= ClockText::now().date().year(); ++year)
        ui->comboBox_Year->addItem(QString::number(year));
    ui->comboBox_Year->setCurrentIndex(ui->comboBox_Year->findText(chosenYear));
    AppState::instance().setTimeStampUser(ui->comboBox_UserList->currentText(), firstYear);
}

void TimeStampBrowserDialog::showUserPeriods(const QStringList &starts, const QStringList &ends,
                                             const QStringList &hours)
{
    QVector<Period> periods;
    for (int j = 0; j < starts.size(); ++j)
        periods.append({searchedUser, starts.at(j).toUInt(), ends.value(j).toUInt(), hours.value(j)});
    showPeriods(periods, false);
}

bool TimeStampBrowserDialog::showAllUsersPeriods(wire::FieldReader &reply)
{
    const QString count = reply.string();
    const auto users = wire::readGroups<QString, QStringList, QStringList, QStringList>(reply, count.toInt());
    if (!users)
        return false;

    QVector<Period> periods;
    for (const auto &[user, starts, ends, hours] : *users) {
        for (int j = 0; j < starts.size(); ++j)
            periods.append({user, starts.at(j).toUInt(), ends.value(j).toUInt(), hours.value(j)});
    }
    showPeriods(periods, true);
    return true;
}

// An open period shows as open and adds nothing to the total. The total is
// summed in hundredths of an hour, the precision the server sends.
void TimeStampBrowserDialog::showPeriods(const QVector<Period> &periods, bool allUsers)
{
    QStringList headers{QStringLiteral("Start Time"), QStringLiteral("End Time"), QStringLiteral("Total Time")};
    if (allUsers)
        headers = QStringList{QStringLiteral("User"), QStringLiteral("Start Date"), QStringLiteral("End Date"),
                              QStringLiteral("Total Time")};
    QVector<QStringList> columns(headers.size());
    for (QStringList &column : columns)
        column.reserve(periods.size());
    // With all users, the user's column comes first.
    const int first = allUsers ? 1 : 0;
    qint64 hundredths = 0;
    for (const Period &period : periods) {
        const double hours = period.hours.toDouble();
        if (period.end != ClockTime::None)
            hundredths += qRound64(hours * 100);
        if (allUsers)
            columns[0].append(period.user);
        columns[first].append(ClockText::timeText(period.start));
        columns[first + 1].append(endText(period.end));
        columns[first + 2].append(ClockText::hoursText(hours));
    }
    auto *periodModel = new TextTableModel(headers, this);
    periodModel->setColumns(columns);
    shownPeriods = periods;
    QItemSelectionModel *oldSelection = ui->tableView->selectionModel();
    ui->tableView->setModel(periodModel);
    delete oldSelection;
    delete model;
    model = periodModel;
    fitColumnsToContents(ui->tableView);
    ui->label_TotalTime->setText(QStringLiteral("Total Time: ") + ClockText::hoursText(hundredths / 100.0));
}

std::optional<TimeStampBrowserDialog::Period> TimeStampBrowserDialog::chosenPeriod()
{
    const QModelIndex current = ui->tableView->currentIndex();
    if (!model || !current.isValid()) {
        UserMessages::show(this, QStringLiteral("Please select a time before continuing"));
        return std::nullopt;
    }
    return shownPeriods.at(model->sourceRow(current.row()));
}

void TimeStampBrowserDialog::on_comboBox_UserList_currentIndexChanged(int)
{
    link->send(wire::frame(Command::GetTimeStampUserLast, ui->comboBox_UserList->currentText()));
}

void TimeStampBrowserDialog::on_comboBox_EndMonth_currentIndexChanged(int)
{
    ClockText::fillDays(ui->comboBox_EndDay, ui->comboBox_EndYear->currentText(), ui->comboBox_EndMonth->currentText());
}

void TimeStampBrowserDialog::on_comboBox_Month_currentIndexChanged(int)
{
    ClockText::fillDays(ui->comboBox_Day, ui->comboBox_Year->currentText(), ui->comboBox_Month->currentText());
}

void TimeStampBrowserDialog::on_pushButton_Search_clicked()
{
    search();
}

void TimeStampBrowserDialog::on_pushButton_Add_clicked()
{
    runEditor(ui->comboBox_UserList->currentText(), QString(), QString(), 0, 0);
}

void TimeStampBrowserDialog::on_pushButton_Edit_clicked()
{
    if (const auto period = chosenPeriod())
        runEditor(period->user, ClockText::timeText(period->start), endText(period->end), period->start, period->end);
}

void TimeStampBrowserDialog::on_pushButton_Remove_clicked()
{
    const auto period = chosenPeriod();
    if (!period)
        return;
    const QString hours = ClockText::hoursText(period->hours.toDouble());
    const QString question = QStringLiteral("Are you sure you would like to remove:\n") + period->user
                             + QLatin1Char(' ') + ClockText::timeText(period->start) + QLatin1Char(' ')
                             + endText(period->end) + QLatin1Char(' ') + hours + QLatin1Char('?');
    if (UserMessages::ask(this, question, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel)
        != QMessageBox::Yes)
        return;
    link->send(wire::frame(Command::RemoveTimeStamp, period->user, QString::number(period->start),
                           QString::number(period->end), hours));
}

void TimeStampBrowserDialog::on_pushButton_Back_clicked()
{
    link->close();
    close();
}

// The table always follows the box: a change of mode searches again.
void TimeStampBrowserDialog::on_checkBox_All_clicked()
{
    const bool allUsers = ui->checkBox_All->isChecked();
    ui->comboBox_UserList->setEnabled(!allUsers);
    ui->pushButton_Add->setEnabled(!allUsers);
    search();
}

// The editor reads its user and period from AppState and clears them when
// it ends, so they are handed over afresh for every run. The browser stays
// connected meanwhile.
void TimeStampBrowserDialog::runEditor(const QString &user, const QString &startText, const QString &endText,
                                       quint32 start, quint32 end)
{
    AppState &state = AppState::instance();
    state.setTimeStampUser(user, firstYear);
    state.setTimeStampEdit(startText, endText, start, end);
    Navigation::run(ScreenKind::TimeStampEditor);
    search();
}

void TimeStampBrowserDialog::search()
{
    const auto from = ClockText::unixTime(
        ClockText::chosenDate(ui->comboBox_Year, ui->comboBox_Month, ui->comboBox_Day), {0, 0, 0});
    const auto to = ClockText::unixTime(
        ClockText::chosenDate(ui->comboBox_EndYear, ui->comboBox_EndMonth, ui->comboBox_EndDay), {23, 59, 59});
    if (!from || !to) {
        UserMessages::show(this, QStringLiteral("Please select a valid date"));
        return;
    }
    const QString order = ui->comboBox_NewToOld->currentText();
    if (ui->checkBox_All->isChecked()) {
        link->send(wire::frame(Command::GetAllUserTimeStamps, QString::number(*from), QString::number(*to), order));
        return;
    }
    searchedUser = ui->comboBox_UserList->currentText();
    link->send(
        wire::frame(Command::GetUserTimeStamps, searchedUser, QString::number(*from), QString::number(*to), order));
}
