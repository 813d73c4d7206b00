#include "terminalscripts.h"

#include "echoframes.h"
#include "shopaccounts.h"

#include "wire/clocktimes.h"
#include "wire/commands.h"
#include "wire/orderstatus.h"
#include "wire/passworddigest.h"
#include "wire/worktypes.h"

#include <frame.h>

#include <QDate>
#include <QDateTime>
#include <QRandomGenerator>

namespace {

using Fields = wire::FieldReader;

// A step whose frame is fixed when it is planned.
template<typename... Values>
Step fixed(const QString &command, const QStringList &tags, const Values &...values)
{
    const QByteArray frame = wire::frame(command, values...);
    return Step{command, [frame] { return frame; }, tags, {}, false};
}

// A step whose frame depends on earlier replies.
Step later(const QString &command, std::function<QByteArray()> frame, const QStringList &tags)
{
    return Step{command, std::move(frame), tags, {}, false};
}

Step &&withReply(Step &&step, std::function<bool(Fields &)> onReply)
{
    step.onReply = std::move(onReply);
    return std::move(step);
}

Step &&afterThought(Step &&step)
{
    step.afterThought = true;
    return std::move(step);
}

template<typename T>
const T &anyOf(const QList<T> &values)
{
    return values.at(int(QRandomGenerator::global()->bounded(int(values.size()))));
}

// A reply of n records of `width` texts each, after the count.
bool readRecords(Fields &fields, int width, QList<QStringList> *records = nullptr)
{
    const int count = fields.string().toInt();
    for (int n = 0; n < count; ++n) {
        QStringList record;
        for (int w = 0; w < width; ++w)
            record.append(fields.string());
        if (records)
            records->append(record);
    }
    return fields.atEnd();
}

// The login screen, then what the main window asks for at once.
class LoggingIn : public TerminalScript
{
public:
    explicit LoggingIn(QString user)
        : user(std::move(user))
    { }

    void planNext(std::deque<Step> &steps) override
    {
        if (loggedIn) {
            planWork(steps);
            return;
        }
        steps.push_back(withReply(fixed(Command::Login, {QStringLiteral("Success")}, user,
                                        wire::passwordDigest(ShopAccounts::password(user))),
                                  [this](Fields &) { return loggedIn = true; }));
        steps.push_back(fixed(Command::GetWork, {QStringLiteral("WorkType")}));
        steps.push_back(fixed(Command::GetPermissions, {QStringLiteral("Permissions")}, user));
        steps.push_back(fixed(Command::GetClockStatus, {QStringLiteral("GetClockStatus")}, user));
        steps.back().endsLogin = true;
    }

protected:
    virtual void planWork(std::deque<Step> &steps) = 0;

    const QString user;

private:
    bool loggedIn = false;
};

class Worker : public LoggingIn
{
public:
    Worker(const QString &user, int firstJob)
        : LoggingIn(user)
        , job(firstJob)
    { }

private:
    void planWork(std::deque<Step> &steps) override
    {
        if (!clockedIn) {
            clockedIn = true;
            steps.push_back(afterThought(fixed(Command::ClockIn, {QStringLiteral("ClockIn")}, user)));
            return;
        }
        switch (job++ % 7) {
        case 6:
            planCustomJob(steps);
            break;
        case 1:
        case 4:
            planBinOrder(steps, WorkType::rollOff());
            break;
        default:
            planBinOrder(steps, WorkType::frontEnd());
        }
    }

    // The frame of a command that names the order in hand as most bin
    // commands do: user, work type, bin ID, repair id, then extra values.
    template<typename... Values>
    Step onOrder(const QString &command, const QStringList &tags, const Values &...extra)
    {
        return later(
            command, [=] { return wire::frame(command, user, workType, binId, repairId, extra...); }, tags);
    }

