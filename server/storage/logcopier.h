#pragma once

#include <QByteArray>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

struct sqlite3;

// Copies an SQLite database's write-ahead log back into the database file
// on a thread of its own, so that commits go on meanwhile.
//
// SQLite makes that copy (a checkpoint) in the commit that grows the log
// past a size, and the committing connection waits for it: under a shift's
// writes about twice a second, each time holding up every handler for the
// copy and the file's sync. Here such a commit only wakes the copier, whose
// own connection copies what the log holds, again while much came
// meanwhile; its syncs of the file reach the disk in paced steps
// (WalWriteGathering::PacedWriteback), so that the log's syncs, which every
// reply waits for, are not queued behind them.
//
// SQLite starts the log afresh only for a writer that finds all of it
// copied as its transaction begins: so the first commit after the copier is
// done copies the few pages that came meanwhile itself. A log that grows
// past four times the size all the same (the copier cannot keep up, or
// could not open the database) is copied by its commits, as SQLite would.
class LogCopier
{
public:
    LogCopier(const QByteArray &databasePath, int checkpointPages);
    // Waits for a copy under way.
    ~LogCopier();
    LogCopier(const LogCopier &) = delete;
    LogCopier &operator=(const LogCopier &) = delete;

    // This connection's commits copy the log as described above, in place
    // of SQLite's own checkpoints. A connection that never writes needs none.
    void watch(sqlite3 *connection);

private:
    static int committed(void *copier, sqlite3 *connection, const char *schema, int logPages);
    void wake();
    void run();
    bool openOwnConnection();
    void copyInPasses();

    const QByteArray databasePath;
    const int checkpointPages;
    sqlite3 *ownConnection = nullptr; // used on the copier's thread only

    std::mutex lock;
    std::condition_variable asked;
    bool copyAsked = false;
    bool stopping = false;
    std::atomic<bool> copying{false};
    std::atomic<bool> copied{false}; // a copy ended; the next commit makes the rest
    std::atomic<bool> unable{false}; // no connection of its own: commits copy
    std::thread thread; // last: started once everything it uses is made
};
