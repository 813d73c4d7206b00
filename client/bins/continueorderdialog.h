#pragma once

#include <QDialog>

namespace Ui {
class ContinueOrderDialog;
}
namespace wire {
class FieldReader;
}
class QListWidgetItem;
class ServerLink;

// Lets a worker resume an open work order: lists the open orders the
// server reports and opens the chosen one at the screen where it stands.
// Opened for a bin already in progress, that bin's order is preselected.
// Opened for custom orders (continueCustom), it lists the open custom jobs
// and opens the chosen one in the custom repair sheet.
class ContinueOrderDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ContinueOrderDialog(QWidget *parent = nullptr);
    ~ContinueOrderDialog() override;

private slots:
    void on_pushButton_Continue_clicked();
    void on_pushButton_Cancel_clicked();

private:
    void onConnected();
    void handleReplies();
    bool showWorkOrders(wire::FieldReader &reply);
    void continueBinOrder(const QListWidgetItem &item);
    void openBinOrder(const QString &binId, const QString &workType, const QString &repairId, const QString &status,
                      const QString &codeListKey);
    bool showCustomWorkOrders(wire::FieldReader &reply);
    void continueCustomJob(const QListWidgetItem &item);

    void requestWorkOrders();
    void requestBin(const QString &owner, const QString &order);
    void requestCustomWorkOrders();
    void requestCustomOrder(int orderNumber, const QString &secondField, const QString &thirdField);

    Ui::ContinueOrderDialog *ui;
    ServerLink *link;
    // Chosen when the link is up: custom jobs rather than bin orders.
    bool customOrders = false;
};