    void planBinOrder(std::deque<Step> &steps, const QString &type)
    {
        workType = type;
        const bool frontEnd = type == WorkType::frontEnd();
        // The intake proposes a bin ID; the worker enters the size.
        steps.push_back(afterThought(
            withReply(fixed(Command::GetNewBinId, {QStringLiteral("NewBinID")}, type, user), [this](Fields &fields) {
                binId = fields.string();
                codeList = fields.string();
                return fields.atEnd();
            })));
        steps.push_back(later(Command::FindBin, [this] { return wire::frame(Command::FindBin, user, workType, binId); },
                              {QStringLiteral("BinNotFound")}));
        steps.push_back(withReply(
            later(Command::MakeRepairId,
                  [this] { return wire::frame(Command::MakeRepairId, QStringLiteral("ID ") + binId, workType); },
                  {QStringLiteral("NewRepairId")}),
            [this](Fields &fields) {
                repairId = QString::number(fields.int32());
                return fields.atEnd();
            }));
        steps.push_back(afterThought(later(Command::StoreCurrentInfo,
                                           [this] {
                                               return wire::frame(Command::StoreCurrentInfo, user, workType, binId,
                                                                  QStringLiteral("4"), repairId, QString());
                                           },
                                           {QStringLiteral("InfoSaved")})));
        // The pre-check screen.
        steps.push_back(onOrder(Command::GetPreForChecks, {QStringLiteral("PreForChecks")}));
        steps.push_back(afterThought(later(Command::StorePreChecks,
                                           [this] {
                                               return wire::frame(Command::StorePreChecks, binId, repairId, workType,
                                                                  QStringLiteral("1"), QStringLiteral("1"),
                                                                  QStringLiteral("0"));
                                           },
                                           {QStringLiteral("PreChecksSaved")})));
        // The repair sheet starts its timing and shows the order.
        steps.push_back(
            withReply(onOrder(Command::SetStartTime, {QStringLiteral("StartTimeSet")}), [this](Fields &fields) {
                stampId = fields.string();
                fields.string();
                return fields.atEnd();
            }));
        steps.push_back(onOrder(Command::GetBinInfo, {QStringLiteral("BinSize")}));
        steps.push_back(onOrder(Command::GetBinRepairInfo, {QStringLiteral("BinRepairInfo")}));
        const int lines = 2 + int(QRandomGenerator::global()->bounded(3));
        for (int line = 0; line < lines; ++line)
            planRepairLine(steps, line == 0 ? OrderStatus::Started : OrderStatus::LinesRecorded);
        // Submit: the timing ends and the sheet goes on.
        planEndTime(steps);
        const int submitted = frontEnd ? OrderStatus::FrontEndSheetSubmitted : OrderStatus::WaitingForCheck;
        steps.push_back(later(Command::ChangeStatus,
                              [this, submitted] {
                                  return wire::frame(Command::ChangeStatus, user, QString::number(submitted), binId,
                                                     repairId);
                              },
                              {QStringLiteral("StatusChanged")}));
        if (frontEnd)
            planFinalChecks(steps);
    }

    void planRepairLine(std::deque<Step> &steps, int status)
    {
        steps.push_back(afterThought(withReply(
            later(Command::GetRepairCodes, [this] { return wire::frame(Command::GetRepairCodes, workType, codeList); },
                  {QStringLiteral("RepairCodes")}),
            [this](Fields &fields) {
                QList<QStringList> codes;
                if (!readRecords(fields, 2, &codes) || codes.isEmpty())
                    return false;
                repairCode = anyOf(codes).first();
                return true;
            })));
        steps.push_back(afterThought(later(Command::SaveBinRepairInfo,
                                           [this, status] {
                                               return wire::frame(
                                                   Command::SaveBinRepairInfo, user, QString::number(status), workType,
                                                   binId, repairId, QStringLiteral("4"), repairCode,
                                                   QStringLiteral("Two steel plates"), QStringLiteral("1:30"));
                                           },
                                           {QStringLiteral("BinRepairSaved")})));
        steps.push_back(onOrder(Command::GetBinRepairInfo, {QStringLiteral("BinRepairInfo")}));
    }

