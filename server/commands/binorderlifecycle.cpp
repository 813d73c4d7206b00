#include "binorderlifecycle.h"

#include "wire/commands.h"
#include "wire/orderstatus.h"
#include "wire/worktypes.h"

namespace BinOrderLifecycle {

namespace {

enum class Kinds { FrontEnd, RollOff, Both };

struct Row
{
    QString command;
    int sentStatus;
    Kinds kinds;
    Step step;
};

using namespace OrderStatus;

// The table of docs/protocol.md, "Where a bin order goes".
const QList<Row> &rows()
{
    static const QList<Row> table = {
        {Command::ChangeStatus,
         FrontEndSheetSubmitted,
         Kinds::FrontEnd,
         {QStringLiteral("a worker's submit of the sheet"), {Started, LinesRecorded}, FrontEndSheetSubmitted}},
        {Command::ChangeStatus,
         WaitingForCheck,
         Kinds::RollOff,
         {QStringLiteral("a worker's submit of the sheet"), {Started, LinesRecorded}, WaitingForCheck}},
        {Command::ChangeStatus,
         LinesRecorded,
         Kinds::FrontEnd,
         {QStringLiteral("a worker's cancel of the final checks"), {FrontEndSheetSubmitted}, LinesRecorded}},
        {Command::SaveChecks,
         WaitingForCheck,
         Kinds::FrontEnd,
         {QStringLiteral("a worker's final checks"), {FrontEndSheetSubmitted}, WaitingForCheck}},
        {Command::ChangeStatus, Checked, Kinds::Both, {QStringLiteral("a checker's pass"), {WaitingForCheck}, Checked}},
        {Command::SendBinBack,
         FrontEndSheetSubmitted,
         Kinds::FrontEnd,
         {QStringLiteral("a checker's send-back"), {WaitingForCheck}, FrontEndSheetSubmitted}},
        // Back to the sheet: a roll-off bin has no final checks to redo.
        {Command::SendBinBack,
         FrontEndSheetSubmitted,
         Kinds::RollOff,
         {QStringLiteral("a checker's send-back"), {WaitingForCheck}, LinesRecorded}},
        {Command::ChangeStatus,
         Confirmed,
         Kinds::Both,
         {QStringLiteral("a manager's confirmation"), {Checked}, Confirmed}},
        // The confirming sheet confirms a front-end order before it opens
        // the final checks, which are then saved on the confirmed order.
        {Command::SaveChecks,
         Confirmed,
         Kinds::FrontEnd,
         {QStringLiteral("a manager's final checks"), {Checked, Confirmed}, Confirmed}},
        {Command::SendBinBack,
         WaitingForCheck,
         Kinds::Both,
         {QStringLiteral("a manager's send-back"), {Checked}, WaitingForCheck}},
    };
    return table;
}

bool fits(Kinds kinds, const QString &workType)
{
    switch (kinds) {
    case Kinds::FrontEnd:
        return workType == WorkType::frontEnd();
    case Kinds::RollOff:
        return workType == WorkType::rollOff();
    case Kinds::Both:
        return workType == WorkType::frontEnd() || workType == WorkType::rollOff();
    }
    return false;
}

} // namespace

std::optional<Step> step(const QString &command, int sentStatus, const QString &workType)
{
    for (const Row &row : rows()) {
        if (row.command == command && row.sentStatus == sentStatus && fits(row.kinds, workType))
            return row.step;
    }
    return std::nullopt;
}

} // namespace BinOrderLifecycle
