#pragma once

#include <QDialog>

#include <optional>

namespace Ui {
class TimeStampEditorDialog;
}
class QComboBox;
class QDateTime;
class ServerLink;

// One clock period of one user, to the minute: a new one, or a correction
// of the period the time stamp browser handed over in AppState.
class TimeStampEditorDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TimeStampEditorDialog(QWidget *parent = nullptr);
    ~TimeStampEditorDialog() override;

private slots:
    void on_comboBox_Month_currentIndexChanged(int);
    void on_comboBox_EndMonth_currentIndexChanged(int);
    void on_pushButton_Submit_clicked();
    void on_pushButton_Cancel_clicked();

private:
    struct TimeBoxes
    {
        QComboBox *month;
        QComboBox *day;
        QComboBox *year;
        QComboBox *hour;
        QComboBox *minute;
    };

    void handleReplies();
    void fillLists(int firstYear);
    void showTime(const TimeBoxes &boxes, const QDateTime &moment);
    // The Unix time the boxes show, to the minute; nothing for a date that
    // does not exist.
    std::optional<quint32> chosenTime(const TimeBoxes &boxes) const;
    bool editing() const;
    void finish();

    Ui::TimeStampEditorDialog *ui;
    ServerLink *link;
    TimeBoxes startBoxes;
    TimeBoxes endBoxes;
};
