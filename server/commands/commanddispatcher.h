#pragma once

#include "reply.h"

#include <fieldreader.h>

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <initializer_list>
#include <tuple>
#include <utility>

// The table from command name to handler. A request frame is read as its
// command and arguments; the arguments must match the command's rules in
// number, wire type and content before its handler runs, so handlers see
// only valid values. Anything else is answered with "Error" and a reason,
// and the connection carries on.
//
// A command may be registered more than once with different numbers of
// arguments (a screen that sends it bare in one situation and with values in
// another); the form whose number and wire types the request matches runs.
class CommandDispatcher
{
public:
    // Registers a handler called as handler(reply, values...) with one value
    // per rule, each of the rule's Type. Example:
    //   add<UserNameArgument>("GetPermissions", [](const Reply &r, const QString &user) { ... });
    template<typename... Rules, typename Handler>
    void add(const QString &command, Handler handler);

    // Answers one request frame; the reply may be sent later.
    void dispatch(const QByteArray &frame, const Reply &reply) const;

    // Decides whether a request with valid arguments may run (each argument
    // as text; lists and numbers as the rules give them). A request it
    // refuses, it answers itself.
    using Gate = std::function<bool(const QString &command, const QStringList &arguments, const Reply &reply)>;
    void setGate(Gate gate);

    // Marks commands as light reads: one-row reads, gate included, that
    // never write. The network thread may answer them itself while writers
    // hold the database threads (CommandWorkers).
    void answerAside(std::initializer_list<QString> commands);
    // Whether the request's terminal may be served aside; none is unless
    // set.
    using AsideCheck = std::function<bool(const Reply &reply)>;
    void setAsideCheck(AsideCheck check);
    bool answersAside(const QByteArray &frame, const Reply &reply) const;

    // Every registered command, once per number of arguments it takes.
    struct FormName
    {
        QString command;
        int argumentCount = 0;
    };
    QList<FormName> forms() const;

private:
    // Answers the request and returns true when the arguments have the
    // form's number and wire types; otherwise returns false, answering nothing.
    using Invoker = std::function<bool(wire::FieldReader &arguments, const Reply &reply, const Gate &gate)>;
    struct Form
    {
        int argumentCount = 0;
        QString usage;
        Invoker invoke;
    };
    void addForm(const QString &command, Form form);

    template<typename... Rules>
    static QString usage(const QString &command);

    template<typename... Rules, typename Values, std::size_t... Index>
    static QString firstProblem([[maybe_unused]] const Values &values, std::index_sequence<Index...>);

    QHash<QString, QVector<Form>> handlers;
    QSet<QString> answeredAside;
    AsideCheck asideCheck;
    Gate gate;
};

namespace CommandDispatcherDetail {

template<typename T>
const char *wireTypeName();
template<>
inline const char *wireTypeName<QString>()
{
    return "QString";
}
template<>
inline const char *wireTypeName<QStringList>()
{
    return "QStringList";
}
template<>
inline const char *wireTypeName<qint32>()
{
    return "int";
}

inline QString asText(const QString &value)
{
    return value;
}
inline QString asText(const QStringList &value)
{
    return value.join(QLatin1Char('\n'));
}
inline QString asText(qint32 value)
{
    return QString::number(value);
}

} // namespace CommandDispatcherDetail

template<typename... Rules>
QString CommandDispatcher::usage(const QString &command)
{
    const QStringList parts = {QStringLiteral("%1 (%2)").arg(
        QLatin1String(Rules::name), QLatin1String(CommandDispatcherDetail::wireTypeName<typename Rules::Type>()))...};
    if (parts.isEmpty())
        return QStringLiteral("\"%1\" takes no arguments").arg(command);
    return QStringLiteral("\"%1\" takes %2 argument%3: %4")
        .arg(command)
        .arg(parts.size())
        .arg(parts.size() == 1 ? QString() : QStringLiteral("s"))
        .arg(parts.join(QStringLiteral(", ")));
}

template<typename... Rules, typename Values, std::size_t... Index>
QString CommandDispatcher::firstProblem([[maybe_unused]] const Values &values, std::index_sequence<Index...>)
{
    QString found;
    [[maybe_unused]] const auto note = [&found](std::size_t position, const char *name, const QString &problem) {
        if (found.isEmpty() && !problem.isEmpty())
            found = QStringLiteral("argument %1 (%2) %3").arg(position + 1).arg(QLatin1String(name), problem);
    };
    (note(Index, Rules::name, Rules::problem(std::get<Index>(values))), ...);
    return found;
}

template<typename... Rules, typename Handler>
void CommandDispatcher::add(const QString &command, Handler handler)
{
    Form form;
    form.argumentCount = int(sizeof...(Rules));
    form.usage = usage<Rules...>(command);
    form.invoke = [command, handler](wire::FieldReader &arguments, const Reply &reply, const Gate &gate) {
        const auto values = wire::readFields<typename Rules::Type...>(arguments);
        if (!values || !arguments.atEnd())
            return false;
        const QString problem = firstProblem<Rules...>(*values, std::index_sequence_for<Rules...>());
        if (!problem.isEmpty()) {
            reply.error(QStringLiteral("\"%1\": %2").arg(command, problem));
            return true;
        }
        if (gate) {
            const QStringList texts = std::apply(
                [](const auto &...value) { return QStringList{CommandDispatcherDetail::asText(value)...}; }, *values);
            if (!gate(command, texts, reply))
                return true;
        }
        std::apply([&](const auto &...value) { handler(reply, value...); }, *values);
        return true;
    };
    addForm(command, std::move(form));
}
