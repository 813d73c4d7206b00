#include "customcommands.h"

#include "accountlookup.h"
#include "argumentrules.h"
#include "commanddispatcher.h"
#include "replyfields.h"

#include "wire/commands.h"
#include "wire/customjobstatus.h"
#include "wire/replytags.h"

#include <QDateTime>

namespace {

// The three arguments by which the screens name a job; the rules have
// checked their form already.
CustomJobKey jobKey(const QString &number, const QString &jobType, const QString &customer)
{
    return {number.toLongLong(), jobType, customer};
}

CustomLine line(const QString &description, const QString &materials, const QString &hours, const QString &minutes)
{
    return {description, materials, hours.toInt(), minutes.toInt()};
}

// A line named by its time text, hours ":" minutes.
CustomLine line(const QString &description, const QString &materials, const QString &time)
{
    return line(description, materials, time.section(QLatin1Char(':'), 0, 0), time.section(QLatin1Char(':'), 1, 1));
}

QString jobName(qint64 id)
{
    return QStringLiteral("custom job %1").arg(id);
}

const QList<int> openStatuses = {CustomJobStatus::Started, CustomJobStatus::LinesSaved};
const QList<int> waitingStatuses = {CustomJobStatus::Submitted, CustomJobStatus::ChangedWhileChecked};
const QList<int> unconfirmedStatuses = openStatuses + waitingStatuses;

} // namespace

CustomCommands::CustomCommands(ServerServices services)
    : users(services.store)
    , jobs(services.store)
    , stamps(services.store)
{ }

void CustomCommands::registerCommands(CommandDispatcher &dispatcher)
{
    using Number = CustomOrderNumberArgument;
    using JobType = CustomJobTypeArgument;
    using Customer = CustomerArgument;
    using Contact = CustomContactArgument;
    using Description = CustomLineDescriptionArgument;
    using Materials = CustomLineMaterialsArgument;

    dispatcher.add<UserNameArgument, CustomJobDateArgument, CustomWorkerArgument, JobType, Customer, Contact, Contact,
                   Contact, Contact>(
        Command::StartCustomRepair,
        [this](const Reply &reply, const QString &user, const QString &date, const QString &worker,
               const QString &jobType, const QString &customer, const QString &customerRef, const QString &contactName,
               const QString &phone, const QString &email) {
            start(reply, user, {date, worker, jobType, customer, customerRef, contactName, phone, email});
        });
    dispatcher.add<Number, JobType, Customer>(
        Command::GetCustomRepair,
        [this](const Reply &reply, const QString &number, const QString &jobType, const QString &customer) {
            repairLines(reply, jobKey(number, jobType, customer));
        });
    dispatcher.add<Description, Materials, CustomLineHoursArgument, CustomLineMinutesArgument, Number,
                   StatusNumberArgument, UserNameArgument, JobType, Customer>(
        Command::AddCustomRepair,
        [this](const Reply &reply, const QString &description, const QString &materials, const QString &hours,
               const QString &minutes, const QString &number, const QString &status, const QString &user,
               const QString &jobType, const QString &customer) {
            addLine(reply, jobKey(number, jobType, customer), line(description, materials, hours, minutes), status,
                    user);
        });
    dispatcher.add<Number, JobType, Customer, Description, Materials, CustomLineHoursArgument,
                   CustomLineMinutesArgument, Description, Materials, CustomLineTimeArgument>(
        Command::EditCustomRepair,
        [this](const Reply &reply, const QString &number, const QString &jobType, const QString &customer,
               const QString &description, const QString &materials, const QString &hours, const QString &minutes,
               const QString &oldDescription, const QString &oldMaterials, const QString &oldTime) {
            editLine(reply, jobKey(number, jobType, customer), line(oldDescription, oldMaterials, oldTime),
                     line(description, materials, hours, minutes));
        });
    dispatcher.add<Number, JobType, Customer, Description, Materials, CustomLineTimeArgument>(
        Command::RemoveCustomRepair,
        [this](const Reply &reply, const QString &number, const QString &jobType, const QString &customer,
               const QString &description, const QString &materials, const QString &time) {
            removeLine(reply, jobKey(number, jobType, customer), line(description, materials, time));
        });
    dispatcher.add<Number, JobType, Customer>(
        Command::SubmitCustomRepair,
        [this](const Reply &reply, const QString &number, const QString &jobType, const QString &customer) {
            submit(reply, jobKey(number, jobType, customer));
        });
    dispatcher.add<Number, JobType, Customer>(
        Command::FinishCustomRepair,
        [this](const Reply &reply, const QString &number, const QString &jobType, const QString &customer) {
            confirm(reply, jobKey(number, jobType, customer));
        });
    dispatcher.add<UserNameArgument, Number, JobType, Customer>(
        Command::SetCustomStartTime,
        [this](const Reply &reply, const QString &user, const QString &number, const QString &jobType,
               const QString &customer) { startTiming(reply, user, jobKey(number, jobType, customer)); });
    dispatcher.add<UserNameArgument, Number, JobType, Customer, TimeStampIdArgument>(
        Command::SetCustomEndTime, [this](const Reply &reply, const QString &user, const QString &number,
                                          const QString &jobType, const QString &customer, const QString &stampId) {
            endTiming(reply, user, jobKey(number, jobType, customer), stampId);
        });
    dispatcher.add<Number, JobType, Customer>(
        Command::GetCustomTime,
        [this](const Reply &reply, const QString &number, const QString &jobType, const QString &customer) {
            totalTime(reply, jobKey(number, jobType, customer));
        });
    dispatcher.add<>(Command::GetCustomWorkOrders, [this](const Reply &reply) { openJobs(reply); });
    dispatcher.add<Number, JobType, Customer>(
        Command::ContinueCustomOrder,
        [this](const Reply &reply, const QString &number, const QString &jobType, const QString &customer) {
            continueJob(reply, jobKey(number, jobType, customer));
        });
}

