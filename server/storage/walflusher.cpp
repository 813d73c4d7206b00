#include "walflusher.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// SQLite resolves links to the database file and keeps its log beside the
// file they lead to.
QByteArray writeAheadLogOf(const QString &databasePath)
{
    const QFileInfo database(databasePath);
    const QString resolved = database.canonicalFilePath();
    return QFile::encodeName((resolved.isEmpty() ? database.absoluteFilePath() : resolved) + QLatin1String("-wal"));
}

} // namespace

WalFlusher::WalFlusher(std::function<bool()> flushLog, std::function<void()> threadEnds)
    : flushLog(std::move(flushLog))
    , threadEnds(std::move(threadEnds))
{ }

WalFlusher::~WalFlusher()
{
    {
        std::lock_guard<std::mutex> locked(lock);
        stopping = true;
    }
    work.notify_one();
    if (thread.joinable())
        thread.join();
}

// A log that is not there holds nothing unflushed: SQLite removes it only
// after a checkpoint, which syncs the database file.
std::function<bool()> WalFlusher::sqliteLog(const QString &databasePath)
{
    return [logPath = writeAheadLogOf(databasePath)] {
        const int file = ::open(logPath.constData(), O_RDONLY | O_CLOEXEC);
        if (file < 0) {
            if (errno == ENOENT)
                return true;
            qWarning().noquote() << "cannot open the write-ahead log to flush it:" << std::strerror(errno);
            return false;
        }
        const bool flushed = ::fdatasync(file) == 0;
        if (!flushed)
            qWarning().noquote() << "cannot flush the write-ahead log:" << std::strerror(errno);
        ::close(file);
        return flushed;
    };
}

void WalFlusher::whenDurable(std::function<void(bool)> then)
{
    {
        std::lock_guard<std::mutex> locked(lock);
        waiting.push_back(std::move(then));
        if (!thread.joinable())
            thread = std::thread([this] { run(); });
    }
    work.notify_one();
}

void WalFlusher::run()
{
    std::unique_lock<std::mutex> locked(lock);
    for (;;) {
        work.wait(locked, [this] { return stopping || !waiting.empty(); });
        if (waiting.empty())
            break;
        std::vector<std::function<void(bool)>> group;
        group.swap(waiting);
        locked.unlock();
        running = true;
        const bool durable = flush();
        running = false;
        for (const std::function<void(bool)> &then : group)
            then(durable);
        locked.lock();
    }
    locked.unlock();
    if (threadEnds)
        threadEnds();
}
