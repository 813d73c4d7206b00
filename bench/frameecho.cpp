// An echo server of the repair server's framing: every frame it reads with
// the server's frame reader is answered with one small fixed frame. It does
// no more work per request than any server of this framing must, on one
// thread as the repair server's network thread, so its request rate is the
// ceiling of this machine for the load program.

#include "echoframes.h"
#include "qteventloop.h"

#include "app/filelimit.h"

#include <framereader.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>

namespace {

// One client: frames in, one reply written per frame read.
class EchoConnection : public QObject
{
public:
    explicit EchoConnection(QTcpSocket *socket)
        : QObject(socket)
        , socket(socket)
    {
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, &EchoConnection::answer);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    void answer()
    {
        reader.append(socket->readAll());
        while (reader.next())
            socket->write(reply);
        socket->flush(); // one send for the frames read, now rather than on the loop's next pass
        if (reader.failed())
            socket->disconnectFromHost();
    }

    QTcpSocket *socket;
    wire::FrameReader reader{wire::MaximumRequestSize};
    const QByteArray reply = EchoFrames::reply();
};

} // namespace

int main(int argc, char *argv[])
{
    useQtsOwnEventLoop();
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Answers every frame of the repair server's framing with one "
                                                    "small frame: the ceiling for shop-load on this machine."));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("The port (default 1240)."),
                                  QStringLiteral("P"), QStringLiteral("1240"));
    parser.addOption(port);
    parser.process(application);

    FileLimit::raiseToHard();
    QTcpServer server;
    server.setMaxPendingConnections(4096);
    QObject::connect(&server, &QTcpServer::newConnection, [&server] {
        while (QTcpSocket *socket = server.nextPendingConnection())
            new EchoConnection(socket);
    });
    if (!server.listen(QHostAddress::Any, quint16(parser.value(port).toUInt()))) {
        QTextStream(stderr) << "cannot listen: " << server.errorString() << "\n";
        return 1;
    }
    QTextStream(stdout) << "frame-echo listening on port " << server.serverPort() << "\n";
    return application.exec();
}
