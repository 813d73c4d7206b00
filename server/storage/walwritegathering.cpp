#include "walwritegathering.h"

#include <sqlite3.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The log's writes as SQLite makes them: the log's header when the log
// starts afresh, and then for each page a frame's header and the page. A
// frame header's bytes 4 to 7 hold the database's size in pages after the
// commit on a commit's last frame, and zero on every other frame. A write
// of any other size is not gathered.
constexpr int LogHeaderSize = 32;
constexpr int FrameHeaderSize = 24;
constexpr int SmallestPage = 512;
constexpr int LargestPage = 65536;
// More than this is written at once even within a commit, so that a large
// transaction does not gather all of itself in memory.
constexpr std::size_t MostGathered = 1024 * 1024;
// SQLite's own file code keeps only the low 17 bits of a write's size
// (a write of 128 KiB would be one of nothing), so gathered writes are
// handed to it in pieces of this size.
constexpr std::size_t MostPerWrite = 64 * 1024;

sqlite3_vfs *underlying = nullptr;
sqlite3_vfs gatheringVfs;

// Each open file is the underlying code's handle, which its methods are
// called with unchanged, followed in memory by what this layer keeps for
// the file: a copy of the underlying methods with some of them replaced,
// which the handle then points to.
int underlyingHandleSize()
{
    return (underlying->szOsFile + 7) / 8 * 8;
}

template<typename Kept>
Kept &keptFor(sqlite3_file *file)
{
    return *reinterpret_cast<Kept *>(reinterpret_cast<char *>(file) + underlyingHandleSize());
}

// The underlying methods, and the copy of them the handle points to.
struct KeptMethods
{
    explicit KeptMethods(const sqlite3_io_methods *underlyingMethods)
        : methods(*underlyingMethods)
        , underlyingMethods(underlyingMethods)
    { }

    sqlite3_io_methods methods;
    const sqlite3_io_methods *underlyingMethods;
};

struct Database;

// A write-ahead log. Only its connection writes to it, and only while it
// holds the log's write lock, which it takes and gives up through its
// database file: what is gathered is written before the lock is given up,
// so that no other connection's writes can come before it.
struct GatheringLog : KeptMethods
{
    using KeptMethods::KeptMethods;

    Database *database = nullptr; // whose lock this log's writes are made under
    std::vector<char> gathered;
    sqlite3_int64 gatheredAt = 0;
    bool commitEndsWithNextWrite = false;
};

// A database file's writes since its last sync, as runs of the file (in
// write-ahead-log mode only a checkpoint writes there, page by page in the
// file's order), for a paced sync to write back step by step.
struct WrittenRun
{
    sqlite3_int64 start = 0;
    sqlite3_int64 end = 0;
};
// Past this many runs a sync is not paced.
constexpr std::size_t MostRunsKept = 65536;
// A paced sync writes back this much of what was written (the pages may lie
// far apart), waits until it is on the disk, then pauses, so that another
// file's syncs can come between its steps.
constexpr sqlite3_int64 PacedStepBytes = 256 * 1024;
constexpr useconds_t PauseAfterStepUs = 1000;

thread_local bool pacedOnThisThread = false;

struct Database : KeptMethods
{
    using KeptMethods::KeptMethods;

    sqlite3_file *log = nullptr; // the log its connection has open
    std::string path;
    std::vector<WrittenRun> written;
    bool tooManyRuns = false;
};

bool isGatherable(int size)
{
    const bool isPage = size >= SmallestPage && size <= LargestPage && (size & (size - 1)) == 0;
    return isPage || size == FrameHeaderSize || size == LogHeaderSize;
}

bool isCommitFrameHeader(const void *data, int size)
{
    if (size != FrameHeaderSize)
        return false;
    const auto *header = static_cast<const unsigned char *>(data);
    return header[4] != 0 || header[5] != 0 || header[6] != 0 || header[7] != 0;
}

int writeGathered(sqlite3_file *file)
{
    GatheringLog &log = keptFor<GatheringLog>(file);
    int result = SQLITE_OK;
    for (std::size_t done = 0; done < log.gathered.size() && result == SQLITE_OK; done += MostPerWrite) {
        const std::size_t size = std::min(MostPerWrite, log.gathered.size() - done);
        result = log.underlyingMethods->xWrite(file, log.gathered.data() + done, int(size),
                                               log.gatheredAt + sqlite3_int64(done));
    }
    log.gathered.clear();
    log.commitEndsWithNextWrite = false;
    return result;
}

