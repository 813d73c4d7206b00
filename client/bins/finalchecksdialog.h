#pragma once

#include <QDialog>

namespace Ui {
class FinalChecksDialog;
}
class QCheckBox;
class QLineEdit;
class ServerLink;

// The last step of a bin repair: the lid size, the lid tab width and eight
// inspection checks. On the worker's own bin it stores them and ends the
// work timer; for an order being checked (checkingOrder) or confirmed
// (confirmingOrders) it shows the stored values, and Submit passes the
// check or confirms the order.
class FinalChecksDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FinalChecksDialog(QWidget *parent = nullptr);
    ~FinalChecksDialog() override;

private slots:
    void on_pushButton_Submit_clicked();
    void on_pushButton_Cancel_clicked();

private:
    void onConnected();
    struct Check
    {
        QCheckBox *box;
        const char *message;
    };
    // A length in inches, with the messages for a missing or a wrong one.
    struct Measurement
    {
        QLineEdit *edit;
        const char *missing;
        const char *notANumber;
        double mostInches;
    };

    void handleReplies();
    void showStoredChecks(const QString &lidSize, const QString &lidTabWidth);
    QList<Measurement> measurements() const;
    QList<Check> checks() const;
    void statusChanged();
    void checksSaved();
    void clearCheckOrder();
    void finish();

    void requestChecksList();
    void requestStartTime();
    void requestEndTime();
    void requestSaveChecks();
    void requestStatusChange(const QString &user, const QString &status, const QString &binId, const QString &repairId);

    Ui::FinalChecksDialog *ui;
    ServerLink *link;
};
