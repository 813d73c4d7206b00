#pragma once

#include <QString>

class Store;

// The database schema, as numbered steps. Each step runs once, in its own
// transaction, and is recorded in the schema_version table; opening a
// database applies the steps it has not had yet.
namespace SchemaMigrations {

// The schema version this server writes.
int latestVersion();

// Brings the store's schema up to latestVersion(). Refuses a database
// written by a newer server.
bool apply(Store &store, QString *error);

} // namespace SchemaMigrations
