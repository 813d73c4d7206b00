// The server's memory while many connections hold half-sent requests. Starts
// repair-server on a loopback port with a fresh database, opens the
// connections from many loopback addresses, each announcing the largest
// request and sending all of it but the last byte, and prints the server's
// resident memory before, while they are held, and after they close, beside
// the bound the server promises. Loopback only; stops by itself.
//
//   bench_half_frames [CONNECTIONS] [PATH-TO-repair-server]

#include "frame.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QtEndian>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace {

constexpr int DefaultConnections = 3000;
constexpr int ConnectionsPerAddress = 50;
constexpr int StartTimeoutMs = 10000;
constexpr int SettleTimeoutMs = 20000;
constexpr int MinimumSettleMs = 2000;

// What the server lets each connection hold, and all of them together
// (its defaults): the unfinished-request allowance and the socket's
// read-ahead (8 KiB each) with the connection's own bookkeeping, and the
// shared rooms for requests and replies.
constexpr qint64 PerConnectionBound = 48 << 10;
constexpr qint64 SharedBound = (32 + 64) << 20;

qint64 residentBytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').constFirst().toLongLong() * 1024;
    }
    return -1;
}

// Waits until the resident memory holds still (no change of more than 1%
// in half a second), but at least two seconds.
qint64 settledResidentBytes(qint64 pid)
{
    QElapsedTimer elapsed;
    elapsed.start();
    qint64 last = residentBytes(pid);
    while (elapsed.elapsed() < SettleTimeoutMs) {
        QThread::msleep(500);
        const qint64 now = residentBytes(pid);
        if (elapsed.elapsed() >= MinimumSettleMs && qAbs(now - last) * 100 <= last)
            return now;
        last = now;
    }
    return last;
}

// A connection from 127.0.1.x that sends what fits of bytes without waiting.
int openHalfFrame(quint16 port, int index, const QByteArray &bytes)
{
    const int descriptor = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0)
        return -1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl((127u << 24) | (1u << 8) | quint32(1 + index / ConnectionsPerAddress));
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval timeout{5, 0};
    ::setsockopt(descriptor, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (::bind(descriptor, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0
        || ::connect(descriptor, reinterpret_cast<sockaddr *>(&server), sizeof server) != 0) {
        ::close(descriptor);
        return -1;
    }
    ::fcntl(descriptor, F_SETFL, O_NONBLOCK);
    ::send(descriptor, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL);
    return descriptor;
}

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1 << 20), 'f', 1) + QStringLiteral(" MiB");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    const QStringList arguments = application.arguments();
    const int connections = arguments.size() > 1 ? arguments.at(1).toInt() : DefaultConnections;
    const QString serverPath = arguments.size() > 2 ? arguments.at(2) : QStringLiteral(REPAIR_SERVER_PATH);

    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);

    QTemporaryDir folder;
    QProcess server;
    server.setStandardErrorFile(QProcess::nullDevice()); // one line per address when the connections time out
    server.start(serverPath, {"--db", folder.filePath("bench.sqlite"), "--listen", "127.0.0.1", "--port", "0"});
    if (!server.waitForReadyRead(StartTimeoutMs)) {
        out << "the server did not start: " << serverPath << "\n";
        return 1;
    }
    const QByteArray banner = server.readLine();
    const int portAt = banner.indexOf(" port ") + 6;
    const quint16 port = quint16(banner.mid(portAt, banner.indexOf(',', portAt) - portAt).toUInt());
    const qint64 pid = server.processId();
    const qint64 before = settledResidentBytes(pid);

    QByteArray halfFrame(int(wire::MaximumRequestSize - 1), 'x');
    qToBigEndian<qint64>(wire::MaximumRequestSize, halfFrame.data());
    std::vector<int> open;
    QElapsedTimer opening;
    opening.start();
    for (int i = 0; i < connections; ++i) {
        const int descriptor = openHalfFrame(port, i, halfFrame);
        if (descriptor >= 0)
            open.push_back(descriptor);
    }
    const qint64 openingMs = opening.elapsed();
    const qint64 held = settledResidentBytes(pid);
    const qint64 heldAfterMs = opening.elapsed();
    for (const int descriptor : open)
        ::close(descriptor);
    const qint64 after = settledResidentBytes(pid);
    server.terminate();
    server.waitForFinished(StartTimeoutMs);

    const qint64 bound = before + qint64(open.size()) * PerConnectionBound + SharedBound;
    out << "connections held:        " << open.size() << " of " << connections << ", each " << halfFrame.size()
        << " bytes of a " << wire::MaximumRequestSize << "-byte request;\n"
        << "                         opened in " << openingMs << " ms, measured " << heldAfterMs
        << " ms after the first\n";
    out << "server memory before:    " << megabytes(before) << "\n";
    out << "server memory while held: " << megabytes(held) << "   bound: " << megabytes(bound)
        << " (before + 48 KiB a connection + 96 MiB shared)\n";
    out << "server memory after:     " << megabytes(after) << "\n";
    return held <= bound ? 0 : 1;
}