// Runs call with the underlying methods once what is gathered is written.
template<typename Call>
int afterWritingGathered(sqlite3_file *file, Call &&call)
{
    const int written = writeGathered(file);
    return written != SQLITE_OK ? written : call(*keptFor<GatheringLog>(file).underlyingMethods);
}

int writeLog(sqlite3_file *file, const void *data, int size, sqlite3_int64 offset)
{
    GatheringLog &log = keptFor<GatheringLog>(file);
    const bool follows = offset == log.gatheredAt + sqlite3_int64(log.gathered.size());
    if (!log.gathered.empty() && (!follows || !isGatherable(size))) {
        const int written = writeGathered(file);
        if (written != SQLITE_OK)
            return written;
    }
    if (!isGatherable(size))
        return log.underlyingMethods->xWrite(file, data, size, offset);
    if (log.gathered.empty())
        log.gatheredAt = offset;
    const char *bytes = static_cast<const char *>(data);
    try {
        log.gathered.insert(log.gathered.end(), bytes, bytes + size);
    } catch (const std::bad_alloc &) {
        return SQLITE_IOERR_NOMEM;
    }

    if (isCommitFrameHeader(data, size)) {
        log.commitEndsWithNextWrite = true;
        return SQLITE_OK;
    }
    if (log.commitEndsWithNextWrite || log.gathered.size() >= MostGathered)
        return writeGathered(file);
    return SQLITE_OK;
}

int readLog(sqlite3_file *file, void *data, int size, sqlite3_int64 offset)
{
    return afterWritingGathered(
        file, [&](const sqlite3_io_methods &methods) { return methods.xRead(file, data, size, offset); });
}

int truncateLog(sqlite3_file *file, sqlite3_int64 size)
{
    return afterWritingGathered(file, [&](const sqlite3_io_methods &methods) { return methods.xTruncate(file, size); });
}

int syncLog(sqlite3_file *file, int flags)
{
    return afterWritingGathered(file, [&](const sqlite3_io_methods &methods) { return methods.xSync(file, flags); });
}

int logSize(sqlite3_file *file, sqlite3_int64 *size)
{
    return afterWritingGathered(file, [&](const sqlite3_io_methods &methods) { return methods.xFileSize(file, size); });
}

int controlLog(sqlite3_file *file, int operation, void *argument)
{
    return afterWritingGathered(
        file, [&](const sqlite3_io_methods &methods) { return methods.xFileControl(file, operation, argument); });
}

int closeLog(sqlite3_file *file)
{
    GatheringLog &log = keptFor<GatheringLog>(file);
    const int written = writeGathered(file);
    if (log.database)
        log.database->log = nullptr;
    const int closed = log.underlyingMethods->xClose(file);
    log.~GatheringLog();
    return written != SQLITE_OK ? written : closed;
}

// A connection gives up the log's write lock, among others, here.
int lockDatabaseIndex(sqlite3_file *file, int offset, int count, int flags)
{
    Database &database = keptFor<Database>(file);
    if ((flags & SQLITE_SHM_UNLOCK) && database.log)
        writeGathered(database.log); // what failed here was a transaction already given up
    return database.underlyingMethods->xShmLock(file, offset, count, flags);
}

// SQLite calls this as it shows a commit to other connections, between
// writing the two copies of the log index's header, which a reader takes
// only when they agree: whatever is gathered is in the file before any
// other connection can read the commit, even if its last frame was not
// recognised as such.
void showDatabaseIndex(sqlite3_file *file)
{
    Database &database = keptFor<Database>(file);
    if (database.log)
        writeGathered(database.log);
    database.underlyingMethods->xShmBarrier(file);
}

void keepRun(Database &database, sqlite3_int64 offset, sqlite3_int64 end)
{
    if (!database.written.empty() && database.written.back().end == offset) {
        database.written.back().end = end;
    } else if (database.written.size() < MostRunsKept) {
        try {
            database.written.push_back({offset, end});
        } catch (const std::bad_alloc &) {
            database.tooManyRuns = true; // the sync is then made all at once
        }
    } else {
        database.tooManyRuns = true;
    }
}

// Only a paced sync uses the runs: other threads' writes keep none.
int writeDatabase(sqlite3_file *file, const void *data, int size, sqlite3_int64 offset)
{
    Database &database = keptFor<Database>(file);
    if (pacedOnThisThread)
        keepRun(database, offset, offset + size);
    return database.underlyingMethods->xWrite(file, data, size, offset);
}

