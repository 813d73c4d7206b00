#include "commanddispatcher.h"

#include <QDebug>

namespace {

// Long enough to recognise a mistyped command in an error reply.
constexpr int QuotedCommandLength = 60;

} // namespace

void CommandDispatcher::addInvoker(const QString &command, Invoker invoker)
{
    Q_ASSERT_X(!handlers.contains(command), "CommandDispatcher", "a command is registered twice");
    handlers.insert(command, std::move(invoker));
}

void CommandDispatcher::dispatch(const QByteArray &frame, const Reply &reply) const
{
    wire::FieldReader arguments(frame);
    const QString command = arguments.string();
    if (!arguments.ok()) {
        reply.error(QStringLiteral("the request does not start with a readable command name"));
        return;
    }
    const auto handler = handlers.constFind(command);
    if (handler == handlers.constEnd()) {
        QString shown = command.left(QuotedCommandLength);
        if (command.size() > QuotedCommandLength)
            shown += QStringLiteral("...");
        reply.error(QStringLiteral("unknown command \"%1\"").arg(shown));
        return;
    }
    (*handler)(arguments, reply);
}
