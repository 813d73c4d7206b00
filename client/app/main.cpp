#include "core/appstate.h"
#include "core/terminallook.h"
#include "mainwindow.h"
#include "screenfactory.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QSslCertificate>
#include <QSslSocket>

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

// "--tls [--ca FILE]": the certificates in FILE (PEM) are the ones trusted.
bool configureTls(bool enabled, const QString &caFile)
{
    if (!enabled) {
        if (caFile.isEmpty())
            return true;
        std::fprintf(stderr, "repair-client: --ca goes with --tls\n");
        return false;
    }
    if (!QSslSocket::supportsSsl()) {
        std::fprintf(stderr, "repair-client: TLS is not available: the OpenSSL library could not be loaded\n");
        return false;
    }
    QList<QSslCertificate> trusted;
    if (!caFile.isEmpty()) {
        QFile file(caFile);
        if (file.open(QIODevice::ReadOnly))
            trusted = QSslCertificate::fromData(file.readAll(), QSsl::Pem);
        if (trusted.isEmpty()) {
            std::fprintf(stderr, "repair-client: --ca: %s holds no readable PEM certificate\n", qPrintable(caFile));
            return false;
        }
    }
    AppState::instance().configureTls(true, trusted);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("repair-client"));
    TerminalLook::apply();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shop-floor client of the bin repair system."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("server"), QStringLiteral("Repair server to use (default 127.0.0.1:1234)."),
                      QStringLiteral("HOST[:PORT]")});
    parser.addOption(
        {QStringLiteral("tls"), QStringLiteral("Talk to the server over TLS, verifying its certificate against the "
                                               "system's trusted certificates or those of --ca.")});
    parser.addOption({QStringLiteral("ca"),
                      QStringLiteral("With --tls: trust only the certificates in FILE (PEM), for example the "
                                     "shop's own or the server's self-signed certificate."),
                      QStringLiteral("FILE")});
    parser.process(application);
    if (parser.isSet(QStringLiteral("server")) && !configureServer(parser.value(QStringLiteral("server")))) {
        std::fprintf(stderr, "repair-client: --server takes HOST or HOST:PORT\n");
        return 2;
    }
    if (!configureTls(parser.isSet(QStringLiteral("tls")), parser.value(QStringLiteral("ca"))))
        return 2;

    Navigation::setFactory(createScreen);
    MainWindow window;
    window.show();
    return application.exec();
}
