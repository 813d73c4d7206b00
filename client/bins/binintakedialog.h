#pragma once

#include <QDialog>

namespace Ui {
class BinIntakeDialog;
}
class ServerLink;

// The first screen of a bin job: fixes which bin is repaired, either a new
// bin ID the server proposes or an existing bin looked up by its ID, has
// the server store the job's start, and hands over to the pre-check. A bin
// already in progress is offered for continuation instead.
class BinIntakeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit BinIntakeDialog(QWidget *parent = nullptr);
    ~BinIntakeDialog() override;

private slots:
    void on_pushButton_Edit_clicked();
    void on_pushButton_Enter_clicked();

private:
    void handleReplies();
    void fillChoices();
    void binFound(const QString &binId, const QString &repairId, const QString &binSize);
    void binNotFound(const QString &binId);
    void binInProgress(const QString &binId);
    // Records the bin of a new order and has the server store its start.
    void startOrder(const QString &binId, const QString &binSize, int repairId);

    void requestNewBinId();
    void requestFindBin(const QString &binId);
    void requestMakeRepairId();
    void requestStoreCurrentInfo();

    Ui::BinIntakeDialog *ui;
    ServerLink *link;
    QString newBinId;
    QString newCodeListKey;
};
