#include "screenfactory.h"

#include "bins/binintakedialog.h"
#include "bins/binrepairlinedialog.h"
#include "bins/binrepairsheetdialog.h"
#include "bins/continueorderdialog.h"
#include "bins/finalchecksdialog.h"
#include "bins/precheckdialog.h"
#include "custom/customjobsheetdialog.h"
#include "custom/customjobstartdialog.h"
#include "custom/customrepairlinedialog.h"
#include "management/departmentsdialog.h"
#include "management/managementpaneldialog.h"
#include "management/orderreviewdialog.h"
#include "management/repaircodeeditordialog.h"
#include "management/repaircodelistdialog.h"
#include "management/useradmindialog.h"
#include "timekeeping/clockoverviewdialog.h"
#include "timekeeping/timestampbrowserdialog.h"
#include "timekeeping/timestampeditordialog.h"
#include "views/binorderrecorddialog.h"
#include "views/customorderrecorddialog.h"
#include "views/finishedordersdialog.h"

std::unique_ptr<QDialog> createScreen(ScreenKind kind)
{
    switch (kind) {
    case ScreenKind::BinIntake:
        return std::make_unique<BinIntakeDialog>();
    case ScreenKind::PreCheck:
        return std::make_unique<PreCheckDialog>();
    case ScreenKind::BinRepairSheet:
        return std::make_unique<BinRepairSheetDialog>();
    case ScreenKind::BinRepairLine:
        return std::make_unique<BinRepairLineDialog>();
    case ScreenKind::FinalChecks:
        return std::make_unique<FinalChecksDialog>();
    case ScreenKind::ContinueOrder:
        return std::make_unique<ContinueOrderDialog>();
    case ScreenKind::CustomJobStart:
        return std::make_unique<CustomJobStartDialog>();
    case ScreenKind::CustomJobSheet:
        return std::make_unique<CustomJobSheetDialog>();
    case ScreenKind::CustomRepairLine:
        return std::make_unique<CustomRepairLineDialog>();
    case ScreenKind::ManagementPanel:
        return std::make_unique<ManagementPanelDialog>();
    case ScreenKind::OrderReview:
        return std::make_unique<OrderReviewDialog>();
    case ScreenKind::ClockOverview:
        return std::make_unique<ClockOverviewDialog>();
    case ScreenKind::TimeStampBrowser:
        return std::make_unique<TimeStampBrowserDialog>();
    case ScreenKind::TimeStampEditor:
        return std::make_unique<TimeStampEditorDialog>();
    case ScreenKind::FinishedOrders:
        return std::make_unique<FinishedOrdersDialog>();
    case ScreenKind::BinOrderRecord:
        return std::make_unique<BinOrderRecordDialog>();
    case ScreenKind::CustomOrderRecord:
        return std::make_unique<CustomOrderRecordDialog>();
    case ScreenKind::RepairCodeList:
        return std::make_unique<RepairCodeListDialog>();
    case ScreenKind::RepairCodeEditor:
        return std::make_unique<RepairCodeEditorDialog>();
    case ScreenKind::UserAdmin:
        return std::make_unique<UserAdminDialog>();
    case ScreenKind::Departments:
        return std::make_unique<DepartmentsDialog>();
    }
    return nullptr;
}