    void planEndTime(std::deque<Step> &steps)
    {
        steps.push_back(afterThought(
            later(Command::SetEndTime,
                  [this] { return wire::frame(Command::SetEndTime, user, workType, binId, repairId, stampId); },
                  {QStringLiteral("EndTimeSet")})));
    }

    void planFinalChecks(std::deque<Step> &steps)
    {
        steps.push_back(later(Command::GetChecksList,
                              [this] { return wire::frame(Command::GetChecksList, workType, binId, repairId); },
                              {QStringLiteral("GetCheckList")}));
        steps.push_back(
            withReply(onOrder(Command::SetStartTime, {QStringLiteral("StartTimeSet")}), [this](Fields &fields) {
                stampId = fields.string();
                fields.string();
                return fields.atEnd();
            }));
        planEndTime(steps);
        steps.push_back(later(Command::SaveChecks,
                              [this] {
                                  return wire::frame(Command::SaveChecks, user, workType, binId, repairId,
                                                     QString::number(OrderStatus::WaitingForCheck),
                                                     QStringLiteral("34"), QStringLiteral("2.5"));
                              },
                              {QStringLiteral("ChecksSaved")}));
    }

    // The job: order number, job type, customer.
    QByteArray jobFrame(const QString &command) const { return wire::frame(command, orderNumber, jobType, customer); }

    void planCustomJob(std::deque<Step> &steps)
    {
        jobType = anyOf(
            QStringList{QStringLiteral("Tank_repair"), QStringLiteral("Trailer_weld"), QStringLiteral("Gate_fix")});
        customer = QStringLiteral("Customer_%1").arg(QRandomGenerator::global()->bounded(300));
        const QDate today = QDate::currentDate();
        const QString date = QStringLiteral("%1/%2/%3").arg(today.month()).arg(today.day()).arg(today.year());
        steps.push_back(afterThought(withReply(
            fixed(Command::StartCustomRepair, {QStringLiteral("StartCustomRepair")}, user, date, user, jobType,
                  customer, QString(), QStringLiteral("Front desk"), QStringLiteral("555-0100"), QString()),
            [this](Fields &fields) {
                orderNumber = fields.string();
                fields.string();
                return fields.atEnd();
            })));
        steps.push_back(withReply(
            later(Command::SetCustomStartTime,
                  [this] { return wire::frame(Command::SetCustomStartTime, user, orderNumber, jobType, customer); },
                  {QStringLiteral("SetCustomStartTime")}),
            [this](Fields &fields) {
                stampId = fields.string();
                return fields.atEnd();
            }));
        const auto sheet = [this] { return jobFrame(Command::GetCustomRepair); };
        steps.push_back(later(Command::GetCustomRepair, sheet, {QStringLiteral("GetCustomRepair")}));
        const int lines = 1 + int(QRandomGenerator::global()->bounded(3));
        for (int line = 0; line < lines; ++line) {
            steps.push_back(afterThought(
                later(Command::AddCustomRepair,
                      [this] {
                          return wire::frame(Command::AddCustomRepair, QStringLiteral("Weld the outlet"),
                                             QStringLiteral("Steel flange"), QStringLiteral("2"), QStringLiteral("15"),
                                             orderNumber, QString::number(OrderStatus::LinesRecorded), user, jobType,
                                             customer);
                      },
                      {QStringLiteral("AddCustomRepair")})));
            steps.push_back(later(Command::GetCustomRepair, sheet, {QStringLiteral("GetCustomRepair")}));
        }
        steps.push_back(afterThought(later(
            Command::SetCustomEndTime,
            [this] { return wire::frame(Command::SetCustomEndTime, user, orderNumber, jobType, customer, stampId); },
            {QStringLiteral("SetCustomEndTime")})));
        steps.push_back(later(Command::SubmitCustomRepair, [this] { return jobFrame(Command::SubmitCustomRepair); },
                              {QStringLiteral("SubmitCustomRepair")}));
    }

