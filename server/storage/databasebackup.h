#pragma once

#include <QString>

// Copies of the SQLite database taken and put back from the command line.
namespace DatabaseBackup {

// Writes a consistent copy of the database, even while a server writes to
// it, to a new file at backupPath, then checks the copy is whole and has
// the database's schema version. False, with the reason, otherwise; a copy
// that fails its check is deleted.
bool backUp(const QString &databasePath, const QString &backupPath, QString *error);

// Puts a checked copy in place of the database. Refused while a server
// holds the database (see ServerLock). The database it replaces, with its
// write-ahead log, is kept beside it under a name ending in ".before-restore-"
// and the time, which is named in movedAside.
bool restore(const QString &backupPath, const QString &databasePath, QString *movedAside, QString *error);

} // namespace DatabaseBackup
