#include "walwritegathering.h"

#include <sqlite3.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <type_traits>
#include <vector>

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

// The log's handle: what SQLite sees, followed in memory by the handle of
// the underlying file system code.
struct GatheringLog
{
    sqlite3_file base;
    sqlite3_file *file;
    std::vector<char> gathered;
    sqlite3_int64 gatheredAt = 0;
    bool commitEndsWithNextWrite = false;
};
static_assert(std::is_standard_layout_v<GatheringLog>, "SQLite's handle must be where the log's begins");

GatheringLog *logOf(sqlite3_file *file)
{
    return reinterpret_cast<GatheringLog *>(file);
}

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

int writeGathered(GatheringLog *log)
{
    if (log->gathered.empty())
        return SQLITE_OK;
    int result = SQLITE_OK;
    for (std::size_t done = 0; done < log->gathered.size() && result == SQLITE_OK; done += MostPerWrite) {
        const std::size_t size = std::min(MostPerWrite, log->gathered.size() - done);
        result = log->file->pMethods->xWrite(log->file, log->gathered.data() + done, int(size),
                                             log->gatheredAt + sqlite3_int64(done));
    }
    log->gathered.clear();
    log->commitEndsWithNextWrite = false;
    return result;
}

int closeLog(sqlite3_file *file)
{
    GatheringLog *log = logOf(file);
    const int written = writeGathered(log);
    const int closed = log->file->pMethods->xClose(log->file);
    log->~GatheringLog();
    return written != SQLITE_OK ? written : closed;
}

int readLog(sqlite3_file *file, void *data, int size, sqlite3_int64 offset)
{
    GatheringLog *log = logOf(file);
    const int written = writeGathered(log);
    return written != SQLITE_OK ? written : log->file->pMethods->xRead(log->file, data, size, offset);
}

int writeLog(sqlite3_file *file, const void *data, int size, sqlite3_int64 offset)
{
    GatheringLog *log = logOf(file);
    const bool follows = offset == log->gatheredAt + sqlite3_int64(log->gathered.size());
    if (!log->gathered.empty() && (!follows || !isGatherable(size))) {
        const int written = writeGathered(log);
        if (written != SQLITE_OK)
            return written;
    }
    if (!isGatherable(size))
        return log->file->pMethods->xWrite(log->file, data, size, offset);
    if (log->gathered.empty())
        log->gatheredAt = offset;
    const char *bytes = static_cast<const char *>(data);
    try {
        log->gathered.insert(log->gathered.end(), bytes, bytes + size);
    } catch (const std::bad_alloc &) {
        return SQLITE_IOERR_NOMEM;
    }

    if (isCommitFrameHeader(data, size)) {
        log->commitEndsWithNextWrite = true;
        return SQLITE_OK;
    }
    if (log->commitEndsWithNextWrite || log->gathered.size() >= MostGathered)
        return writeGathered(log);
    return SQLITE_OK;
}

int truncateLog(sqlite3_file *file, sqlite3_int64 size)
{
    GatheringLog *log = logOf(file);
    const int written = writeGathered(log);
    return written != SQLITE_OK ? written : log->file->pMethods->xTruncate(log->file, size);
}

int syncLog(sqlite3_file *file, int flags)
{
    GatheringLog *log = logOf(file);
    const int written = writeGathered(log);
    return written != SQLITE_OK ? written : log->file->pMethods->xSync(log->file, flags);
}

int logSize(sqlite3_file *file, sqlite3_int64 *size)
{
    GatheringLog *log = logOf(file);
    const int written = writeGathered(log);
    return written != SQLITE_OK ? written : log->file->pMethods->xFileSize(log->file, size);
}

int lockLog(sqlite3_file *file, int level)
{
    sqlite3_file *underlyingFile = logOf(file)->file;
    return underlyingFile->pMethods->xLock(underlyingFile, level);
}

int unlockLog(sqlite3_file *file, int level)
{
    sqlite3_file *underlyingFile = logOf(file)->file;
    return underlyingFile->pMethods->xUnlock(underlyingFile, level);
}

int checkLogReservedLock(sqlite3_file *file, int *reserved)
{
    sqlite3_file *underlyingFile = logOf(file)->file;
    return underlyingFile->pMethods->xCheckReservedLock(underlyingFile, reserved);
}

int controlLog(sqlite3_file *file, int operation, void *argument)
{
    GatheringLog *log = logOf(file);
    const int written = writeGathered(log);
    return written != SQLITE_OK ? written : log->file->pMethods->xFileControl(log->file, operation, argument);
}

int logSectorSize(sqlite3_file *file)
{
    sqlite3_file *underlyingFile = logOf(file)->file;
    return underlyingFile->pMethods->xSectorSize(underlyingFile);
}

int logDeviceCharacteristics(sqlite3_file *file)
{
    sqlite3_file *underlyingFile = logOf(file)->file;
    return underlyingFile->pMethods->xDeviceCharacteristics(underlyingFile);
}

// SQLite maps neither the log nor its index through the log's handle, so
// the first version of the methods is all it needs.
const sqlite3_io_methods gatheringLogMethods = {
    1,
    closeLog,
    readLog,
    writeLog,
    truncateLog,
    syncLog,
    logSize,
    lockLog,
    unlockLog,
    checkLogReservedLock,
    controlLog,
    logSectorSize,
    logDeviceCharacteristics,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

constexpr int alignedSize(std::size_t size)
{
    return int((size + 7) / 8 * 8);
}

// Any other file is opened by the underlying code into the handle itself,
// which then holds that code's methods: nothing of this layer stays in
// its way.
int openFile(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *openedFlags)
{
    if (!(flags & SQLITE_OPEN_WAL))
        return underlying->xOpen(underlying, name, file, flags, openedFlags);

    auto *log = new (file) GatheringLog;
    log->base.pMethods = nullptr;
    log->file = reinterpret_cast<sqlite3_file *>(reinterpret_cast<char *>(file) + alignedSize(sizeof(GatheringLog)));
    const int opened = underlying->xOpen(underlying, name, log->file, flags, openedFlags);
    if (opened != SQLITE_OK) {
        if (log->file->pMethods)
            log->file->pMethods->xClose(log->file);
        log->~GatheringLog();
        file->pMethods = nullptr;
        return opened;
    }
    log->base.pMethods = &gatheringLogMethods;
    return SQLITE_OK;
}

sqlite3_vfs gatheringVfs;

} // namespace

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
        gatheringVfs.szOsFile = alignedSize(sizeof(GatheringLog)) + underlying->szOsFile;
        gatheringVfs.pNext = nullptr;
        gatheringVfs.xOpen = openFile;
        registered = sqlite3_vfs_register(&gatheringVfs, 1);
    });
    return registered == SQLITE_OK;
}