Lookup<CustomJob> CustomCommands::jobOrError(const Reply &reply, const CustomJobKey &key)
{
    const Lookup<CustomJob> job = jobs.find(key);
    if (job.failed()) {
        reply.storeFailure();
        return job;
    }
    if (!job.found()) {
        reply.error(QStringLiteral("there is no %1 of the job type \"%2\" for the customer \"%3\"")
                        .arg(jobName(key.id), key.jobType, key.customer));
        return Lookup<CustomJob>::missing();
    }
    return job;
}

void CustomCommands::answer(const Reply &reply, CustomOrders::Change change, const QString &tag, const QString &refusal)
{
    switch (change) {
    case CustomOrders::Change::Done:
        reply.send(tag);
        return;
    case CustomOrders::Change::Refused:
        reply.error(refusal);
        return;
    case CustomOrders::Change::NoSuchLine:
        reply.error(QStringLiteral("the job has no line with this description, materials and time"));
        return;
    case CustomOrders::Change::Failed:
        reply.storeFailure();
        return;
    }
}

// The job starts at status 1, owned by the user who started it. The reply
// carries its order number and its status.
void CustomCommands::start(const Reply &reply, const QString &userName, const NewCustomJob &job)
{
    const Lookup<UserAccount> owner = accountOrError(users, reply, userName, AccountState::Active);
    if (!owner.found())
        return;
    const std::optional<qint64> id = jobs.start(job, owner->id, QDateTime::currentSecsSinceEpoch());
    if (reply.storeFailed(id))
        return;
    reply.send(ReplyTag::StartCustomRepair, QString::number(*id), QString::number(CustomJobStatus::Started));
}

