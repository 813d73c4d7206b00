#pragma once

#include <QDialog>

namespace Ui {
class OrderReviewDialog;
}
namespace wire {
class FieldReader;
}
class ServerLink;

// Lists finished work orders by the worker who did them and opens the
// chosen one for review. Opened from the main window it checks bin orders
// (status "4"); opened from the management panel, with confirmingOrders
// set, it confirms bin orders (status "5") or, with Custom ticked, custom
// jobs. Bin orders open in the bin repair sheet, custom jobs in the custom
// repair sheet; the review closes when the sheet returns.
class OrderReviewDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OrderReviewDialog(QWidget *parent = nullptr);
    ~OrderReviewDialog() override;

private slots:
    void on_listWidget_Users_clicked();
    void on_pushButton_Continue_clicked();
    void on_checkBox_Custom_clicked();
    void on_pushButton_Cancel_clicked();
    void on_checkBox_ShowAll_clicked();

private:
    void handleReplies();
    void showUsers(const QStringList &names, const QStringList &flags);
    bool showAllWork(wire::FieldReader &reply);
    bool showAllCustomWork(wire::FieldReader &reply);
    void showWorkerOrders(const QStringList &lines);
    bool showWorkerCustomWork(wire::FieldReader &reply);
    void addOrder(const QString &line, const QString &worker);
    bool storedWorkIsEmpty() const;

    void openCheckOrder(const QString &worker, const QString &codeListKey, const QString &workType,
                        const QString &binId, const QString &repairId);
    void openConfirmOrder(const QString &worker, const QString &codeListKey, const QString &workType,
                          const QString &binId, const QString &repairId);
    void openCustomOrder(const QString &orderId, const QString &jobType, const QString &customer, const QString &date,
                         const QString &worker, const QString &customerId, const QString &contactName,
                         const QString &phone, const QString &email);

    QString statusCode() const;
    void requestListOfUserOrders();
    void requestAllWork();
    void requestAllCustomWork();
    void requestWorkerOrders(const QString &worker);
    void requestOrder(const QString &worker, const QString &orderLine);

    Ui::OrderReviewDialog *ui;
    ServerLink *link;
    // Confirming for a manager rather than checking: fixed when the review opens.
    bool confirming;
    // Entries of the last all-work reply of each kind. Every order row keeps
    // the worker it was listed under, so these only tell whether there is work.
    int allWorkEntries = 0;
    int allCustomWorkEntries = 0;
    // The worker whose orders were last asked for; a one-worker list is theirs.
    QString listedWorker;
};