    int job;
    bool clockedIn = false;
    QString workType, binId, repairId, codeList, stampId, repairCode;
    QString orderNumber, jobType, customer;
};

// The order review's check list: owners with orders at status 4, the
// owner's orders, one order's sheet, and the pass. Each checker terminal
// takes only its share of the owners, so that no two pass the same order.
class Checker : public LoggingIn
{
public:
    Checker(const QString &user, int index, int checkerCount)
        : LoggingIn(user)
        , index(index)
        , checkerCount(checkerCount)
    { }

private:
    void planWork(std::deque<Step> &steps) override
    {
        if (!owner.isEmpty() && !binId.isEmpty())
            planCheck(steps);
        else if (!owner.isEmpty())
            planOwnerOrders(steps);
        else
            planOwners(steps);
    }

    void planOwners(std::deque<Step> &steps)
    {
        steps.push_back(afterThought(fixed(Command::GetNumberOfOrders, {QStringLiteral("NumberOfOrders")})));
        steps.push_back(withReply(fixed(Command::GetListOfUserOrders, {QStringLiteral("ListOfUserOrders")},
                                        QString::number(OrderStatus::WaitingForCheck)),
                                  [this](Fields &fields) {
                                      const QStringList owners = fields.stringList();
                                      fields.stringList();
                                      QStringList mine;
                                      for (const QString &name : owners)
                                          if (int(qHash(name) % uint(checkerCount)) == index)
                                              mine.append(name);
                                      if (!mine.isEmpty())
                                          owner = anyOf(mine);
                                      return fields.atEnd();
                                  }));
    }

    void planOwnerOrders(std::deque<Step> &steps)
    {
        steps.push_back(afterThought(
            withReply(later(Command::ListWorkOrders, [this] { return wire::frame(Command::ListWorkOrders, owner); },
                            {QStringLiteral("ListWorkOrders")}),
                      [this](Fields &fields) {
                          const QStringList lines = fields.stringList();
                          if (lines.isEmpty())
                              owner.clear();
                          else
                              binId = lines.first();
                          return fields.atEnd();
                      })));
    }

    void planCheck(std::deque<Step> &steps)
    {
        steps.push_back(afterThought(withReply(
            later(Command::GetBinForCheck, [this] { return wire::frame(Command::GetBinForCheck, owner, binId); },
                  {QStringLiteral("GetBinForCheck")}),
            [this](Fields &fields) {
                fields.string();
                fields.string();
                workType = fields.string();
                fields.string();
                repairId = fields.string();
                return fields.atEnd();
            })));
        steps.push_back(
            later(Command::GetBinTotalTime,
                  [this] { return wire::frame(Command::GetBinTotalTime, owner, binId, repairId, workType); },
                  {QStringLiteral("GetBinTotalTime")}));
        steps.push_back(
            later(Command::GetBinRepairInfo,
                  [this] { return wire::frame(Command::GetBinRepairInfo, owner, workType, binId, repairId); },
                  {QStringLiteral("BinRepairInfo")}));
        steps.push_back(later(Command::GetChecksList,
                              [this] { return wire::frame(Command::GetChecksList, workType, binId, repairId); },
                              {QStringLiteral("GetCheckList")}));
        steps.push_back(afterThought(withReply(later(Command::ChangeStatus,
                                                     [this] {
                                                         return wire::frame(Command::ChangeStatus, owner,
                                                                            QString::number(OrderStatus::Checked),
                                                                            binId, repairId);
                                                     },
                                                     {QStringLiteral("StatusChanged")}),
                                               [this](Fields &) {
                                                   owner.clear();
                                                   binId.clear();
                                                   return true;
                                               })));
    }

