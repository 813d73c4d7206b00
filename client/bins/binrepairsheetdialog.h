#pragma once

#include "core/sheetclock.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

#include <array>

namespace Ui {
class BinRepairSheetDialog;
}
class QStandardItemModel;
class ServerLink;

// The working sheet of one bin work order: the bin, the repair lines booked
// on it and the time spent on it. A worker times their own bin against the
// server; a checker (checkingOrder) or a manager (confirmingOrders) reviews
// another worker's order and sees its booked total instead. Add and Edit
// open the repair entry; Submit hands the order on to the final checks or
// finishes it; Back stops the timing or sends the order back.
class BinRepairSheetDialog : public QDialog
{
    Q_OBJECT

public:
    explicit BinRepairSheetDialog(QWidget *parent = nullptr);
    ~BinRepairSheetDialog() override;

private slots:
    void ClockUpdate(const QString &text);
    void on_pushButton_Add_clicked();
    void on_pushButton_Submit_clicked();
    void on_pushButton_Edit_clicked();
    void on_pushButton_Remove_clicked();
    void on_pushButton_Back_clicked();

private:
    void onConnected();
    using RepairRow = std::array<QString, 4>;

    // The order the sheet works on: its user, bin ID and repair id.
    struct Order
    {
        QString user;
        QString binId;
        QString repairId;
    };

    void handleReplies();
    void refreshSheet();
    void showRepairRows(const QString &size, const QVector<RepairRow> &rows);
    void timingStarted(const QString &stampId, const QString &hours);
    void timingEnded();
    void statusChanged();
    void submitOwnOrder();
    QString rowText(int row, int column) const;

    // Clears the checked or confirmed order once its review is over.
    void clearReviewGroup();
    // Closes the sheet as its own act: the clock stopped, the link closed quietly.
    void endSheet();

    void requestStartTime();
    void requestTotalTime();
    void requestBinInfo();
    void requestRepairInfo();
    void requestEndTime();
    void requestRemove(const QString &repairCode, const QString &materials);
    void requestStatusChange(const QString &user, const QString &status, const QString &binId, const QString &repairId);
    void requestSendBack();

    Ui::BinRepairSheetDialog *ui;
    ServerLink *link;
    QStandardItemModel *repairModel;
    QVector<RepairRow> repairRows;
    int repairRowCount = 0;
    SheetClock liveClock;
    // Set when the server has accepted a roll-off order's new status and
    // only the end of its timing is outstanding.
    bool finishing = false;
};
