#include "loadoptions.h"

#include "terminalscripts.h"

#include <QCommandLineParser>

namespace {

std::optional<LoadOptions::Address> address(const QString &text)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    bool portOk = false;
    const uint port = text.mid(colon + 1).toUInt(&portOk);
    const QHostAddress host(colon > 0 ? text.left(colon) : QString());
    if (colon <= 0 || !portOk || port == 0 || port > 65535 || host.isNull())
        return std::nullopt;
    return LoadOptions::Address{host, quint16(port)};
}

} // namespace

std::optional<LoadOptions> parseLoadOptions(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays shop terminals against a repair server, each terminal a connection from its own loopback address "
        "(127.1.x.y) with one request in flight, and prints per command the count, requests per second and the "
        "p50, p99 and p99.9 latency.\n"
        "Terminals log in as the users shop-history made (w01..w56, c01 c02, m01 m02; password pw-USER), all at "
        "once, then clock in and work: of every 20 terminals one is a manager (finished-orders lists, clock "
        "overview), one a checker (passes bin orders waiting for a check), the others workers (bin orders from "
        "intake to final checks, and custom jobs). The measured seconds start once every terminal has logged in."));
    parser.addHelpOption();
    const QCommandLineOption server(QStringLiteral("server"),
                                    QStringLiteral("The repair server (default 127.0.0.1:1234)."),
                                    QStringLiteral("HOST:PORT"));
    const QCommandLineOption terminals(QStringLiteral("terminals"),
                                       QStringLiteral("Terminals working at once (default 10)."), QStringLiteral("N"));
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("Seconds measured (default 10)."),
                                     QStringLiteral("S"));
    const QCommandLineOption pace(QStringLiteral("pace"),
                                  QStringLiteral("\"realistic\": a person's 1 to 8 seconds before each click or "
                                                 "entry (latency); default none (throughput)."),
                                  QStringLiteral("realistic"));
    const QCommandLineOption echo(QStringLiteral("echo"),
                                  QStringLiteral("The server is frame-echo: send its small frame, no login."));
    const QCommandLineOption compareEcho(
        QStringLiteral("compare-echo"),
        QStringLiteral("First run the same terminals against frame-echo there, then the server; prints the ratio."),
        QStringLiteral("HOST:PORT"));
    const QCommandLineOption rounds(
        QStringLiteral("rounds"),
        QStringLiteral("With --compare-echo: frame-echo and the server in turns R times, each round's ratio printed, "
                       "then their median and range (the machine's pace moves within minutes)."),
        QStringLiteral("R"));
    const QCommandLineOption only(
        QStringLiteral("only"),
        QStringLiteral("After logging in, every terminal repeats one command: GetWork (the lightest), "
                       "GetClockStatus (a one-row read) or ClockIn (alternating with ClockOut: durable writes)."),
        QStringLiteral("COMMAND"));
    const QCommandLineOption idle(
        QStringLiteral("idle"),
        QStringLiteral("Also hold N idle connections (127.2.x.y), 30 from each address as the screens a terminal "
                       "keeps open; one of each address logs in first, so that none times out as an address "
                       "without a session would."),
        QStringLiteral("N"));
    const QCommandLineOption logins(
        QStringLiteral("logins"),
        QStringLiteral("K more terminals (127.4.x.y) log in all at once a third into the measured seconds; prints "
                       "how long the last login took and the working terminals' p99 before and meanwhile."),
        QStringLiteral("K"));
    const QCommandLineOption readers(
        QStringLiteral("readers"),
        QStringLiteral("K more terminals (127.3.x.y) repeat GetClockStatus beside the others; their latency is "
                       "printed apart."),
        QStringLiteral("K"));
    const QCommandLineOption lists(
        QStringLiteral("lists"),
        QStringLiteral("As manager m01, ask for each of the heaviest lists and each read a worker's screens make on "
                       "every order once: time and reply size each."));
    parser.addOptions(
        {server, terminals, seconds, pace, echo, compareEcho, rounds, only, idle, logins, readers, lists});
    parser.process(arguments);

    LoadOptions options;
    const auto count = [&parser](const QCommandLineOption &option, int lowest, int *value) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        *value = parser.value(option).toInt(&ok);
        return ok && *value >= lowest;
    };
    if (!count(terminals, 1, &options.terminals) || !count(seconds, 1, &options.seconds)
        || !count(idle, 0, &options.idle) || !count(logins, 0, &options.logins) || !count(readers, 0, &options.readers)
        || !count(rounds, 1, &options.rounds)) {
        *error = QStringLiteral("counts must be whole numbers (terminals, seconds and rounds at least 1)");
        return std::nullopt;
    }
    if (parser.isSet(server)) {
        const std::optional<LoadOptions::Address> at = address(parser.value(server));
        if (!at) {
            *error = QStringLiteral("--server takes HOST:PORT with an IP address");
            return std::nullopt;
        }
        options.server = *at;
    }
    if (parser.isSet(compareEcho)) {
        options.compareEcho = address(parser.value(compareEcho));
        if (!options.compareEcho) {
            *error = QStringLiteral("--compare-echo takes HOST:PORT with an IP address");
            return std::nullopt;
        }
    }
    if (options.rounds > 1 && !options.compareEcho) {
        *error = QStringLiteral("--rounds needs --compare-echo");
        return std::nullopt;
    }
    if (parser.isSet(pace) && parser.value(pace) != QLatin1String("realistic")) {
        *error = QStringLiteral("--pace takes \"realistic\"");
        return std::nullopt;
    }
    options.realisticPace = parser.isSet(pace);
    options.only = parser.value(only);
    if (!options.only.isEmpty() && !TerminalScripts::knowsRepeated(options.only)) {
        *error = QStringLiteral("--only takes GetWork, GetClockStatus or ClockIn");
        return std::nullopt;
    }
    options.echo = parser.isSet(echo);
    options.lists = parser.isSet(lists);
    return options;
}
