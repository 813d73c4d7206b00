#pragma once

#include <QDialog>

namespace Ui {
class CustomOrderRecordDialog;
}
class FilteredTable;
class ServerLink;

// The record of one finished custom job, named by viewCustom in AppState:
// its date, customer and contact details, total time and every repair
// line. It only shows; deleting from here is switched off.
class CustomOrderRecordDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CustomOrderRecordDialog(QWidget *parent = nullptr);
    ~CustomOrderRecordDialog() override;

private slots:
    void on_pushButton_Search_clicked();
    void on_pushButton_Back_clicked();
    void on_pushButton_Delete_clicked();
    void on_lineEdit_Search_textChanged(const QString &text);

private:
    void handleReplies();
    void showJob(const QString &date, const QString &contactName, const QString &phone, const QString &email,
                 const QString &total);
    void showRepairLines(const QStringList &descriptions, const QStringList &materials, const QStringList &times);

    void requestJob();
    void requestRepairLines();

    Ui::CustomOrderRecordDialog *ui;
    ServerLink *link;
    FilteredTable *repairLines;
};
