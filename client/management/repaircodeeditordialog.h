#pragma once

#include <QDialog>

namespace Ui {
class RepairCodeEditorDialog;
}
class ServerLink;

// Adds a code to the repair-code catalogue, or, with editingCode set,
// changes the type and description of the code the editCode group names.
// A new code starts with its category's prefix; the dialog closes when the
// server takes the change and stays open, as typed, when it refuses it.
class RepairCodeEditorDialog : public QDialog
{
    Q_OBJECT

public:
    explicit RepairCodeEditorDialog(QWidget *parent = nullptr);
    ~RepairCodeEditorDialog() override;

private slots:
    void on_pushButton_Cancel_clicked();
    void on_pushButton_Submit_clicked();
    void on_comboBox_Cata_currentIndexChanged(int index);

private:
    void handleReplies();
    void showEditedCode();
    void finish(const QString &message);
    // Says which field is missing, if any.
    bool isComplete();

    void requestAddRepairCode();
    void requestEditRepairCode();

    Ui::RepairCodeEditorDialog *ui;
    ServerLink *link;
};