// Lines in the order entered, each as description, materials and the time
// "h:m"; any job that exists, whatever its status.
void CustomCommands::repairLines(const Reply &reply, const CustomJobKey &key)
{
    const Lookup<CustomJob> job = jobOrError(reply, key);
    if (!job.found())
        return;
    const std::optional<QList<CustomLine>> found = jobs.lines(job->id);
    if (reply.storeFailed(found))
        return;
    ReplyFields groups;
    for (const CustomLine &entry : *found)
        groups.add(entry.description, entry.materials, entry.timeText());
    reply.send(ReplyTag::GetCustomRepair, QString::number(found->size()), groups);
}

// Status "2": the worker adds to an open job. Status "3": a manager adds
// while checking a job that waits for confirmation. The job takes that status.
void CustomCommands::addLine(const Reply &reply, const CustomJobKey &key, const CustomLine &entry,
                             const QString &status, const QString &userName)
{
    const int newStatus = status.toInt();
    if (newStatus != CustomJobStatus::LinesSaved && newStatus != CustomJobStatus::ChangedWhileChecked) {
        reply.error(QStringLiteral(
                        "a custom repair line is saved with the status 2 (by its worker) or 3 (during a check), not %1")
                        .arg(status));
        return;
    }
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Active);
    if (!account.found())
        return;
    const Lookup<CustomJob> job = jobOrError(reply, key);
    if (!job.found())
        return;
    const bool byWorker = newStatus == CustomJobStatus::LinesSaved;
    const QList<int> &allowedFrom = byWorker ? openStatuses : waitingStatuses;
    const QString refusal = byWorker
                                ? QStringLiteral("%1 is no longer open: it has been submitted").arg(jobName(job->id))
                                : QStringLiteral("%1 is not waiting for confirmation").arg(jobName(job->id));
    if (!allowedFrom.contains(job->status)) {
        reply.error(refusal);
        return;
    }
    answer(reply, jobs.addLine(job->id, entry, account->id, newStatus, allowedFrom, QDateTime::currentSecsSinceEpoch()),
           Command::AddCustomRepair, refusal);
}

// Lines can be changed until the job is confirmed; the job's status stays.
void CustomCommands::editLine(const Reply &reply, const CustomJobKey &key, const CustomLine &old,
                              const CustomLine &replacement)
{
    const Lookup<CustomJob> job = jobOrError(reply, key);
    if (!job.found())
        return;
    answer(reply, jobs.replaceLine(job->id, old, replacement, unconfirmedStatuses), ReplyTag::EditCustomRepair,
           QStringLiteral("%1 has been confirmed").arg(jobName(job->id)));
}

void CustomCommands::removeLine(const Reply &reply, const CustomJobKey &key, const CustomLine &old)
{
    const Lookup<CustomJob> job = jobOrError(reply, key);
    if (!job.found())
        return;
    answer(reply, jobs.removeLine(job->id, old, unconfirmedStatuses), ReplyTag::RemoveCustomRepair,
           QStringLiteral("%1 has been confirmed").arg(jobName(job->id)));
}

// An open job goes to status 5 and waits for a manager's confirmation.
void CustomCommands::submit(const Reply &reply, const CustomJobKey &key)
{
    const Lookup<CustomJob> job = jobOrError(reply, key);
    if (!job.found())
        return;
    answer(reply, jobs.setStatus(job->id, CustomJobStatus::Submitted, openStatuses), Command::SubmitCustomRepair,
           QStringLiteral("%1 has been submitted already").arg(jobName(job->id)));
}

// A manager confirms a job waiting for it: status 6, finished now.
void CustomCommands::confirm(const Reply &reply, const CustomJobKey &key)
{
    const Lookup<CustomJob> job = jobOrError(reply, key);
    if (!job.found())
        return;
    answer(reply,
           jobs.setStatus(job->id, CustomJobStatus::Confirmed, waitingStatuses, QDateTime::currentSecsSinceEpoch()),
           Command::FinishCustomRepair, QStringLiteral("%1 is not waiting for confirmation").arg(jobName(job->id)));
}

