#pragma once

#include <QDialog>

namespace Ui {
class RepairCodeListDialog;
}
namespace wire {
class FieldReader;
}
class QCheckBox;
class ServerLink;
class TextTableModel;

// The repair-code catalogue of one list ("FER", "ROR" or "KD") for a
// manager: ticking a list shows its codes, Remove takes the selected code
// out after a question, and Add and Edit open the code editor on top of
// the list, which is not reloaded when the editor returns.
class RepairCodeListDialog : public QDialog
{
    Q_OBJECT

public:
    explicit RepairCodeListDialog(QWidget *parent = nullptr);
    ~RepairCodeListDialog() override;

private slots:
    void on_checkBox_FER_clicked();
    void on_checkBox_ROR_clicked();
    void on_checkBox_KD_clicked();
    void on_pushButton_Add_clicked();
    void on_pushButton_Edit_clicked();
    void on_pushButton_Remove_clicked();
    void on_pushButton_Close_clicked();

private:
    // The repair code, type and description of one catalogue row.
    struct CodeRow
    {
        QString repairCode;
        QString type;
        QString description;
    };

    void handleReplies();
    bool showCodes(wire::FieldReader &reply);
    // The list boxes, in the order of RepairCodeList::all().
    QList<QCheckBox *> listBoxes() const;
    void chooseList(int listIndex);
    CodeRow currentRow() const;
    // Says what is missing when no list is shown or no code is selected.
    bool isChosen(const CodeRow &row);

    void requestCodes();
    void requestRemove(const CodeRow &row);

    Ui::RepairCodeListDialog *ui;
    ServerLink *link;
    TextTableModel *codeModel;
    // The key of the list shown; empty until a list is ticked.
    QString workTypeCode;
};
