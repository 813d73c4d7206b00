#pragma once

#include <QDialog>

namespace Ui {
class ClockOverviewDialog;
}
namespace wire {
class FieldReader;
}
class ServerLink;
class TextTableModel;

// Who is clocked in or out, filtered by status and department: one row per
// active user with the start and end of their latest period. A manager
// clocks the chosen user in or out from here, or moves on to the time
// stamp browser.
class ClockOverviewDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ClockOverviewDialog(QWidget *parent = nullptr);
    ~ClockOverviewDialog() override;

private slots:
    void on_comboBox_Status_currentIndexChanged(int);
    void on_comboBox_Department_currentIndexChanged(int);
    void on_pushButton_Clock_clicked();
    void on_pushButton_TimeStamp_clicked();
    void on_pushButton_Back_clicked();

private:
    void handleReplies();
    void showDepartments(const QStringList &departments);
    bool showClockStates(wire::FieldReader &reply);
    void requestClockStates();

    Ui::ClockOverviewDialog *ui;
    ServerLink *link;
    TextTableModel *model = nullptr;
    // The filters ask the server only once the department list is in.
    bool departmentsKnown = false;
};