// Opens a time stamp of the user on an open job and answers its id.
void CustomCommands::startTiming(const Reply &reply, const QString &userName, const CustomJobKey &key)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Active);
    if (!account.found())
        return;
    const Lookup<CustomJob> job = jobOrError(reply, key);
    if (!job.found())
        return;
    if (!openStatuses.contains(job->status)) {
        reply.error(QStringLiteral("%1 is no longer open: it has been submitted").arg(jobName(job->id)));
        return;
    }
    const std::optional<OrderTimeStamps::Opened> opened
        = stamps.open(TimedOrder::custom(job->id), account->id, QDateTime::currentSecsSinceEpoch());
    if (reply.storeFailed(opened))
        return;
    reply.send(ReplyTag::SetCustomStartTime, QString::number(opened->stampId));
}

// Closes the user's time stamp on the job; one closed already keeps its end.
// "0" names no stamp (the timing never started): there is nothing to close,
// and the sheet can still be left.
void CustomCommands::endTiming(const Reply &reply, const QString &userName, const CustomJobKey &key,
                               const QString &stampId)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Any);
    if (!account.found())
        return;
    const Lookup<CustomJob> job = jobOrError(reply, key);
    if (!job.found())
        return;
    const qint64 id = stampId.toLongLong();
    if (id == 0) {
        reply.send(ReplyTag::SetCustomEndTime);
        return;
    }
    const Lookup<OrderTimeStamp> stamp = stamps.find(id);
    if (reply.storeFailed(stamp))
        return;
    if (!stamp.found() || stamp->order != TimedOrder::custom(job->id) || stamp->userId != account->id) {
        reply.error(
            QStringLiteral("%1 has no time stamp %2 of the user \"%3\"").arg(jobName(job->id)).arg(id).arg(userName));
        return;
    }
    switch (stamps.close(id, QDateTime::currentSecsSinceEpoch())) {
    case OrderTimeStamps::Close::Closed:
    case OrderTimeStamps::Close::AlreadyClosed:
        reply.send(ReplyTag::SetCustomEndTime);
        return;
    case OrderTimeStamps::Close::NotFound:
    case OrderTimeStamps::Close::Failed:
        reply.storeFailure();
        return;
    }
}

// The hours booked on the job in closed time stamps, as decimal text with
// two decimals ("1.50").
void CustomCommands::totalTime(const Reply &reply, const CustomJobKey &key)
{
    const Lookup<CustomJob> job = jobOrError(reply, key);
    if (!job.found())
        return;
    const std::optional<double> hours = stamps.totalHours(TimedOrder::custom(job->id));
    if (reply.storeFailed(hours))
        return;
    reply.send(ReplyTag::GetCustomTime, OrderTimeStamps::hoursText(*hours));
}

// Every user's open jobs (status 1 or 2), oldest first: the count, then per
// job its order number, job type and customer.
void CustomCommands::openJobs(const Reply &reply)
{
    const std::optional<QList<CustomJob>> open = jobs.withStatus(openStatuses);
    if (reply.storeFailed(open))
        return;
    ReplyFields groups;
    for (const CustomJob &job : *open)
        groups.add(QString::number(job.id), job.details.jobType, job.details.customer);
    reply.send(ReplyTag::GetCustomWorkOrders, QString::number(open->size()), groups);
}

// An open job's details for its repair sheet: date, worker, the customer's
// ID, contact name, phone, e-mail, status, order number, job type, customer.
void CustomCommands::continueJob(const Reply &reply, const CustomJobKey &key)
{
    const Lookup<CustomJob> job = jobOrError(reply, key);
    if (!job.found())
        return;
    if (!openStatuses.contains(job->status)) {
        reply.error(QStringLiteral("%1 is no longer open: it has been submitted").arg(jobName(job->id)));
        return;
    }
    const NewCustomJob &details = job->details;
    reply.send(ReplyTag::ContinueCustomOrder, details.date, details.worker, details.customerRef, details.contactName,
               details.phone, details.email, QString::number(job->status), QString::number(job->id), details.jobType,
               details.customer);
}
