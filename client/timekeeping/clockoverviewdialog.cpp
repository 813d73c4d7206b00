#include "clockoverviewdialog.h"
#include "ui_clockoverviewdialog.h"

#include "clocktext.h"
#include "core/handover.h"
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

enum Column { UserColumn, StartColumn, EndColumn, StatusColumn };

// A time of "0" stands for none: a user never clocked in, or a period
// still open.
QString shownTime(const QString &unixTime)
{
    const quint32 value = unixTime.toUInt();
    return value == ClockTime::None ? QString() : ClockText::timeText(value);
}

} // namespace

ClockOverviewDialog::ClockOverviewDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ClockOverviewDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    showMaximized();
    ui->comboBox_Status->addItems({ClockFilter::all(), ClockState::in(), ClockState::out()});
    ui->comboBox_Department->addItem(ClockFilter::all());
    handleReplies();
    link->whenConnected([this]() { link->send(wire::frame(Command::GetDepartments)); });
    link->open();
}

ClockOverviewDialog::~ClockOverviewDialog()
{
    delete ui;
}

void ClockOverviewDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::GetDepartments, [this](const QStringList &departments) { showDepartments(departments); })
        .on(ReplyTag::GetClockStat, [this](wire::FieldReader &reply) { return showClockStates(reply); })
        .on(ReplyTag::ClockIn, [this]() { requestClockStates(); })
        .on(ReplyTag::ClockOut, [this]() { requestClockStates(); })
        .otherwise([this](const QString &tag) { UserMessages::show(this, QStringLiteral("Error: ") + tag); });
}

void ClockOverviewDialog::showDepartments(const QStringList &departments)
{
    ui->comboBox_Department->addItems(departments);
    departmentsKnown = true;
    requestClockStates();
}

bool ClockOverviewDialog::showClockStates(wire::FieldReader &reply)
{
    const QString count = reply.string();
    const auto records = wire::readGroups<QString, QString, QString, QString>(reply, count.toInt());
    if (!records)
        return false;

    QVector<QStringList> rows;
    for (const auto &[user, start, end, status] : *records) {
        if (!user.isEmpty())
            rows.append({user, shownTime(start), shownTime(end), status});
    }
    auto *states = new TextTableModel({QStringLiteral("UserName"), QStringLiteral("Start Time"),
                                       QStringLiteral("End Time"), QStringLiteral("Status")},
                                      this);
    states->setRows(rows);
    QItemSelectionModel *oldSelection = ui->tableView->selectionModel();
    ui->tableView->setModel(states);
    delete oldSelection;
    delete model;
    model = states;
    fitColumnsToContents(ui->tableView);
    return true;
}

void ClockOverviewDialog::on_comboBox_Status_currentIndexChanged(int)
{
    requestClockStates();
}

void ClockOverviewDialog::on_comboBox_Department_currentIndexChanged(int)
{
    requestClockStates();
}

void ClockOverviewDialog::on_pushButton_Clock_clicked()
{
    const QModelIndex current = ui->tableView->currentIndex();
    if (!model || !current.isValid()) {
        UserMessages::show(this, QStringLiteral("Please select a user before continuing"));
        return;
    }
    const auto cell
        = [this, row = current.row()](Column column) { return model->index(row, column).data().toString(); };
    const QString user = cell(UserColumn);
    const bool clockedIn = cell(StatusColumn) == ClockState::in();
    const QString action = clockedIn ? ClockState::out() : ClockState::in();
    const QString question = QStringLiteral("Are you sure you would like to Clock ") + action + QLatin1Char(' ') + user
                             + QLatin1Char(' ') + cell(StartColumn) + QLatin1Char(' ') + cell(EndColumn)
                             + QLatin1Char('?');
    if (UserMessages::ask(this, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    link->send(wire::frame(clockedIn ? Command::ClockOut : Command::ClockIn, user));
}

void ClockOverviewDialog::on_pushButton_TimeStamp_clicked()
{
    handOver(this, link, ScreenKind::TimeStampBrowser);
}

void ClockOverviewDialog::on_pushButton_Back_clicked()
{
    link->close();
    close();
}

void ClockOverviewDialog::requestClockStates()
{
    if (!departmentsKnown)
        return;
    link->send(
        wire::frame(Command::GetClockStat, ui->comboBox_Status->currentText(), ui->comboBox_Department->currentText()));
}
