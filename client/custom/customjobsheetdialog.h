#pragma once

#include "core/sheetclock.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

#include <tuple>

namespace Ui {
class CustomJobSheetDialog;
}
class QStandardItemModel;
class ServerLink;

// The working sheet of one custom job: the job's date, worker, job type and
// customer ID, the repair lines recorded so far and the time spent. A new
// or continued job is timed against the server with the live clock; a job
// opened for checking (checkingCustom) shows its booked total instead.
// Add and Edit open the repair entry; Finish submits or finishes the job;
// Cancel ends the timing, or leaves the check without a word to the server.
class CustomJobSheetDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CustomJobSheetDialog(QWidget *parent = nullptr);
    ~CustomJobSheetDialog() override;

private slots:
    void ClockUpdate(const QString &text);
    void on_pushButton_Add_clicked();
    void on_pushButton_Edit_clicked();
    void on_pushButton_Remove_clicked();
    void on_pushButton_Finish_clicked();
    void on_pushButton_Cancel_clicked();

private:
    void onConnected();
    using RepairLine = std::tuple<QString, QString, QString>;

    void handleReplies();
    void showRepairLines(const QVector<RepairLine> &lines);
    void linesLoaded();
    void timingStarted(const QString &stampId);
    void timingEnded();
    // The current row's description, materials and time; empty texts with no current row.
    RepairLine currentLine() const;
    // Closes the sheet as its own act: the clock stopped, the link closed quietly.
    void endSheet();

    // A request naming this job: the arguments before it, the job's order
    // id, job type and customer, then the arguments after it.
    void sendForJob(const QString &command, const QStringList &before = {}, const QStringList &after = {});
    void requestRepairLines();
    void requestStartTime();
    void requestTotalTime();
    void requestEndTime();

    Ui::CustomJobSheetDialog *ui;
    ServerLink *link;
    QStandardItemModel *repairModel;
    SheetClock liveClock;
};
