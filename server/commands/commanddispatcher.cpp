#include "commanddispatcher.h"

#include <QDebug>

namespace {

// Long enough to recognise a mistyped command in an error reply.
constexpr int QuotedCommandLength = 60;

} // namespace

void CommandDispatcher::addForm(const QString &command, Form form)
{
    QVector<Form> &forms = handlers[command];
    for (const Form &known : qAsConst(forms)) {
        Q_ASSERT_X(known.argumentCount != form.argumentCount, "CommandDispatcher",
                   "a command is registered twice with the same number of arguments");
    }
    forms.append(std::move(form));
}

void CommandDispatcher::setGate(Gate decide)
{
    gate = std::move(decide);
}

QList<CommandDispatcher::FormName> CommandDispatcher::forms() const
{
    QList<FormName> names;
    for (auto command = handlers.constBegin(); command != handlers.constEnd(); ++command) {
        for (const Form &form : command.value())
            names.append({command.key(), form.argumentCount});
    }
    return names;
}

void CommandDispatcher::answerAside(std::initializer_list<QString> commands)
{
    for (const QString &command : commands)
        answeredAside.insert(command);
}

void CommandDispatcher::setAsideCheck(AsideCheck check)
{
    asideCheck = std::move(check);
}

bool CommandDispatcher::answersAside(const QByteArray &frame, const Reply &reply) const
{
    if (answeredAside.isEmpty() || !asideCheck)
        return false;
    wire::FieldReader fields(frame);
    const QString command = fields.string();
    return fields.ok() && answeredAside.contains(command) && asideCheck(reply);
}

void CommandDispatcher::dispatch(const QByteArray &frame, const Reply &reply) const
{
    wire::FieldReader arguments(frame);
    const QString command = arguments.string();
    if (!arguments.ok()) {
        reply.error(QStringLiteral("the request does not start with a readable command name"));
        return;
    }
    const auto forms = handlers.constFind(command);
    if (forms == handlers.constEnd()) {
        QString shown = command.left(QuotedCommandLength);
        if (command.size() > QuotedCommandLength)
            shown += QStringLiteral("...");
        reply.error(QStringLiteral("unknown command \"%1\"").arg(shown));
        return;
    }
    QStringList usages;
    for (const Form &form : *forms) {
        wire::FieldReader attempt = arguments;
        if (form.invoke(attempt, reply, gate))
            return;
        usages.append(form.usage);
    }
    reply.error(usages.join(QStringLiteral(", or ")));
}