    const int index;
    const int checkerCount;
    QString owner, binId, workType, repairId;
};

// The finished-orders browser for one owner at a time, then the clock
// overview.
class Manager : public LoggingIn
{
public:
    using LoggingIn::LoggingIn;

private:
    void planWork(std::deque<Step> &steps) override
    {
        steps.push_back(
            afterThought(fixed(Command::GetNumberWorkToConfirm, {QStringLiteral("NumberOfOrdersToConfirm")})));
        steps.push_back(afterThought(withReply(
            fixed(Command::GetListOfUserOrders, {QStringLiteral("ListOfUserOrders")}), [this](Fields &fields) {
                const QStringList owners = fields.stringList();
                owner = owners.isEmpty() ? user : anyOf(owners);
                return fields.atEnd();
            })));
        const QString newToOld = TimeStampOrder::newToOld();
        steps.push_back(afterThought(later(
            Command::GetFERInfoView,
            [this, newToOld] { return wire::frame(Command::GetFERInfoView, QStringLiteral("FER"), owner, newToOld); },
            {QStringLiteral("GetFERInfoView")})));
        steps.push_back(
            afterThought(later(Command::GetCustomInfoView,
                               [this, newToOld] { return wire::frame(Command::GetCustomInfoView, owner, newToOld); },
                               {QStringLiteral("GetCustomInfoView")})));
        steps.push_back(afterThought(fixed(Command::GetDepartments, {QStringLiteral("GetDepartments")})));
        steps.push_back(
            fixed(Command::GetClockStat, {QStringLiteral("GetClockStat")}, ClockFilter::all(), ClockFilter::all()));
    }

    QString owner;
};

class Repeating : public LoggingIn
{
public:
    Repeating(const QString &user, QString command)
        : LoggingIn(user)
        , command(std::move(command))
    { }

private:
    void planWork(std::deque<Step> &steps) override
    {
        if (command == Command::GetWork) {
            steps.push_back(afterThought(fixed(Command::GetWork, {QStringLiteral("WorkType")})));
        } else if (command == Command::GetClockStatus) {
            steps.push_back(afterThought(fixed(Command::GetClockStatus, {QStringLiteral("GetClockStatus")}, user)));
        } else {
            clockIn = !clockIn;
            const QString next = clockIn ? Command::ClockIn : Command::ClockOut;
            steps.push_back(afterThought(fixed(next, {next}, user)));
        }
    }

    const QString command;
    bool clockIn = false;
};

// A connection that never sends, at an address where someone logged in.
class Silent : public TerminalScript
{
public:
    void planNext(std::deque<Step> &) override { }
};

class Idle : public LoggingIn
{
public:
    using LoggingIn::LoggingIn;

private:
    void planWork(std::deque<Step> &) override { }
};

// Each once, as the office opens them: every owner's finished orders, a
// year of clock periods, the clock overview and the review's lists; then
// the reads a worker's screens make on every order, for worker w01 and the
// bin KD1000, which the generated shop has repaired since its first days.
class HeaviestLists : public LoggingIn
{
public:
    using LoggingIn::LoggingIn;

private:
    void planWork(std::deque<Step> &steps) override
    {
        if (done)
            return;
        done = true;
        planOfficeLists(steps);
        planReviewLists(steps);
        planWorkerReads(steps);
    }

    static void add(std::deque<Step> &steps, Step &&step, const QString &arguments = QString())
    {
        if (!arguments.isEmpty())
            step.command += QLatin1Char(' ') + arguments;
        steps.push_back(std::move(step));
    }

    static void planOfficeLists(std::deque<Step> &steps)
    {
        const QString all = QStringLiteral("All");
        const QString newToOld = TimeStampOrder::newToOld();
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        for (const QString &list : {QStringLiteral("FER"), QStringLiteral("ROR")})
            add(steps, fixed(Command::GetFERInfoView, {QStringLiteral("GetFERInfoView")}, list, all, newToOld),
                list + QStringLiteral(" All"));
        add(steps, fixed(Command::GetCustomInfoView, {QStringLiteral("GetCustomInfoView")}, all, newToOld), all);
        add(steps,
            fixed(Command::GetAllUserTimeStamps, {QStringLiteral("GetAllUserTimeStamps")},
                  QString::number(now - 365 * 24 * 3600), QString::number(now), newToOld),
            QStringLiteral("one year"));
        add(steps, fixed(Command::GetClockStat, {QStringLiteral("GetClockStat")}, all, all));
        add(steps, fixed(Command::GetListOfUserOrders, {QStringLiteral("ListOfUserOrders")}),
            QStringLiteral("finished owners"));
    }

