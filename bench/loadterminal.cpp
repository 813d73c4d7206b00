#include "loadterminal.h"

#include "latencytable.h"

#include <QRandomGenerator>

LoadTerminal::LoadTerminal(const QHostAddress &from, std::unique_ptr<TerminalScript> script, LatencyTable &table,
                           const QElapsedTimer &runClock, Pace pace, QObject *parent)
    : QObject(parent)
    , script(std::move(script))
    , table(table)
    , runClock(runClock)
    , pace(pace)
{
    bound = socket.bind(from);
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    thinking.setSingleShot(true);
    connect(&thinking, &QTimer::timeout, this, &LoadTerminal::send);
    connect(&socket, &QTcpSocket::connected, this, &LoadTerminal::sendNext);
    connect(&socket, &QTcpSocket::readyRead, this, &LoadTerminal::takeReplies);
    connect(&socket, &QTcpSocket::errorOccurred, this, [this] { fail(socket.errorString()); });
}

void LoadTerminal::start(const QHostAddress &server, quint16 port)
{
    if (bound)
        socket.connectToHost(server, port);
    else
        fail(QStringLiteral("cannot use its address: ") + socket.errorString());
}

void LoadTerminal::sendNext()
{
    if (stopped)
        return;
    if (steps.empty())
        script->planNext(steps);
    if (steps.empty())
        return;
    if (pace.realistic && steps.front().afterThought)
        thinking.start(int(QRandomGenerator::global()->bounded(pace.minimumThinkMs, pace.maximumThinkMs)));
    else
        send();
}

void LoadTerminal::send()
{
    if (stopped)
        return;
    awaiting = std::move(steps.front());
    steps.pop_front();
    sentNs = runClock.nsecsElapsed();
    socket.write(awaiting->frame());
    socket.flush(); // now, rather than on the loop's next pass
}

void LoadTerminal::takeReplies()
{
    reader.append(socket.readAll());
    while (const std::optional<QByteArray> frame = reader.next()) {
        if (!awaiting) {
            fail(QStringLiteral("a reply nobody asked for"));
            return;
        }
        const Step step = std::move(*awaiting);
        awaiting.reset();
        const qint64 microseconds = (runClock.nsecsElapsed() - sentNs) / 1000;
        table.record(step.command, sentNs / 1000000, microseconds);
        if (alsoTimedIn)
            alsoTimedIn->record(step.command, sentNs / 1000000, microseconds);
        wire::FieldReader fields(*frame);
        const QString tag = fields.string();
        if (!step.expectedTags.contains(tag)) {
            table.recordError(step.command, tag + QLatin1Char(' ') + fields.string());
            steps.clear(); // the flow is broken: start the next one
        } else if (step.onReply && !step.onReply(fields)) {
            table.recordError(step.command, tag + QStringLiteral(" with fields that do not fit"));
            steps.clear();
        }
        if (afterReply)
            afterReply(step, *frame);
        sendNext();
    }
    if (reader.failed())
        fail(QStringLiteral("a reply of an impossible size"));
}

void LoadTerminal::fail(const QString &what)
{
    if (stopped)
        return;
    table.recordError(awaiting ? awaiting->command : QStringLiteral("connection"), what);
    stopped = true;
    socket.abort();
}
