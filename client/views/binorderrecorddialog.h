#pragma once

#include <QDialog>

namespace Ui {
class BinOrderRecordDialog;
}
namespace wire {
class FieldReader;
}
class FilteredTable;
class ServerLink;

// The record of one finished bin order, named by viewBin in AppState: its
// final checks, its total time and every repair line with the worker who
// entered it, fetched one after the other. It only shows; deleting a line
// from here is switched off.
class BinOrderRecordDialog : public QDialog
{
    Q_OBJECT

public:
    explicit BinOrderRecordDialog(QWidget *parent = nullptr);
    ~BinOrderRecordDialog() override;

private slots:
    void on_pushButton_Search_clicked();
    void on_pushButton_Back_clicked();
    void on_pushButton_Delete_clicked();
    void on_lineEdit_textChanged(const QString &text);

private:
    void handleReplies();
    void showChecks(const QString &lidSize, const QString &lidWidth);
    bool showRepairLines(wire::FieldReader &reply);

    void requestChecks();
    void requestTime();
    void requestRepairLines();

    Ui::BinOrderRecordDialog *ui;
    ServerLink *link;
    FilteredTable *repairLines;
};
