#pragma once

#include "core/usermessages.h"

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
    // The question is asked twice: cancelled first, then confirmed.
    void expectCancelThenYes(const QString &question)
    {
        expect(question, QMessageBox::Cancel);
        expect(question, QMessageBox::Yes);
    }
    // The next text box must ask this prompt; it is answered with the text
    // typed, an empty one standing for a cancelled box.
    void expectText(const QString &prompt, const QString &typed);

    const QList<MessageRequest> &shown() const { return boxes; }
    const QList<TextRequest> &asked() const { return textBoxes; }
    QStringList shownTexts() const;
    // Boxes nobody expected, and expected boxes never shown.
    QStringList unexpected() const { return surprises; }
    QStringList pending() const;
    const QList<int> &exits() const { return exitStatuses; }

private:
    QMessageBox::StandardButton present(const MessageRequest &request);
    QString presentText(const TextRequest &request);

    struct Expected
    {
        QString text;
        QMessageBox::StandardButton answer;
    };
    struct ExpectedText
    {
        QString prompt;
        QString typed;
    };
    QQueue<Expected> script;
    QQueue<ExpectedText> textScript;
    QList<MessageRequest> boxes;
    QList<TextRequest> textBoxes;
    QStringList surprises;
    QList<int> exitStatuses;
};
