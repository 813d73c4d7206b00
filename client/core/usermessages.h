#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// What the user is shown: a text-only box with the given buttons.
struct MessageRequest
{
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
};

// What the user is asked to type: a one-line text box with a title and a prompt.
struct TextRequest
{
    QString title;
    QString prompt;
};

// Every box the client shows goes through here, so that a test can record
// the boxes and answer them instead of a person.
class UserMessages
{
public:
    using Presenter = std::function<QMessageBox::StandardButton(QWidget *parent, const MessageRequest &request)>;
    using TextPresenter = std::function<QString(QWidget *parent, const TextRequest &request)>;

    // A text with an OK button.
    static void show(QWidget *parent, const QString &text);

    // A question; only the returned answer acts.
    static QMessageBox::StandardButton ask(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton);

    // Asks for one line of text; empty when nothing was typed or the box was cancelled.
    static QString askText(QWidget *parent, const QString &title, const QString &prompt);

    // Replaces the modal box; an empty presenter restores it.
    static void setPresenter(Presenter presenter);
    // Replaces the modal text box; an empty presenter restores it.
    static void setTextPresenter(TextPresenter presenter);
};

// Ends the whole program. A test replaces the ending to record it.
class ProgramExit
{
public:
    using Handler = std::function<void(int status)>;

    static void exit(int status);
    static void setHandler(Handler handler);
};
