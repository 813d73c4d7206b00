#pragma once

#include <QDialog>

namespace Ui {
class CustomRepairLineDialog;
}
class QComboBox;
class QTextEdit;
class ServerLink;

// Records one repair line of a custom job: what was done, the materials
// used and the time it took. Opened by the custom repair sheet to add a
// line, or to change the line held in AppState's editCustomLine.
class CustomRepairLineDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CustomRepairLineDialog(QWidget *parent = nullptr);
    ~CustomRepairLineDialog() override;

    // Longest description, and longest materials text, a line may carry.
    static constexpr int TextLimit = 512;

private slots:
    void on_pushButton_Cancel_clicked();
    void on_pushButton_Add_clicked();
    void on_textEdit_RepairDescription_textChanged();
    void on_textEdit_Materials_textChanged();

private:
    void onConnected();
    void handleReplies();
    // Reports a text over the limit; Add stays enabled only while both texts fit.
    void checkLength(const QTextEdit *edit);
    // The combo's choice; an edited line's own value while the combo has none.
    static QString chosen(const QComboBox *comboBox, const QString &edited);
    void saved(const QString &message);

    void requestAdd(const QString &description, const QString &materials, const QString &hours, const QString &minutes);
    void requestEdit(const QString &description, const QString &materials, const QString &hours,
                     const QString &minutes);

    Ui::CustomRepairLineDialog *ui;
    ServerLink *link;
};
