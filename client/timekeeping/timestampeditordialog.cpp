#include "timestampeditordialog.h"
#include "ui_timestampeditordialog.h"

#include "clocktext.h"
#include "core/appstate.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/clocktimes.h"
#include "wire/commands.h"
#include "wire/frame.h"
#include "wire/replytags.h"

namespace {

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

void selectText(QComboBox *box, const QString &text)
{
    box->setCurrentIndex(box->findText(text));
}

} // namespace

TimeStampEditorDialog::TimeStampEditorDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::TimeStampEditorDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    startBoxes = {ui->comboBox_Month, ui->comboBox_Day, ui->comboBox_Year, ui->comboBox_Hour, ui->comboBox_Minute};
    endBoxes = {ui->comboBox_EndMonth, ui->comboBox_EndDay, ui->comboBox_EndYear, ui->comboBox_EndHour,
                ui->comboBox_EndMinute};

    const AppState &state = AppState::instance();
    const QDateTime now = ClockText::now();
    QDateTime start = now;
    QDateTime end = now;
    if (editing()) {
        start = ClockText::localTime(state.timeStampEdit(3).toUInt());
        // An open period is closed by its correction: its end starts at now.
        if (state.timeStampEdit(4).toUInt() != ClockTime::None)
            end = ClockText::localTime(state.timeStampEdit(4).toUInt());
    } else {
        start.setTime({0, 0});
        end.setTime({0, 0});
    }
    // The browser knows the first year of the user it lists; a period of
    // another user may lie before it, and its own years are offered too.
    int firstYear = state.timeStampUser(2).toInt();
    if (firstYear <= 0)
        firstYear = now.date().year();
    fillLists(qMin(firstYear, qMin(start.date().year(), end.date().year())));
    showTime(startBoxes, start);
    showTime(endBoxes, end);

    handleReplies();
    link->open();
}

TimeStampEditorDialog::~TimeStampEditorDialog()
{
    delete ui;
}

void TimeStampEditorDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::AddTimeStamp,
            [this]() {
                UserMessages::show(this, QStringLiteral("Time Saved"));
                finish();
            })
        .otherwise([this](const QString &tag) { UserMessages::show(this, QStringLiteral("Error: ") + tag); });
}

void TimeStampEditorDialog::fillLists(int firstYear)
{
    for (const TimeBoxes &boxes : {startBoxes, endBoxes}) {
        for (int month = 1; month <= 12; ++month)
            boxes.month->addItem(twoDigits(month));
        for (int year = firstYear; year <= ClockText::now().date().year(); ++year)
            boxes.year->addItem(QString::number(year));
        for (int hour = 0; hour < 24; ++hour)
            boxes.hour->addItem(twoDigits(hour));
        for (int minute = 0; minute < 60; ++minute)
            boxes.minute->addItem(twoDigits(minute));
    }
}

// The day list is filled for the shown month and year before the day is
// chosen, whichever month was current before.
void TimeStampEditorDialog::showTime(const TimeBoxes &boxes, const QDateTime &moment)
{
    selectText(boxes.year, QString::number(moment.date().year()));
    selectText(boxes.month, twoDigits(moment.date().month()));
    ClockText::fillDays(boxes.day, boxes.year->currentText(), boxes.month->currentText());
    selectText(boxes.day, QString::number(moment.date().day()));
    selectText(boxes.hour, twoDigits(moment.time().hour()));
    selectText(boxes.minute, twoDigits(moment.time().minute()));
}

std::optional<quint32> TimeStampEditorDialog::chosenTime(const TimeBoxes &boxes) const
{
    const QDate date = ClockText::chosenDate(boxes.year, boxes.month, boxes.day);
    return ClockText::unixTime(date, QTime(boxes.hour->currentText().toInt(), boxes.minute->currentText().toInt()));
}

bool TimeStampEditorDialog::editing() const
{
    return !AppState::instance().timeStampEdit(1).isEmpty();
}

void TimeStampEditorDialog::on_comboBox_Month_currentIndexChanged(int)
{
    ClockText::fillDays(ui->comboBox_Day, ui->comboBox_Year->currentText(), ui->comboBox_Month->currentText());
}

void TimeStampEditorDialog::on_comboBox_EndMonth_currentIndexChanged(int)
{
    ClockText::fillDays(ui->comboBox_EndDay, ui->comboBox_EndYear->currentText(), ui->comboBox_EndMonth->currentText());
}

void TimeStampEditorDialog::on_pushButton_Submit_clicked()
{
    const auto start = chosenTime(startBoxes);
    const auto end = chosenTime(endBoxes);
    if (!start || !end) {
        UserMessages::show(this, QStringLiteral("Please select a valid date"));
        return;
    }
    const AppState &state = AppState::instance();
    const QString user = state.timeStampUser(1);
    if (editing())
        link->send(wire::frame(Command::EditTimeStamp, user, QString::number(*start), QString::number(*end),
                               state.timeStampEdit(3), state.timeStampEdit(4)));
    else
        link->send(wire::frame(Command::AddTimeStamp, user, QString::number(*start), QString::number(*end)));
}

void TimeStampEditorDialog::on_pushButton_Cancel_clicked()
{
    finish();
}

// Nothing of this period is left for another run of the editor.
void TimeStampEditorDialog::finish()
{
    AppState &state = AppState::instance();
    state.setTimeStampUser(QString(), 0);
    state.setTimeStampEdit(QString(), QString(), 0, 0);
    link->close();
    close();
}
