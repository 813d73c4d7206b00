#include "logcopier.h"

#include "walwritegathering.h"

#include <QDebug>

#include <sqlite3.h>

namespace {

// The copier copies again while a pass finds at least this many new pages,
// so that what is left for the next commit is little.
constexpr int FewPages = 256;
constexpr int MostPasses = 4;
// A log this many times the size is copied by its commits.
constexpr int CommitsCopyPast = 4;

} // namespace

LogCopier::LogCopier(const QByteArray &databasePath, int checkpointPages)
    : databasePath(databasePath)
    , checkpointPages(checkpointPages)
    , thread([this] { run(); })
{ }

LogCopier::~LogCopier()
{
    {
        std::lock_guard<std::mutex> locked(lock);
        stopping = true;
    }
    asked.notify_one();
    thread.join();
}

void LogCopier::watch(sqlite3 *connection)
{
    sqlite3_wal_hook(connection, &LogCopier::committed, this);
}

// Runs in each commit of a watched connection, on its thread.
int LogCopier::committed(void *context, sqlite3 *connection, const char *schema, int logPages)
{
    auto &copier = *static_cast<LogCopier *>(context);
    if (logPages < copier.checkpointPages)
        return SQLITE_OK;
    if (copier.copied.exchange(false) || copier.unable || logPages >= CommitsCopyPast * copier.checkpointPages) {
        // As SQLite's own checkpoint after a commit: a copy that cannot be
        // made now is made by a later commit.
        sqlite3_wal_checkpoint_v2(connection, schema, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        return SQLITE_OK;
    }
    copier.wake();
    return SQLITE_OK;
}

void LogCopier::wake()
{
    if (copying.exchange(true))
        return;
    {
        std::lock_guard<std::mutex> locked(lock);
        copyAsked = true;
    }
    asked.notify_one();
}

void LogCopier::run()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> locked(lock);
            asked.wait(locked, [this] { return copyAsked || stopping; });
            if (stopping)
                break;
            copyAsked = false;
        }
        if (ownConnection || openOwnConnection())
            copyInPasses();
        else
            unable = true;
        copying = false;
    }
    sqlite3_close_v2(ownConnection);
}

bool LogCopier::openOwnConnection()
{
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE;
    // A connection opens the log with its first read; until then a
    // checkpoint finds no log and copies nothing.
    if (sqlite3_open_v2(databasePath.constData(), &ownConnection, flags, nullptr) == SQLITE_OK
        && sqlite3_exec(ownConnection, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    qWarning().noquote() << "cannot open the database to copy its log, commits copy it instead:"
                         << sqlite3_errmsg(ownConnection);
    sqlite3_close_v2(ownConnection);
    ownConnection = nullptr;
    return false;
}

// Readers still on older pages of the log keep a pass from copying past
// them; what they held is copied by the next pass or the next copy.
void LogCopier::copyInPasses()
{
    const WalWriteGathering::PacedWriteback paced;
    int copiedBefore = -1;
    for (int pass = 0; pass < MostPasses; ++pass) {
        int logPages = 0;
        int copiedPages = 0;
        const int result
            = sqlite3_wal_checkpoint_v2(ownConnection, "main", SQLITE_CHECKPOINT_PASSIVE, &logPages, &copiedPages);
        if (result != SQLITE_OK) {
            if (result != SQLITE_BUSY)
                qWarning().noquote() << "cannot copy the write-ahead log into the database:"
                                     << sqlite3_errmsg(ownConnection);
            break;
        }
        if (copiedBefore >= 0 && copiedPages - copiedBefore < FewPages)
            break;
        copiedBefore = copiedPages;
    }
    copied = true;
}
