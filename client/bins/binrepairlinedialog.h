#pragma once

#include <QDialog>
#include <QPair>
#include <QVector>

namespace Ui {
class BinRepairLineDialog;
}
class ServerLink;

// Records one repair line on a bin: the repair from the catalogue, the time
// it took and the materials used. Opened by the repair sheet to add a line,
// or to change the line held in AppState's editRepairLine. The line goes to
// the order at hand: the checked order, the confirmed order or the
// worker's own current bin.
class BinRepairLineDialog : public QDialog
{
    Q_OBJECT

public:
    explicit BinRepairLineDialog(QWidget *parent = nullptr);
    ~BinRepairLineDialog() override;

    // Longest materials text a line may carry.
    static constexpr int MaterialsLimit = 512;

private slots:
    void on_pushButton_Submit_clicked();
    void on_comboBox_currentIndexChanged(int index);
    void on_comboBox_Time_currentIndexChanged(int index);
    void on_textEdit_textChanged();
    void on_pushButton_Cancel_clicked();

private:
    using RepairCode = QPair<QString, QString>;

    void handleReplies();
    void showRepairCodes(const QVector<RepairCode> &codes);
    // Shows the line being edited once the catalogue is known.
    void prefillEditedLine();
    void selectedRepairReceived(const QString &itemText);
    QString repairCode() const;
    QString repairTime() const;
    void finish();

    void requestRepairCodes();
    void requestEdit(const QString &code, const QString &materials, const QString &time);
    void requestSave(const QString &code, const QString &materials, const QString &time);

    Ui::BinRepairLineDialog *ui;
    ServerLink *link;
    int repairCodeCount = 0;
    QVector<RepairCode> repairCodes;
};
