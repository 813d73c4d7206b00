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
    QList<int> from;
    int to;
    QString name;
};

using namespace OrderStatus;

// The table of docs/protocol.md, "Where a bin order goes".
const QList<Row> &rows()
{
    // clang-format off
    static const QList<Row> table = {
        {Command::ChangeStatus, FrontEndSheetSubmitted, Kinds::FrontEnd, {Started, LinesRecorded},
         FrontEndSheetSubmitted, QStringLiteral("a worker's submit of the sheet")},
        {Command::ChangeStatus, WaitingForCheck, Kinds::RollOff, {Started, LinesRecorded},
         WaitingForCheck, QStringLiteral("a worker's submit of the sheet")},
        {Command::ChangeStatus, LinesRecorded, Kinds::FrontEnd, {FrontEndSheetSubmitted},
         LinesRecorded, QStringLiteral("a worker's cancel of the final checks")},
        {Command::SaveChecks, WaitingForCheck, Kinds::FrontEnd, {FrontEndSheetSubmitted},
         WaitingForCheck, QStringLiteral("a worker's final checks")},
        {Command::ChangeStatus, Checked, Kinds::Both, {WaitingForCheck},
         Checked, QStringLiteral("a checker's pass")},
        {Command::SendBinBack, FrontEndSheetSubmitted, Kinds::FrontEnd, {WaitingForCheck},
         FrontEndSheetSubmitted, QStringLiteral("a checker's send-back")},
        // Back to the sheet: a roll-off bin has no final checks to redo.
        {Command::SendBinBack, FrontEndSheetSubmitted, Kinds::RollOff, {WaitingForCheck},
         LinesRecorded, QStringLiteral("a checker's send-back")},
        {Command::ChangeStatus, Confirmed, Kinds::Both, {Checked},
         Confirmed, QStringLiteral("a manager's confirmation")},
        // The confirming sheet confirms a front-end order before it opens
        // the final checks, which are then saved on the confirmed order.
        {Command::SaveChecks, Confirmed, Kinds::FrontEnd, {Checked, Confirmed},
         Confirmed, QStringLiteral("a manager's final checks")},
        {Command::SendBinBack, WaitingForCheck, Kinds::Both, {Checked},
         WaitingForCheck, QStringLiteral("a manager's send-back")},
    };
    // clang-format on
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
            return Step{row.name, row.from, row.to};
    }
    return std::nullopt;
}

} // namespace BinOrderLifecycle
