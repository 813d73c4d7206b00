#pragma once

#include <QDialog>

#include <optional>

namespace Ui {
class TimeStampBrowserDialog;
}
namespace wire {
class FieldReader;
}
class QComboBox;
class QDate;
class ServerLink;
class TextTableModel;

// The clock periods of one user, or of all users, that start between two
// dates, each with its hours and the grand total. A manager adds, corrects
// and removes periods here; adding and correcting run the time stamp
// editor, after which the list is searched again.
class TimeStampBrowserDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TimeStampBrowserDialog(QWidget *parent = nullptr);
    ~TimeStampBrowserDialog() override;

private slots:
    void on_comboBox_UserList_currentIndexChanged(int);
    void on_comboBox_EndMonth_currentIndexChanged(int);
    void on_comboBox_Month_currentIndexChanged(int);
    void on_pushButton_Search_clicked();
    void on_pushButton_Add_clicked();
    void on_pushButton_Edit_clicked();
    void on_pushButton_Remove_clicked();
    void on_pushButton_Back_clicked();
    void on_checkBox_All_clicked();

private:
    struct Period
    {
        QString user;
        quint32 start = 0;
        quint32 end = 0;
        QString hours;
    };

    void handleReplies();
    void preselectDates();
    void selectDate(QComboBox *year, QComboBox *month, QComboBox *day, const QDate &date);
    void showUsers(const QStringList &users);
    void showFirstYear(const QString &unixTime);
    void showUserPeriods(const QStringList &starts, const QStringList &ends, const QStringList &hours);
    bool showAllUsersPeriods(wire::FieldReader &reply);
    void showPeriods(const QVector<Period> &periods, bool allUsers);
    // The period of the chosen row; a message and nothing when no row is chosen.
    std::optional<Period> chosenPeriod();
    void runEditor(const QString &user, const QString &startText, const QString &endText, quint32 start, quint32 end);
    void search();

    Ui::TimeStampBrowserDialog *ui;
    ServerLink *link;
    TextTableModel *model = nullptr;
    // The periods shown, row by row, so that Edit and Remove name exactly
    // the period of the chosen row.
    QVector<Period> shownPeriods;
    // The user the last one-user search was for: the rows are theirs.
    QString searchedUser;
    // The first year of the chosen user's periods, kept for every run of
    // the editor; 0 until the server has told it.
    int firstYear = 0;
};
