#pragma once

#include <QList>
#include <QSslCertificate>
#include <QString>

#include <atomic>

// The process-wide values through which the screens hand over context.
// Groups are written whole by one setter and read one field at a time by
// a 1-based index, as text. Only the GUI thread writes; the live clock
// thread reads liveClockRunning, which is therefore atomic.
class AppState
{
public:
    static AppState &instance();

    // Set once by the program entry, before any screen opens.
    void configureServer(const QString &address, int port);
    QString serverAddress() const { return serverAddressValue; }
    int serverPort() const { return serverPortValue; }
    // With TLS every link is encrypted, and the server's certificate must
    // be signed by one of the trusted certificates, or by one the system
    // trusts when none are given.
    void configureTls(bool enabled, QList<QSslCertificate> trustedCertificates = {});
    bool tlsEnabled() const { return tlsEnabledValue; }
    QList<QSslCertificate> tlsTrustedCertificates() const { return tlsTrustedCertificatesValue; }

    void setUser(QString userName, QString passwordHash);
    QString user(int index) const;
    void resetUser();
    void setLoggedIn(bool value) { loggedInValue = value; }
    bool loggedIn() const { return loggedInValue; }

    void setWorkType(QString value) { workTypeValue = std::move(value); }
    QString workType() const { return workTypeValue; }
    void setOrderStatus(int value) { orderStatusValue = value; }
    int orderStatus() const { return orderStatusValue; }

    void setCurrentBin(QString binId, QString binSize, QString codeListKey, int repairId);
    QString currentBin(int index) const;

    void setCheckOrder(bool checking, QString userName, QString binId, int repairId, QString codeListKey,
                       QString binSize);
    QString checkOrder(int index) const;
    bool checkingOrder() const { return checkingOrderValue; }
    void setCheckBinSize(QString value) { checkBinSize = std::move(value); }

    void setConfirmOrder(QString userName, QString binId, int repairId, QString codeListKey);
    QString confirmOrder(int index) const;
    void setConfirmingOrders(bool value) { confirmingOrdersValue = value; }
    bool confirmingOrders() const { return confirmingOrdersValue; }
    void setConfirmBinSize(QString value) { confirmBinSizeValue = std::move(value); }
    QString confirmBinSize() const { return confirmBinSizeValue; }

    void setContinueBin(bool value, QString binId);
    bool continueBin() const { return continueBinValue; }
    QString continueBinId() const { return continueBinIdValue; }
    void setContinueCustom(bool value) { continueCustomValue = value; }
    bool continueCustom() const { return continueCustomValue; }

    void setOrderOwner(QString value) { orderOwnerValue = std::move(value); }
    QString orderOwner() const { return orderOwnerValue; }

    void setTimeStampId(int value) { timeStampIdValue = value; }
    int timeStampId() const { return timeStampIdValue; }
    void setTimerRunning(bool value) { timerRunningValue = value; }
    bool timerRunning() const { return timerRunningValue; }
    void setElapsedHours(float value) { elapsedHoursValue = value; }
    float elapsedHours() const { return elapsedHoursValue; }
    void setLiveClockRunning(bool value) { liveClockRunningValue.store(value); }
    bool liveClockRunning() const { return liveClockRunningValue.load(); }

    void setEditRepairLine(QString repairCode, QString materials, QString time);
    QString editRepairLine(int index) const;

    void setCustomOrder(QString date, QString worker, QString jobType, QString customer, QString customerId,
                        QString contactName, QString phone, QString email);
    QString customOrder(int index) const;
    void setCustomOrderId(int value) { customOrderIdValue = value; }
    int customOrderId() const { return customOrderIdValue; }
    void setCheckingCustom(bool value) { checkingCustomValue = value; }
    bool checkingCustom() const { return checkingCustomValue; }

    void setEditCustomLine(QString description, QString materials, QString time);
    QString editCustomLine(int index) const;

    void setEditCode(QString workType, QString repairCode, QString type, QString description);
    QString editCode(int index) const;
    void setEditingCode(bool value) { editingCodeValue = value; }
    bool editingCode() const { return editingCodeValue; }

    void setViewBin(QString workType, QString binId, int repairId, QString userName);
    QString viewBin(int index) const;
    void setViewCustom(QString userName, int repairId, QString customer, QString jobType);
    QString viewCustom(int index) const;

    void setTimeStampEdit(QString start, QString end, uint oldStart, uint oldEnd);
    QString timeStampEdit(int index) const;
    void setTimeStampUser(QString userName, int firstYear);
    QString timeStampUser(int index) const;

private:
    QString serverAddressValue = QStringLiteral("127.0.0.1");
    int serverPortValue = 1234;
    bool tlsEnabledValue = false;
    QList<QSslCertificate> tlsTrustedCertificatesValue;

    QString userName;
    QString passwordHash;
    bool loggedInValue = false;

    QString workTypeValue;
    int orderStatusValue = 1;

    QString currentBinId;
    QString currentBinSize;
    QString currentCodeListKey;
    int currentRepairId = 0;

    bool checkingOrderValue = false;
    QString checkUserName;
    QString checkBinId;
    int checkRepairId = 0;
    QString checkCodeListKey;
    QString checkBinSize;

    QString confirmUserName;
    QString confirmBinId;
    int confirmRepairId = 0;
    QString confirmCodeListKey;
    bool confirmingOrdersValue = false;
    QString confirmBinSizeValue;

    bool continueBinValue = false;
    QString continueBinIdValue;
    bool continueCustomValue = false;
    QString orderOwnerValue;

    int timeStampIdValue = 0;
    bool timerRunningValue = false;
    float elapsedHoursValue = 0;
    std::atomic<bool> liveClockRunningValue{false};

    QString editRepairCode;
    QString editMaterials;
    QString editTime;

    QString customDate;
    QString customWorker;
    QString customJobType;
    QString customCustomer;
    QString customId;
    QString customContactName;
    QString customPhone;
    QString customEmail;
    int customOrderIdValue = 0;
    bool checkingCustomValue = false;

    QString editCustomDescription;
    QString editCustomMaterials;
    QString editCustomTime;

    QString editCodeWorkType;
    QString editCodeRepairCode;
    QString editCodeType;
    QString editCodeDescription;
    bool editingCodeValue = false;

    QString viewWorkType;
    QString viewBinId;
    int viewRepairId = 0;
    QString viewUserName;

    QString viewCustomUserName;
    int viewCustomRepairId = 0;
    QString viewCustomCustomer;
    QString viewCustomJobType;

    QString editStampStart;
    QString editStampEnd;
    uint editStampOldStart = 0;
    uint editStampOldEnd = 0;

    QString timeStampUserName;
    int timeStampFirstYear = 0;
};
