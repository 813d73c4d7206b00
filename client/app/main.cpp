#include "core/appstate.h"
#include "mainwindow.h"
#include "screenfactory.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

namespace {

constexpr int DefaultPort = 1234;

// "--server HOST[:PORT]"; the default is the local machine.
bool configureServer(const QString &argument)
{
    QString host = argument;
    int port = DefaultPort;
    const int colon = argument.lastIndexOf(QLatin1Char(':'));
    if (colon > 0 && argument.count(QLatin1Char(':')) == 1) {
        bool ok = false;
        port = argument.mid(colon + 1).toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            return false;
        host = argument.left(colon);
    }
    if (host.isEmpty())
        return false;
    AppState::instance().configureServer(host, port);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("repair-client"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shop-floor client of the bin repair system."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("server"), QStringLiteral("Repair server to use (default 127.0.0.1:1234)."),
                      QStringLiteral("HOST[:PORT]")});
    parser.process(application);
    if (parser.isSet(QStringLiteral("server")) && !configureServer(parser.value(QStringLiteral("server")))) {
        std::fprintf(stderr, "repair-client: --server takes HOST or HOST:PORT\n");
        return 2;
    }

    Navigation::setFactory(createScreen);
    MainWindow window;
    window.show();
    return application.exec();
}
