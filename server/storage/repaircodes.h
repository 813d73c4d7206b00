#pragma once

#include "store.h"

#include <QHash>
#include <QList>

#include <mutex>

struct RepairCode
{
    QString codeList; // "FER", "ROR" or "KD"
    QString code;
    QString type;
    QString description;
};

// The repair-code catalogue. A code is unique within its list. Removing a
// code takes it out of the catalogue but keeps its row, so that adding the
// same code again brings it back; repair lines only ever hold code text.
class RepairCodes
{
public:
    explicit RepairCodes(Store &store)
        : store(store)
    { }

    enum class AddResult { Added, CodeTaken, Failed };
    // Adds the code, or brings a removed one back with the new type and
    // description; CodeTaken while the list offers the code already.
    AddResult add(const RepairCode &code);

    // The code as the catalogue offers it; removed codes are not found.
    Lookup<RepairCode> find(const QString &codeList, const QString &code) const;

    // Change the type and description, or remove, a code the catalogue
    // offers; false when it offers no such code or the store failed.
    bool update(const RepairCode &code);
    bool remove(const QString &codeList, const QString &code, qint64 now);

    // The codes one list ("FER", "ROR" or "KD") offers, ordered by code.
    // Every repair sheet asks for its list as it opens: a list is read
    // from the catalogue again only once the catalogue has changed.
    std::optional<QList<RepairCode>> codesOf(const QString &codeList) const;

private:
    struct ListRead
    {
        qint64 catalogueVersion = 0;
        QList<RepairCode> codes;
    };

    // Counted up by the database itself on every change of the catalogue.
    std::optional<qint64> catalogueVersion() const;

    Store &store;
    mutable std::mutex listsLock; // handlers read lists on several threads
    mutable QHash<QString, ListRead> listsRead;
};
