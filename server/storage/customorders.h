#pragma once

#include "store.h"

#include <QList>
#include <QString>

#include <functional>

// The screens name a custom job by three values together: its order number
// and the job type and customer it was started with.
struct CustomJobKey
{
    qint64 id = 0;
    QString jobType;
    QString customer;
};

// What a worker enters when starting a custom job.
struct NewCustomJob
{
    QString date; // the date text the start screen showed
    QString worker;
    QString jobType;
    QString customer;
    QString customerRef; // the customer's own ID, may be empty
    QString contactName;
    QString phone;
    QString email;
};

struct CustomJob
{
    qint64 id = 0;
    qint64 ownerId = 0;
    int status = 0;
    NewCustomJob details;
};

// One repair line of a custom job.
struct CustomLine
{
    QString description;
    QString materials;
    int hours = 0;
    int minutes = 0;

    // "h:m", each a plain decimal number: 1:5 is one hour five minutes.
    QString timeText() const;
};

// Custom jobs and their repair lines (custom_orders, custom_repair_lines).
// Removed jobs are treated as if they did not exist. Lines are kept in the
// order they were entered; a line is named by its values, and where several
// lines have the same values, the earliest entered is the one meant.
//
// Writes that depend on where a job stands take the statuses it may have
// (allowedFrom) and check them in the same transaction as the write, so a
// job never changes from a state the caller did not expect.
class CustomOrders
{
public:
    explicit CustomOrders(Store &store)
        : store(store)
    { }

    // Starts a job at status 1 and gives its order number.
    std::optional<qint64> start(const NewCustomJob &job, qint64 ownerId, qint64 now);

    // The job whose order number, job type and customer all match.
    Lookup<CustomJob> find(const CustomJobKey &key) const;

    // The jobs with one of these statuses, oldest first.
    std::optional<QList<CustomJob>> withStatus(const QList<int> &statuses) const;

    std::optional<QList<CustomLine>> lines(qint64 id) const;

    // Refused: the job's status is not one of allowedFrom (or the job is
    // gone); NoSuchLine: no line of the job is equal to the one named.
    enum class Change { Done, Refused, NoSuchLine, Failed };

    // Adds a line and sets the job's status to newStatus.
    Change addLine(qint64 id, const CustomLine &line, qint64 userId, int newStatus, const QList<int> &allowedFrom,
                   qint64 now);

    // Changes the earliest line equal to old.
    Change replaceLine(qint64 id, const CustomLine &old, const CustomLine &replacement, const QList<int> &allowedFrom);

    // Deletes the earliest line equal to old.
    Change removeLine(qint64 id, const CustomLine &old, const QList<int> &allowedFrom);

    // Sets the job's status; finishedAt, when given, records when it was
    // finished. A job leaving the open statuses (submitted) is completed by
    // its worker now, and keeps that time.
    Change setStatus(qint64 id, int newStatus, const QList<int> &allowedFrom,
                     std::optional<qint64> finishedAt = std::nullopt);

private:
    // Within a transaction: whether the job's status is one of allowed.
    std::optional<bool> statusIsOneOf(qint64 id, const QList<int> &allowed) const;
    // Within a transaction: the id of the earliest line equal to line, or 0.
    std::optional<qint64> findLine(qint64 id, const CustomLine &line) const;
    Change changeLine(qint64 id, const CustomLine &old, const QList<int> &allowedFrom,
                      const std::function<bool(qint64 lineId)> &write);

    Store &store;
};