// Writes back the runs a step at a time before the sync itself, which then
// has little left to do.
void writeBackPaced(Database &database)
{
    std::sort(database.written.begin(), database.written.end(),
              [](const WrittenRun &a, const WrittenRun &b) { return a.start < b.start; });
    const int file = ::open(database.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return;
    const unsigned int waitForTheDisk
        = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
    for (auto run = database.written.begin(); run != database.written.end();) {
        const sqlite3_int64 stepStart = run->start;
        sqlite3_int64 stepEnd = run->end;
        sqlite3_int64 stepBytes = run->end - run->start;
        while (++run != database.written.end() && stepBytes + (run->end - run->start) <= PacedStepBytes) {
            stepBytes += run->end - run->start;
            stepEnd = std::max(stepEnd, run->end);
        }
        ::sync_file_range(file, stepStart, stepEnd - stepStart, waitForTheDisk);
        ::usleep(PauseAfterStepUs);
    }
    ::close(file);
}

int syncDatabase(sqlite3_file *file, int flags)
{
    Database &database = keptFor<Database>(file);
    if (pacedOnThisThread && !database.tooManyRuns && !database.path.empty())
        writeBackPaced(database);
    database.written.clear();
    database.tooManyRuns = false;
    return database.underlyingMethods->xSync(file, flags);
}

int closeDatabase(sqlite3_file *file)
{
    Database &database = keptFor<Database>(file);
    if (database.log)
        keptFor<GatheringLog>(database.log).database = nullptr;
    const int closed = database.underlyingMethods->xClose(file);
    database.~Database();
    return closed;
}

void keepDatabase(sqlite3_file *file, const char *name)
{
    Database &database = *new (&keptFor<Database>(file)) Database(file->pMethods);
    if (name)
        database.path = name;
    database.methods.xClose = closeDatabase;
    database.methods.xWrite = writeDatabase;
    database.methods.xSync = syncDatabase;
    database.methods.xShmLock = lockDatabaseIndex;
    database.methods.xShmBarrier = showDatabaseIndex;
    file->pMethods = &database.methods;
}

// A log is gathered only when its database file is one of this layer's,
// which sees the write lock given up and the commit shown; otherwise it
// passes straight through.
void keepLog(sqlite3_file *file, const char *name)
{
    sqlite3_file *databaseFile = sqlite3_database_file_object(name);
    if (!databaseFile || databaseFile->pMethods->xShmLock != lockDatabaseIndex)
        return;
    GatheringLog &log = *new (&keptFor<GatheringLog>(file)) GatheringLog(file->pMethods);
    log.methods.xClose = closeLog;
    log.methods.xRead = readLog;
    log.methods.xWrite = writeLog;
    log.methods.xTruncate = truncateLog;
    log.methods.xSync = syncLog;
    log.methods.xFileSize = logSize;
    log.methods.xFileControl = controlLog;
    log.database = &keptFor<Database>(databaseFile);
    log.database->log = file;
    file->pMethods = &log.methods;
}

int openFile(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *openedFlags)
{
    const int opened = underlying->xOpen(underlying, name, file, flags, openedFlags);
    if (opened != SQLITE_OK || !file->pMethods || file->pMethods->iVersion < 2 || !file->pMethods->xShmLock
        || !file->pMethods->xShmBarrier)
        return opened;
    if (flags & SQLITE_OPEN_MAIN_DB)
        keepDatabase(file, name);
    else if (flags & SQLITE_OPEN_WAL)
        keepLog(file, name);
    return opened;
}

} // namespace

WalWriteGathering::PacedWriteback::PacedWriteback()
{
    pacedOnThisThread = true;
}

WalWriteGathering::PacedWriteback::~PacedWriteback()
{
    pacedOnThisThread = false;
}

bool WalWriteGathering::install()
{
    static int registered = SQLITE_ERROR;
    static std::once_flag once;
    std::call_once(once, [] {
        underlying = sqlite3_vfs_find(nullptr);
        if (!underlying)
            return;
        gatheringVfs = *underlying;
        gatheringVfs.zName = "repair-server-gathered-log";
        gatheringVfs.szOsFile = underlyingHandleSize() + int(std::max(sizeof(GatheringLog), sizeof(Database)));
        gatheringVfs.pNext = nullptr;
        gatheringVfs.xOpen = openFile;
        registered = sqlite3_vfs_register(&gatheringVfs, 1);
    });
    return registered == SQLITE_OK;
}