    static void planReviewLists(std::deque<Step> &steps)
    {
        const QString worker = ShopAccounts::worker(1);
        const QStringList ownerList{QStringLiteral("ListOfUserOrders")};
        add(steps, fixed(Command::GetNumberWorkToConfirm, {QStringLiteral("NumberOfOrdersToConfirm")}));
        for (const int status : {OrderStatus::WaitingForCheck, OrderStatus::Checked}) {
            const QString text = QString::number(status);
            add(steps, fixed(Command::GetListOfUserOrders, ownerList, text), QStringLiteral("status ") + text);
            add(steps, fixed(Command::GetAllWork, {QStringLiteral("GetAllWork")}, QStringLiteral("All"), text),
                QStringLiteral("status ") + text);
        }
        add(steps, fixed(Command::CheckCustomWork, ownerList));
        add(steps, fixed(Command::GetAllCustomWork, {QStringLiteral("GetAllCustomWork")}));
        add(steps, fixed(Command::ListWorkOrders, {QStringLiteral("ListWorkOrders")}, worker), worker);
        add(steps, fixed(Command::ListWorkOrdersToConfirm, {QStringLiteral("ListWorkOrders")}, worker), worker);
        add(steps, fixed(Command::ListCustomWorkToConfirm, {QStringLiteral("ListCustomWorkToConfirm")}, worker),
            worker);
    }

    static void planWorkerReads(std::deque<Step> &steps)
    {
        const QString worker = ShopAccounts::worker(1);
        const QString bin = QStringLiteral("KD1000");
        add(steps, fixed(Command::GetWork, {QStringLiteral("WorkType")}));
        add(steps, fixed(Command::GetClockStatus, {QStringLiteral("GetClockStatus")}, worker), worker);
        add(steps, fixed(Command::GetWorkOrders, {QStringLiteral("WorkOrders")}, worker), worker);
        add(steps, fixed(Command::GetCustomWorkOrders, {QStringLiteral("GetCustomWorkOrders")}));
        add(steps,
            fixed(Command::FindBin,
                  {QStringLiteral("BinInProgress"), QStringLiteral("BinFound"), QStringLiteral("BinNotFound")}, worker,
                  WorkType::frontEnd(), bin),
            bin);
        add(steps,
            fixed(Command::GetBinTotalTime, {QStringLiteral("GetBinTotalTime")}, worker, bin, QStringLiteral("1"),
                  WorkType::frontEnd()),
            bin);
    }

    bool done = false;
};

class Echo : public TerminalScript
{
public:
    void planNext(std::deque<Step> &steps) override
    {
        const QByteArray frame = EchoFrames::request();
        steps.push_back(afterThought(
            Step{QStringLiteral("Echo"), [frame] { return frame; }, {QStringLiteral("Echoed")}, {}, false}));
    }
};

} // namespace

namespace TerminalScripts {

std::unique_ptr<TerminalScript> worker(const QString &user, int firstJob)
{
    return std::make_unique<Worker>(user, firstJob);
}

std::unique_ptr<TerminalScript> checker(const QString &user, int index, int checkerCount)
{
    return std::make_unique<Checker>(user, index, checkerCount);
}

std::unique_ptr<TerminalScript> manager(const QString &user)
{
    return std::make_unique<Manager>(user);
}

std::unique_ptr<TerminalScript> repeating(const QString &user, const QString &command)
{
    return std::make_unique<Repeating>(user, command);
}

std::unique_ptr<TerminalScript> idle(const QString &user)
{
    if (user.isEmpty())
        return std::make_unique<Silent>();
    return std::make_unique<Idle>(user);
}

std::unique_ptr<TerminalScript> heaviestLists(const QString &user)
{
    return std::make_unique<HeaviestLists>(user);
}

std::unique_ptr<TerminalScript> echo()
{
    return std::make_unique<Echo>();
}

bool knowsRepeated(const QString &command)
{
    return command == Command::GetWork || command == Command::GetClockStatus || command == Command::ClockIn
           || command == Command::ClockOut;
}

} // namespace TerminalScripts
