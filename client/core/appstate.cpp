#include "appstate.h"

#include <initializer_list>

namespace {

const QString OutOfRange = QStringLiteral("Error");

// Groups whose getter answers an index past its list with "Error".
QString strictField(int index, std::initializer_list<QString> fields)
{
    if (index < 1 || index > int(fields.size()))
        return OutOfRange;
    return *(fields.begin() + index - 1);
}

// Groups whose getter answers any index outside its list with the last field.
QString lenientField(int index, std::initializer_list<QString> fields)
{
    if (index < 1 || index > int(fields.size()))
        index = int(fields.size());
    return *(fields.begin() + index - 1);
}

QString text(qint64 number)
{
    return QString::number(number, 10);
}

} // namespace

AppState &AppState::instance()
{
    static AppState state;
    return state;
}

void AppState::configureServer(const QString &address, int port)
{
    serverAddressValue = address;
    serverPortValue = port;
}

void AppState::configureTls(bool enabled, QList<QSslCertificate> trustedCertificates)
{
    tlsEnabledValue = enabled;
    tlsTrustedCertificatesValue = std::move(trustedCertificates);
}

void AppState::setUser(QString name, QString hash)
{
    userName = std::move(name);
    passwordHash = std::move(hash);
}

QString AppState::user(int index) const
{
    return strictField(index, {userName, passwordHash});
}

void AppState::resetUser()
{
    userName.clear();
    passwordHash.clear();
    loggedInValue = false;
}

void AppState::setCurrentBin(QString binId, QString binSize, QString codeListKey, int repairId)
{
    currentBinId = std::move(binId);
    currentBinSize = std::move(binSize);
    currentCodeListKey = std::move(codeListKey);
    currentRepairId = repairId;
}

QString AppState::currentBin(int index) const
{
    return strictField(index, {currentBinId, currentBinSize, currentCodeListKey, text(currentRepairId)});
}

void AppState::setCheckOrder(bool checking, QString name, QString binId, int repairId, QString codeListKey,
                             QString binSize)
{
    checkingOrderValue = checking;
    checkUserName = std::move(name);
    checkBinId = std::move(binId);
    checkRepairId = repairId;
    checkCodeListKey = std::move(codeListKey);
    checkBinSize = std::move(binSize);
}

QString AppState::checkOrder(int index) const
{
    return lenientField(index, {checkUserName, checkBinId, text(checkRepairId), checkCodeListKey, checkBinSize});
}

void AppState::setConfirmOrder(QString name, QString binId, int repairId, QString codeListKey)
{
    confirmUserName = std::move(name);
    confirmBinId = std::move(binId);
    confirmRepairId = repairId;
    confirmCodeListKey = std::move(codeListKey);
}

QString AppState::confirmOrder(int index) const
{
    return lenientField(index, {confirmUserName, confirmBinId, text(confirmRepairId), confirmCodeListKey});
}

void AppState::setContinueBin(bool value, QString binId)
{
    continueBinValue = value;
    continueBinIdValue = std::move(binId);
}

void AppState::setEditRepairLine(QString repairCode, QString materials, QString time)
{
    editRepairCode = std::move(repairCode);
    editMaterials = std::move(materials);
    editTime = std::move(time);
}

QString AppState::editRepairLine(int index) const
{
    return lenientField(index, {editRepairCode, editMaterials, editTime});
}

void AppState::setCustomOrder(QString date, QString worker, QString jobType, QString customer, QString customerId,
                              QString contactName, QString phone, QString email)
{
    customDate = std::move(date);
    customWorker = std::move(worker);
    customJobType = std::move(jobType);
    customCustomer = std::move(customer);
    customId = std::move(customerId);
    customContactName = std::move(contactName);
    customPhone = std::move(phone);
    customEmail = std::move(email);
}

QString AppState::customOrder(int index) const
{
    return lenientField(index, {customDate, customWorker, customJobType, customCustomer, customId, customContactName,
                                customPhone, customEmail});
}

void AppState::setEditCustomLine(QString description, QString materials, QString time)
{
    editCustomDescription = std::move(description);
    editCustomMaterials = std::move(materials);
    editCustomTime = std::move(time);
}

QString AppState::editCustomLine(int index) const
{
    return lenientField(index, {editCustomDescription, editCustomMaterials, editCustomTime});
}

void AppState::setEditCode(QString workType, QString repairCode, QString type, QString description)
{
    editCodeWorkType = std::move(workType);
    editCodeRepairCode = std::move(repairCode);
    editCodeType = std::move(type);
    editCodeDescription = std::move(description);
}

QString AppState::editCode(int index) const
{
    return lenientField(index, {editCodeWorkType, editCodeRepairCode, editCodeType, editCodeDescription});
}

void AppState::setViewBin(QString workType, QString binId, int repairId, QString name)
{
    viewWorkType = std::move(workType);
    viewBinId = std::move(binId);
    viewRepairId = repairId;
    viewUserName = std::move(name);
}

QString AppState::viewBin(int index) const
{
    return lenientField(index, {viewWorkType, viewBinId, text(viewRepairId), viewUserName});
}

void AppState::setViewCustom(QString name, int repairId, QString customer, QString jobType)
{
    viewCustomUserName = std::move(name);
    viewCustomRepairId = repairId;
    viewCustomCustomer = std::move(customer);
    viewCustomJobType = std::move(jobType);
}

QString AppState::viewCustom(int index) const
{
    return lenientField(index, {viewCustomUserName, text(viewCustomRepairId), viewCustomCustomer, viewCustomJobType});
}

void AppState::setTimeStampEdit(QString start, QString end, uint oldStart, uint oldEnd)
{
    editStampStart = std::move(start);
    editStampEnd = std::move(end);
    editStampOldStart = oldStart;
    editStampOldEnd = oldEnd;
}

QString AppState::timeStampEdit(int index) const
{
    return lenientField(index, {editStampStart, editStampEnd, text(editStampOldStart), text(editStampOldEnd)});
}

void AppState::setTimeStampUser(QString name, int firstYear)
{
    timeStampUserName = std::move(name);
    timeStampFirstYear = firstYear;
}

QString AppState::timeStampUser(int index) const
{
    return lenientField(index, {timeStampUserName, text(timeStampFirstYear)});
}
