#pragma once

// SQLite writes each page of a commit to the write-ahead log in two system
// calls, the page's 24-byte frame header and then the page itself. Under a
// shift's writes that was tens of thousands of calls a second, about a tenth
// of the database thread's time.
//
// This layer over SQLite's own file code gathers the log's writes in
// memory while they follow each other in the file, and writes them in one
// call once the commit's last page has come; before that the commit is not
// visible to other connections. What is gathered is also written before
// anything that looks at the log (a read, a sync, its size, a truncation,
// closing it) and before the connection gives up the log's write lock, so
// that no other connection's writes come before it.
//
// A database file passes straight through, but for its syncs on a thread
// that asks for paced ones (PacedWriteback). Every other file passes
// straight through.
namespace WalWriteGathering {

// Makes the layer SQLite's default for this process, once; the connections
// opened afterwards use it. False if SQLite refused it.
bool install();

// While one lives on a thread, that thread's syncs of a database file
// first write back what was written since the last sync in small steps,
// waiting for the disk after each and pausing between them. A checkpoint's
// sync of about a thousand pages spread over the file otherwise takes the
// disk for about 10 ms at once, and the log's syncs, which every reply
// waits for, queue behind it.
class PacedWriteback
{
public:
    PacedWriteback();
    ~PacedWriteback();
    PacedWriteback(const PacedWriteback &) = delete;
    PacedWriteback &operator=(const PacedWriteback &) = delete;
};

} // namespace WalWriteGathering
