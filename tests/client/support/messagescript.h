#pragma once

#include "usermessages.h"

#include <QList>
#include <QObject>
#include <QQueue>

// Stands in for the person in front of the screen: every box the client
// shows is recorded and answered from the script, in order. A box that was
// not expected, or whose text differs, is recorded as unexpected and
// answered with its default button, so no test ever blocks on a box.
// Program exits are recorded instead of ending the test.
class MessageScript
{
public:
    MessageScript();
    ~MessageScript();

    // The next box must show this text; it is answered with the button.
    void expect(const QString &text, QMessageBox::StandardButton answer = QMessageBox::Ok);

    const QList<MessageRequest> &shown() const { return boxes; }
    QStringList shownTexts() const;
    // Boxes nobody expected, and expected boxes never shown.
    QStringList unexpected() const { return surprises; }
    QStringList pending() const;
    const QList<int> &exits() const { return exitStatuses; }

private:
    QMessageBox::StandardButton present(const MessageRequest &request);

    struct Expected
    {
        QString text;
        QMessageBox::StandardButton answer;
    };
    QQueue<Expected> script;
    QList<MessageRequest> boxes;
    QStringList surprises;
    QList<int> exitStatuses;
};
