#pragma once

#include <fieldreader.h>
#include <frame.h>
#include <framereader.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>

#include <deque>
#include <functional>

class LatencyTable;

// One request of a flow and what its reply must be.
struct Step
{
    QString command; // as counted in the table
    // Built when it is sent, so that it can use what earlier replies gave.
    std::function<QByteArray()> frame;
    QStringList expectedTags;
    // Reads the reply's fields (after the tag); false when they do not fit.
    std::function<bool(wire::FieldReader &fields)> onReply;
    // A person acts before it (a click, typing): the think time comes first.
    bool afterThought = false;
    // The last request of logging in: the terminal is ready to work.
    bool endsLogin = false;
};

// What a terminal does: asked for more steps whenever the last one is done.
class TerminalScript
{
public:
    virtual ~TerminalScript() = default;
    virtual void planNext(std::deque<Step> &steps) = 0;
};

// One terminal with one connection from its own address, one request in
// flight, timing each reply.
class LoadTerminal : public QObject
{
public:
    struct Pace
    {
        bool realistic = false;
        int minimumThinkMs = 1000;
        int maximumThinkMs = 8000;
    };

    LoadTerminal(const QHostAddress &from, std::unique_ptr<TerminalScript> script, LatencyTable &table,
                 const QElapsedTimer &runClock, Pace pace, QObject *parent = nullptr);

    void start(const QHostAddress &server, quint16 port);
    // Sends nothing more; a reply still due is taken and counted.
    void stop() { stopped = true; }
    bool waitingForReply() const { return awaiting.has_value(); }
    // Called once after each reply has been counted.
    std::function<void(const Step &, const QByteArray &reply)> afterReply;
    // A second table that times this terminal's replies too (a share of all).
    LatencyTable *alsoTimedIn = nullptr;

private:
    void sendNext();
    void send();
    void takeReplies();
    void fail(const QString &what);

    QTcpSocket socket;
    wire::FrameReader reader{wire::MaximumReplySize};
    std::unique_ptr<TerminalScript> script;
    LatencyTable &table;
    const QElapsedTimer &runClock;
    Pace pace;
    std::deque<Step> steps;
    std::optional<Step> awaiting;
    qint64 sentNs = 0;
    QTimer thinking;
    bool bound = false;
    bool stopped = false;
};
