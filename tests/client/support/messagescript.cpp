#include "messagescript.h"

MessageScript::MessageScript()
{
    UserMessages::setPresenter([this](QWidget *, const MessageRequest &request) { return present(request); });
    ProgramExit::setHandler([this](int status) { exitStatuses << status; });
}

MessageScript::~MessageScript()
{
    UserMessages::setPresenter(nullptr);
    ProgramExit::setHandler([](int) {});
}

void MessageScript::expect(const QString &text, QMessageBox::StandardButton answer)
{
    script.enqueue({text, answer});
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
