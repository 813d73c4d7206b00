#include "schemamigrations.h"

#include "store.h"

#include <QDateTime>
#include <QSqlError>
#include <QStringList>

namespace {

struct Migration
{
    int version;
    QStringList statements; // "{key}" stands for the generated primary key type
    // Run after the shared statements, on one kind of database only.
    QStringList sqliteOnly = {};
    QStringList postgresOnly = {};
};

// Times are Unix seconds; flags are 0 or 1; a removed row keeps its data and
// gets removed_at set.
const QList<Migration> &migrations()
{
    static const QList<Migration> steps = {
        {1,
         {
             QStringLiteral("CREATE TABLE departments ("
                            " id {key},"
                            " name TEXT NOT NULL UNIQUE,"
                            " removed_at BIGINT)"),

             QStringLiteral("CREATE TABLE users ("
                            " id {key},"
                            " user_name TEXT NOT NULL UNIQUE,"
                            " first_name TEXT NOT NULL DEFAULT '',"
                            " last_name TEXT NOT NULL DEFAULT '',"
                            " department_id BIGINT REFERENCES departments(id),"
                            " permission_level INTEGER NOT NULL CHECK (permission_level BETWEEN 1 AND 3),"
                            " password_hash TEXT NOT NULL,"
                            " active INTEGER NOT NULL DEFAULT 1 CHECK (active IN (0, 1)),"
                            " created_at BIGINT NOT NULL)"),
             QStringLiteral("CREATE INDEX users_by_department ON users(department_id)"),

             // One row per period at work; end_time stays empty while the
             // user is clocked in, and only one period per user may be open.
             QStringLiteral("CREATE TABLE clock_records ("
                            " id {key},"
                            " user_id BIGINT NOT NULL REFERENCES users(id),"
                            " start_time BIGINT NOT NULL,"
                            " end_time BIGINT)"),
             QStringLiteral("CREATE INDEX clock_records_by_user ON clock_records(user_id, start_time)"),
             QStringLiteral("CREATE INDEX clock_records_by_start ON clock_records(start_time)"),
             QStringLiteral(
                 "CREATE UNIQUE INDEX clock_records_one_open ON clock_records(user_id) WHERE end_time IS NULL"),

             // A bin, by the ID painted on it: "KD..." front end, "ROR..." roll off.
             QStringLiteral("CREATE TABLE bins ("
                            " id {key},"
                            " bin_id TEXT NOT NULL UNIQUE,"
                            " work_type TEXT NOT NULL CHECK (work_type IN ('Front End Repair', 'Roll Off Repair')),"
                            " bin_size TEXT NOT NULL DEFAULT '',"
                            " created_at BIGINT NOT NULL)"),

             // One repair of one bin. repair_id counts the repairs of that bin.
             QStringLiteral("CREATE TABLE bin_orders ("
                            " id {key},"
                            " bin_ref BIGINT NOT NULL REFERENCES bins(id),"
                            " repair_id INTEGER NOT NULL,"
                            " owner_id BIGINT NOT NULL REFERENCES users(id),"
                            " work_type TEXT NOT NULL CHECK (work_type IN ('Front End Repair', 'Roll Off Repair')),"
                            " code_list TEXT NOT NULL DEFAULT '',"
                            " bin_size TEXT NOT NULL DEFAULT '',"
                            " additional_info TEXT NOT NULL DEFAULT '',"
                            " status INTEGER NOT NULL CHECK (status BETWEEN 1 AND 6),"
                            " created_at BIGINT NOT NULL,"
                            " finished_at BIGINT,"
                            " removed_at BIGINT,"
                            " UNIQUE (bin_ref, repair_id))"),
             QStringLiteral("CREATE INDEX bin_orders_by_status ON bin_orders(status, owner_id)"),
             QStringLiteral("CREATE INDEX bin_orders_by_owner ON bin_orders(owner_id, created_at)"),

             // Lines in the order they were entered (id order). time_text is
             // the time as entered, hours ":" minutes; minutes is the same
             // time for sums.
             QStringLiteral("CREATE TABLE bin_repair_lines ("
                            " id {key},"
                            " order_id BIGINT NOT NULL REFERENCES bin_orders(id) ON DELETE CASCADE,"
                            " repair_code TEXT NOT NULL,"
                            " materials TEXT NOT NULL DEFAULT '',"
                            " time_text TEXT NOT NULL,"
                            " minutes INTEGER NOT NULL CHECK (minutes >= 0),"
                            " user_id BIGINT NOT NULL REFERENCES users(id),"
                            " created_at BIGINT NOT NULL)"),
             QStringLiteral("CREATE INDEX bin_repair_lines_by_order ON bin_repair_lines(order_id)"),

             // The state of the bin before repair: 1 good, 0 bad.
             QStringLiteral("CREATE TABLE pre_checks ("
                            " order_id BIGINT PRIMARY KEY REFERENCES bin_orders(id) ON DELETE CASCADE,"
                            " lids_good INTEGER NOT NULL CHECK (lids_good IN (0, 1)),"
                            " chains_good INTEGER NOT NULL CHECK (chains_good IN (0, 1)),"
                            " lid_rod_good INTEGER NOT NULL CHECK (lid_rod_good IN (0, 1)),"
                            " user_id BIGINT NOT NULL REFERENCES users(id),"
                            " recorded_at BIGINT NOT NULL)"),

             // The inspection after repair: the two measurements as entered
             // and the eight checks (1 passed).
             QStringLiteral("CREATE TABLE final_checks ("
                            " order_id BIGINT PRIMARY KEY REFERENCES bin_orders(id) ON DELETE CASCADE,"
                            " lid_size TEXT NOT NULL,"
                            " lid_tab_width TEXT NOT NULL,"
                            " bin_id_ok INTEGER NOT NULL DEFAULT 1 CHECK (bin_id_ok IN (0, 1)),"
                            " cracks_ok INTEGER NOT NULL DEFAULT 1 CHECK (cracks_ok IN (0, 1)),"
                            " lock_tab_ok INTEGER NOT NULL DEFAULT 1 CHECK (lock_tab_ok IN (0, 1)),"
                            " tacks_ok INTEGER NOT NULL DEFAULT 1 CHECK (tacks_ok IN (0, 1)),"
                            " channels_ok INTEGER NOT NULL DEFAULT 1 CHECK (channels_ok IN (0, 1)),"
                            " pockets_ok INTEGER NOT NULL DEFAULT 1 CHECK (pockets_ok IN (0, 1)),"
                            " gussets_ok INTEGER NOT NULL DEFAULT 1 CHECK (gussets_ok IN (0, 1)),"
                            " lid_bridge_ok INTEGER NOT NULL DEFAULT 1 CHECK (lid_bridge_ok IN (0, 1)),"
                            " user_id BIGINT NOT NULL REFERENCES users(id),"
                            " recorded_at BIGINT NOT NULL)"),

             // A customer job not tied to a bin; its id is the order number
             // the screens carry. order_date is the date text the client
             // showed when the job was started.
             QStringLiteral("CREATE TABLE custom_orders ("
                            " id {key},"
                            " owner_id BIGINT NOT NULL REFERENCES users(id),"
                            " order_date TEXT NOT NULL,"
                            " worker TEXT NOT NULL,"
                            " job_type TEXT NOT NULL,"
                            " customer TEXT NOT NULL,"
                            " customer_ref TEXT NOT NULL DEFAULT '',"
                            " contact_name TEXT NOT NULL DEFAULT '',"
                            " phone TEXT NOT NULL DEFAULT '',"
                            " email TEXT NOT NULL DEFAULT '',"
                            " status INTEGER NOT NULL CHECK (status BETWEEN 1 AND 6),"
                            " created_at BIGINT NOT NULL,"
                            " finished_at BIGINT,"
                            " removed_at BIGINT)"),
             QStringLiteral("CREATE INDEX custom_orders_by_status ON custom_orders(status, owner_id)"),
             QStringLiteral("CREATE INDEX custom_orders_by_owner ON custom_orders(owner_id, created_at)"),

             QStringLiteral("CREATE TABLE custom_repair_lines ("
                            " id {key},"
                            " order_id BIGINT NOT NULL REFERENCES custom_orders(id) ON DELETE CASCADE,"
                            " description TEXT NOT NULL,"
                            " materials TEXT NOT NULL DEFAULT '',"
                            " hours INTEGER NOT NULL CHECK (hours >= 0),"
                            " minutes INTEGER NOT NULL CHECK (minutes BETWEEN 0 AND 59),"
                            " user_id BIGINT NOT NULL REFERENCES users(id),"
                            " created_at BIGINT NOT NULL)"),
             QStringLiteral("CREATE INDEX custom_repair_lines_by_order ON custom_repair_lines(order_id)"),

             // Time worked on one order, bin or custom: open while end_time
             // is empty.
             QStringLiteral("CREATE TABLE order_time_stamps ("
                            " id {key},"
                            " bin_order_id BIGINT REFERENCES bin_orders(id) ON DELETE CASCADE,"
                            " custom_order_id BIGINT REFERENCES custom_orders(id) ON DELETE CASCADE,"
                            " user_id BIGINT NOT NULL REFERENCES users(id),"
                            " start_time BIGINT NOT NULL,"
                            " end_time BIGINT,"
                            " CHECK ((bin_order_id IS NULL) <> (custom_order_id IS NULL)))"),
             QStringLiteral("CREATE INDEX order_time_stamps_by_bin_order ON order_time_stamps(bin_order_id)"),
             QStringLiteral("CREATE INDEX order_time_stamps_by_custom_order ON order_time_stamps(custom_order_id)"),

             QStringLiteral("CREATE TABLE repair_codes ("
                            " id {key},"
                            " code_list TEXT NOT NULL CHECK (code_list IN ('FER', 'ROR', 'KD')),"
                            " code TEXT NOT NULL,"
                            " code_type TEXT NOT NULL,"
                            " description TEXT NOT NULL,"
                            " UNIQUE (code_list, code))"),
         }},
        {2,
         {
             // The last number proposed for a new bin ID, per ID prefix
             // ("KD", "ROR"), so that no proposal is made twice.
             QStringLiteral("CREATE TABLE bin_id_counters ("
                            " prefix TEXT PRIMARY KEY,"
                            " last_number BIGINT NOT NULL)"),
         }},
        {3,
         {
             // Who is logged in at each terminal, by the peer address the
             // login came from; last_used_at is when the terminal was last
             // served, for ending idle sessions.
             QStringLiteral("CREATE TABLE terminal_sessions ("
                            " peer_address TEXT PRIMARY KEY,"
                            " user_id BIGINT NOT NULL REFERENCES users(id),"
                            " started_at BIGINT NOT NULL,"
                            " last_used_at BIGINT NOT NULL)"),
         }},
        {4,
         {
             // A removed repair code leaves the catalogue the bin screens
             // offer; repair lines keep their code text.
             QStringLiteral("ALTER TABLE repair_codes ADD COLUMN removed_at BIGINT"),
             QStringLiteral("CREATE INDEX users_by_active_name ON users(active, user_name)"),

             // Every change to repair codes, accounts and departments: who
             // made it (the user logged in at the sending terminal, empty
             // when unknown), the command, what it changed, and the values
             // before and after as JSON objects (empty for none). Names are
             // kept as text, so no deletion elsewhere reaches these rows, and
             // nothing deletes or changes them.
             QStringLiteral("CREATE TABLE audit_log ("
                            " id {key},"
                            " changed_at BIGINT NOT NULL,"
                            " actor TEXT NOT NULL,"
                            " command TEXT NOT NULL,"
                            " subject TEXT NOT NULL,"
                            " before_value TEXT,"
                            " after_value TEXT)"),
             QStringLiteral("CREATE INDEX audit_log_by_time ON audit_log(changed_at)"),
             QStringLiteral("CREATE INDEX audit_log_by_subject ON audit_log(subject, changed_at)"),
         }},
        {5,
         {
             // completed_at: when the worker finished the order (a bin order
             // reaching status 4, a custom job submitted), kept while it
             // waits for and after confirmation; the finished-order lists
             // are sorted by it. removed_by: who removed the order (empty
             // when not known), beside removed_at.
             QStringLiteral("ALTER TABLE bin_orders ADD COLUMN completed_at BIGINT"),
             QStringLiteral("ALTER TABLE bin_orders ADD COLUMN removed_by BIGINT REFERENCES users(id)"),
             QStringLiteral("ALTER TABLE custom_orders ADD COLUMN completed_at BIGINT"),
             QStringLiteral("ALTER TABLE custom_orders ADD COLUMN removed_by BIGINT REFERENCES users(id)"),
             // Orders finished before: the end of their last time stamp is
             // the best record of when the worker was done.
             QStringLiteral("UPDATE bin_orders SET completed_at = COALESCE("
                            "(SELECT MAX(t.end_time) FROM order_time_stamps t WHERE t.bin_order_id = bin_orders.id),"
                            " finished_at, created_at) WHERE status >= 4"),
             QStringLiteral(
                 "UPDATE custom_orders SET completed_at = COALESCE("
                 "(SELECT MAX(t.end_time) FROM order_time_stamps t WHERE t.custom_order_id = custom_orders.id),"
                 " finished_at, created_at) WHERE status IN (3, 5, 6)"),
             // The finished-order lists read one owner's finished orders of
             // a work type in the order they were finished from the index alone.
             QStringLiteral("CREATE INDEX bin_orders_finished"
                            " ON bin_orders(work_type, owner_id, completed_at, bin_ref, repair_id, status, removed_at)"
                            " WHERE removed_at IS NULL AND status >= 4"),
             QStringLiteral("CREATE INDEX custom_orders_finished ON custom_orders(owner_id, completed_at)"),
         }},
        {6,
         {
             // Every change to clock records: who (the terminal's address
             // and the user logged in there), when, whose period, and the
             // period before and after (a start without an end is an open
             // period; no start, no period). Rows are only ever added.
             QStringLiteral("CREATE TABLE clock_audit ("
                            " id {key},"
                            " acted_at BIGINT NOT NULL,"
                            " terminal TEXT NOT NULL,"
                            " acted_by TEXT NOT NULL,"
                            " action TEXT NOT NULL"
                            " CHECK (action IN ('clock in', 'clock out', 'add', 'edit', 'remove')),"
                            " user_id BIGINT NOT NULL REFERENCES users(id),"
                            " before_start BIGINT,"
                            " before_end BIGINT,"
                            " after_start BIGINT,"
                            " after_end BIGINT)"),
             QStringLiteral("CREATE INDEX clock_audit_by_user ON clock_audit(user_id, acted_at)"),
         }},
        {7,
         {
             // Roll-off orders that a checker sent back waited for final
             // checks, which roll-off bins never have; they reopen on their
             // sheet instead.
             QStringLiteral("UPDATE bin_orders SET status = 2 WHERE status = 3 AND work_type = 'Roll Off Repair'"),
         }},
        {8,
         {
             // The review lists read each owner's orders at a status oldest
             // first from the index, without sorting them.
             QStringLiteral("DROP INDEX bin_orders_by_status"),
             QStringLiteral("CREATE INDEX bin_orders_by_status ON bin_orders(status, owner_id, created_at)"),
             // The finished-order lists sort by completion, then by id: with
             // id next in the key, each owner's orders come sorted as well.
             QStringLiteral("DROP INDEX bin_orders_finished"),
             QStringLiteral(
                 "CREATE INDEX bin_orders_finished"
                 " ON bin_orders(work_type, owner_id, completed_at, id, bin_ref, repair_id, status, removed_at)"
                 " WHERE removed_at IS NULL AND status >= 4"),
             // The finished custom-job list reads every column it needs
             // from the index, in list order, instead of one table row per job.
             QStringLiteral("DROP INDEX custom_orders_finished"),
             QStringLiteral("CREATE INDEX custom_orders_finished ON custom_orders(owner_id, completed_at, id, status,"
                            " removed_at, job_type, customer, customer_ref)"),
         }},
        {9,
         {
             // Each order keeps its bin's ID (which never changes), so that
             // the finished-order list reads an owner's orders from the index
             // alone, without looking up every bin.
             QStringLiteral("ALTER TABLE bin_orders ADD COLUMN bin_id TEXT NOT NULL DEFAULT ''"),
             QStringLiteral(
                 "UPDATE bin_orders SET bin_id = (SELECT b.bin_id FROM bins b WHERE b.id = bin_orders.bin_ref)"),
             QStringLiteral("DROP INDEX bin_orders_finished"),
             QStringLiteral(
                 "CREATE INDEX bin_orders_finished"
                 " ON bin_orders(work_type, owner_id, completed_at, id, bin_id, repair_id, status, removed_at)"
                 " WHERE removed_at IS NULL AND status >= 4"),
             // Counting the orders at a status and finding each owner's
             // oldest read the index alone, removed orders left out by key.
             QStringLiteral("DROP INDEX bin_orders_by_status"),
             QStringLiteral(
                 "CREATE INDEX bin_orders_by_status ON bin_orders(status, owner_id, removed_at, created_at)"),
             // Nothing reads the clock audit by user; the index made every
             // clock action write, and sync, a page of that user's as well.
             QStringLiteral("DROP INDEX clock_audit_by_user"),
         }},
        {10,
         {
             // Counting the custom jobs waiting for confirmation reads the
             // index alone, removed jobs left out by key, however many wait.
             QStringLiteral("DROP INDEX custom_orders_by_status"),
             QStringLiteral("CREATE INDEX custom_orders_by_status ON custom_orders(status, owner_id, removed_at)"),
         }},
        {11,
         {
             // Counts every change of the repair-code catalogue, however it
             // is made (the server, the sqlite3 shell, psql), so that the
             // server may keep the code lists it read while the count stays.
             QStringLiteral("CREATE TABLE repair_codes_version (version BIGINT NOT NULL)"),
             QStringLiteral("INSERT INTO repair_codes_version (version) VALUES (0)"),
         },
         {
             QStringLiteral("CREATE TRIGGER repair_codes_inserted AFTER INSERT ON repair_codes"
                            " BEGIN UPDATE repair_codes_version SET version = version + 1; END"),
             QStringLiteral("CREATE TRIGGER repair_codes_updated AFTER UPDATE ON repair_codes"
                            " BEGIN UPDATE repair_codes_version SET version = version + 1; END"),
             QStringLiteral("CREATE TRIGGER repair_codes_deleted AFTER DELETE ON repair_codes"
                            " BEGIN UPDATE repair_codes_version SET version = version + 1; END"),
         },
         {
             QStringLiteral("CREATE FUNCTION count_repair_codes_change() RETURNS trigger LANGUAGE plpgsql"
                            " AS $$ BEGIN UPDATE repair_codes_version SET version = version + 1; RETURN NULL; END $$"),
             QStringLiteral("CREATE TRIGGER repair_codes_changed AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE"
                            " ON repair_codes FOR EACH STATEMENT EXECUTE FUNCTION count_repair_codes_change()"),
         }},
    };
    return steps;
}

bool ensureVersionTable(Store &store, QString *error)
{
    if (!store.define(QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version ("
                                     " version INTEGER PRIMARY KEY,"
                                     " applied_at BIGINT NOT NULL)"))) {
        *error = QStringLiteral("cannot create the schema_version table");
        return false;
    }
    return true;
}

bool applyOne(Store &store, const Migration &migration)
{
    return store.transaction([&] {
        const QStringList &ownStatements = store.sharedByServers() ? migration.postgresOnly : migration.sqliteOnly;
        for (QString statement : migration.statements + ownStatements) {
            statement.replace(QLatin1String("{key}"), store.generatedKeyType());
            if (!store.define(statement))
                return false;
        }
        QSqlQuery record
            = store.prepare(QStringLiteral("INSERT INTO schema_version (version, applied_at) VALUES (:version, :now)"));
        record.bindValue(QStringLiteral(":version"), migration.version);
        record.bindValue(QStringLiteral(":now"), QDateTime::currentSecsSinceEpoch());
        return Store::execute(record);
    });
}

} // namespace

namespace SchemaMigrations {

int latestVersion()
{
    return migrations().last().version;
}

bool apply(Store &store, QString *error)
{
    if (!ensureVersionTable(store, error))
        return false;
    const int current = store.schemaVersion();
    if (current > latestVersion()) {
        *error = QStringLiteral("the database has schema version %1, newer than this server knows (%2)")
                     .arg(current)
                     .arg(latestVersion());
        return false;
    }
    for (const Migration &migration : migrations()) {
        if (migration.version <= current)
            continue;
        if (!applyOne(store, migration)) {
            *error = QStringLiteral("cannot bring the database to schema version %1").arg(migration.version);
            return false;
        }
    }
    return true;
}

} // namespace SchemaMigrations
