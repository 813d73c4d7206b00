#pragma once

#include <QDialog>

namespace Ui {
class PreCheckDialog;
}
class QCheckBox;
class ServerLink;

// Records whether a bin's lids, chains and lid rod are good or bad before
// any repair starts, then hands over to the repair sheet. Reached while an
// order is being checked, it first shows the verdicts already stored.
class PreCheckDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PreCheckDialog(QWidget *parent = nullptr);
    ~PreCheckDialog() override;

private slots:
    void on_pushButton_Next_clicked();
    void on_checkBox_LidsGood_clicked();
    void on_checkBox_LidsBad_clicked();
    void on_checkBox_ChainsGood_clicked();
    void on_checkBox_ChainsBad_clicked();
    void on_checkBox_LidRodGood_clicked();
    void on_checkBox_LidRodBad_clicked();

private:
    void onConnected();
    void handleReplies();
    void showStoredVerdicts(const QString &lids, const QString &chains, const QString &lidRod);

    void requestPreForChecks();
    void requestStorePreChecks();

    Ui::PreCheckDialog *ui;
    ServerLink *link;
};
