#include "messagescript.h"

MessageScript::MessageScript()
{
    UserMessages::setPresenter([this](QWidget *, const MessageRequest &request) { return present(request); });
    UserMessages::setTextPresenter([this](QWidget *, const TextRequest &request) { return presentText(request); });
    ProgramExit::setHandler([this](int status) { exitStatuses << status; });
}

MessageScript::~MessageScript()
{
    UserMessages::setPresenter(nullptr);
    UserMessages::setTextPresenter(nullptr);
    ProgramExit::setHandler([](int) {});
}

void MessageScript::expect(const QString &text, QMessageBox::StandardButton answer)
{
    script.enqueue({text, answer});
}

void MessageScript::expectText(const QString &prompt, const QString &typed)
{
    textScript.enqueue({prompt, typed});
}

QStringList MessageScript::shownTexts() const
{
    QStringList texts;
    for (const MessageRequest &box : boxes)
        texts << box.text;
    return texts;
}

QStringList MessageScript::pending() const
{
    QStringList texts;
    for (const Expected &expected : script)
        texts << expected.text;
    for (const ExpectedText &expected : textScript)
        texts << expected.prompt;
    return texts;
}

QMessageBox::StandardButton MessageScript::present(const MessageRequest &request)
{
    boxes << request;
    if (!script.isEmpty() && script.head().text == request.text)
        return script.dequeue().answer;
    surprises << request.text;
    return request.defaultButton;
}

QString MessageScript::presentText(const TextRequest &request)
{
    textBoxes << request;
    if (!textScript.isEmpty() && textScript.head().prompt == request.prompt)
        return textScript.dequeue().typed;
    surprises << request.prompt;
    return QString();
}
