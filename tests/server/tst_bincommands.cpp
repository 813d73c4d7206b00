#include "inprocessserver.h"

#include "storage/repaircodes.h"

#include <QRegularExpression>
#include <QtTest>

// Bin jobs over real connections: intake, pre-check, repair sheet and
// lines, timing, final checks and continuing, and what each stores.
class BinCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void wholeFrontEndJob();
    void editSentAsEditAndSaveStoresTheLineOnce();
    void refusedEditSavesNothing();
    void removeTakesOneLine();
    void binInProgressAndRepeatRepairs();
    void newBinIdProposalsAreDistinctAndFree();
    void sameNewBinIdIsStoredOnce();
    void totalIsTheSumOfClosedStamps();
    void continuingListsOpenOrdersByOwner();
    void statusChangesAndSendingBack();
    void badRequestsStoreNothing_data();
    void badRequestsStoreNothing();

private:
    // A new front-end order of user on a proposed bin ID: its bin ID.
    QString startOrder(const QString &user = QStringLiteral("worker"), const QString &size = QStringLiteral("4"));
    void addLine(const QString &binId, const QString &code, const QString &materials, const QString &time);
    ServerTestClient::Reply requestList(const QString &command, const QStringList &arguments);
    QVariant orderValue(const QString &column, const QString &binId, int repairId = 1);
    QStringList lineTexts(const QString &binId);
    QString snapshot();

    std::unique_ptr<InProcessServer> server;
    std::unique_ptr<ServerTestClient> client;
    const QString frontEnd = QStringLiteral("Front End Repair");
};

void BinCommandsTest::initTestCase()
{
    server = std::make_unique<InProcessServer>();
    QVERIFY2(server->startError().isEmpty(), qPrintable(server->startError()));
    // Logins are not made here, so any hash will do.
    for (const QString &user : QStringList{"worker", "other", "checker", "gone"})
        QVERIFY(server->addUser(user, 1, QByteArray("unused")));
    QVERIFY(server->execute(QStringLiteral("UPDATE users SET active = 0 WHERE user_name = 'gone'")));
    RepairCodes codes(server->store());
    QCOMPARE(codes.add({"FER", "FEC2", "Weld", "Weld-seam"}), RepairCodes::AddResult::Added);
    QCOMPARE(codes.add({"FER", "FEC1", "Lid", "New lid"}), RepairCodes::AddResult::Added);
    QCOMPARE(codes.add({"ROR", "ROC1", "Door", "Door hinge"}), RepairCodes::AddResult::Added);
}

void BinCommandsTest::init()
{
    client = server->connect();
    QVERIFY(client);
}

QString BinCommandsTest::startOrder(const QString &user, const QString &size)
{
    ServerTestClient::Reply proposal = client->request(QStringLiteral("GetNewBinId"), frontEnd, user);
    const QString binId = proposal.fields.string();
    ServerTestClient::Reply repairId = client->request(QStringLiteral("MakeRepairId"), QStringLiteral("ID ") + binId, frontEnd);
    const qint32 id = repairId.fields.int32();
    ServerTestClient::Reply stored = client->request(QStringLiteral("StoreCurrentInfo"), user, frontEnd, binId, size,
                                                     QString::number(id), QStringLiteral("None"));
    if (proposal.tag != QLatin1String("NewBinID") || repairId.tag != QLatin1String("NewRepairId") || id != 1
        || stored.tag != QLatin1String("InfoSaved"))
        return QString();
    return binId;
}

void BinCommandsTest::addLine(const QString &binId, const QString &code, const QString &materials, const QString &time)
{
    ServerTestClient::Reply saved = client->request(QStringLiteral("SaveBinRepairInfo"), QStringLiteral("worker"), QStringLiteral("2"),
                                                    frontEnd, binId, QStringLiteral("1"), QStringLiteral("4"), code, materials, time);
    QCOMPARE(saved.tag, QStringLiteral("BinRepairSaved"));
}

ServerTestClient::Reply BinCommandsTest::requestList(const QString &command, const QStringList &arguments)
{
    wire::FrameWriter writer(command);
    for (const QString &argument : arguments)
        writer << argument;
    client->sendRaw(writer.frame());
    return client->receive();
}

QVariant BinCommandsTest::orderValue(const QString &column, const QString &binId, int repairId)
{
    return server->queryValue(QStringLiteral("SELECT o.%1 FROM bin_orders o JOIN bins b ON b.id = o.bin_ref"
                                             " WHERE b.bin_id = ? AND o.repair_id = ?")
                                  .arg(column),
                              {binId, repairId});
}

// The order's lines as "code materials time", in entry order.
QStringList BinCommandsTest::lineTexts(const QString &binId)
{
    const QVariant texts = server->queryValue(
        QStringLiteral("SELECT GROUP_CONCAT(t, '|') FROM (SELECT l.repair_code || ' ' || l.materials || ' ' || l.time_text AS t"
                       " FROM bin_repair_lines l JOIN bin_orders o ON o.id = l.order_id JOIN bins b ON b.id = o.bin_ref"
                       " WHERE b.bin_id = ? ORDER BY l.id)"),
        {binId});
    return texts.isNull() ? QStringList() : texts.toString().split(QLatin1Char('|'));
}

// Everything the bin commands store, in one text.
QString BinCommandsTest::snapshot()
{
    return server
        ->queryValue(QStringLiteral(
            "SELECT (SELECT COUNT(*) FROM bins) || '/' || (SELECT COUNT(*) || ':' || COALESCE(SUM(status), 0) FROM bin_orders)"
            " || '/' || (SELECT COUNT(*) || ':' || COALESCE(GROUP_CONCAT(repair_code || materials || time_text), '') FROM bin_repair_lines)"
            " || '/' || (SELECT COUNT(*) || ':' || COUNT(end_time) FROM order_time_stamps)"
            " || '/' || (SELECT COUNT(*) FROM pre_checks) || '/' || (SELECT COUNT(*) FROM final_checks)"))
        .toString();
}

void BinCommandsTest::wholeFrontEndJob()
{
    const QString user = QStringLiteral("worker");
    ServerTestClient::Reply proposal = client->request(QStringLiteral("GetNewBinId"), frontEnd, user);
    QCOMPARE(proposal.tag, QStringLiteral("NewBinID"));
    const QString binId = proposal.fields.string();
    QVERIFY(binId.startsWith(QLatin1String("KD")));
    QCOMPARE(proposal.fields.string(), QStringLiteral("FER"));

    ServerTestClient::Reply repairId = client->request(QStringLiteral("MakeRepairId"), QStringLiteral("ID ") + binId, frontEnd);
    QCOMPARE(repairId.tag, QStringLiteral("NewRepairId"));
    QCOMPARE(repairId.fields.int32(), 1);
    QVERIFY(repairId.fields.atEnd());
    QCOMPARE(client->request(QStringLiteral("StoreCurrentInfo"), user, frontEnd, binId, "4", "1", "Slant").tag, QStringLiteral("InfoSaved"));
    QCOMPARE(orderValue("status", binId).toInt(), 1);
    QCOMPARE(orderValue("additional_info", binId).toString(), QStringLiteral("Slant"));

    QCOMPARE(client->request(QStringLiteral("StorePreChecks"), binId, "1", frontEnd, "1", "1", "0").tag, QStringLiteral("PreChecksSaved"));
    ServerTestClient::Reply pre = client->request(QStringLiteral("GetPreForChecks"), "checker", frontEnd, binId, "1");
    QCOMPARE(pre.tag, QStringLiteral("PreForChecks"));
    QCOMPARE((QStringList{pre.fields.string(), pre.fields.string(), pre.fields.string()}), (QStringList{"1", "1", "0"}));

    ServerTestClient::Reply started = client->request(QStringLiteral("SetStartTime"), user, frontEnd, binId, "1");
    QCOMPARE(started.tag, QStringLiteral("StartTimeSet"));
    const QString stampId = started.fields.string();
    QCOMPARE(started.fields.string(), QStringLiteral("0.00"));

    ServerTestClient::Reply size = client->request(QStringLiteral("GetBinInfo"), user, frontEnd, binId, "1");
    QCOMPARE(size.tag, QStringLiteral("BinSize"));
    QCOMPARE(size.fields.string(), QStringLiteral("4"));

    // The repair entry on its own connection, as the screen has it.
    std::unique_ptr<ServerTestClient> entry = server->connect();
    ServerTestClient::Reply codes = entry->request(QStringLiteral("GetRepairCodes"), frontEnd, "FER");
    QCOMPARE(codes.tag, QStringLiteral("RepairCodes"));
    QCOMPARE(codes.fields.string(), QStringLiteral("2"));
    QCOMPARE((QStringList{codes.fields.string(), codes.fields.string(), codes.fields.string(), codes.fields.string()}),
             (QStringList{"FEC1", "New lid", "FEC2", "Weld-seam"}));
    QVERIFY(codes.fields.atEnd());
    QCOMPARE(entry->request(QStringLiteral("SaveBinRepairInfo"), user, "1", frontEnd, binId, "1", "4", "FEC2", "Two plates", "1:30").tag,
             QStringLiteral("BinRepairSaved"));
    QCOMPARE(orderValue("status", binId).toInt(), 2);

    ServerTestClient::Reply sheet = client->request(QStringLiteral("GetBinRepairInfo"), user, frontEnd, binId, "1");
    QCOMPARE(sheet.tag, QStringLiteral("BinRepairInfo"));
    QStringList fields;
    while (!sheet.fields.atEnd() && sheet.fields.ok())
        fields << sheet.fields.string();
    QCOMPARE(fields, (QStringList{"4", "1", "FEC2", "Two plates", "1:30", "worker"}));

    QCOMPARE(client->request(QStringLiteral("ChangeStatus"), user, "3", binId, "1").tag, QStringLiteral("StatusChanged"));
    QCOMPARE(client->request(QStringLiteral("SaveChecks"), user, frontEnd, binId, "1", "4", "34", "2.5").tag, QStringLiteral("ChecksSaved"));
    QCOMPARE(client->request(QStringLiteral("SetEndTime"), user, frontEnd, binId, "1", stampId).tag, QStringLiteral("EndTimeSet"));
    // Ending twice changes nothing.
    QCOMPARE(client->request(QStringLiteral("SetEndTime"), user, frontEnd, binId, "1", stampId).tag, QStringLiteral("EndTimeSet"));

    QCOMPARE(orderValue("status", binId).toInt(), 4);
    QCOMPARE(lineTexts(binId), QStringList{"FEC2 Two plates 1:30"});
    QCOMPARE(server->queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE id = ? AND end_time >= start_time", {stampId}).toInt(), 1);
    ServerTestClient::Reply checks = client->request(QStringLiteral("GetChecksList"), frontEnd, binId, "1");
    QCOMPARE(checks.tag, QStringLiteral("GetCheckList"));
    QCOMPARE((QStringList{checks.fields.string(), checks.fields.string()}), (QStringList{"34", "2.5"}));
    QCOMPARE(client->request(QStringLiteral("GetBinTotalTime"), user, binId, "1", frontEnd).tag, QStringLiteral("GetBinTotalTime"));

    // Waiting for a check, it is no longer a worker's open order.
    ServerTestClient::Reply open = client->request(QStringLiteral("FindBin"), user, frontEnd, binId);
    QCOMPARE(open.tag, QStringLiteral("BinFound"));
}

void BinCommandsTest::editSentAsEditAndSaveStoresTheLineOnce()
{
    const QString binId = startOrder();
    QVERIFY(!binId.isEmpty());
    addLine(binId, "FEC1", "Old lid", "0:45");
    addLine(binId, "FEC2", "Seam", "1:00");

    // The repair entry sends both frames at once and closes on the first reply.
    std::unique_ptr<ServerTestClient> entry = server->connect();
    entry->send(QStringLiteral("EditBinRepair"), QStringLiteral("worker"), frontEnd, binId, QStringLiteral("1"), QStringLiteral("FEC1"),
                QStringLiteral("Old lid"), QStringLiteral("FEC1"), QStringLiteral("New lid"), QStringLiteral("1:15"));
    entry->send(QStringLiteral("SaveBinRepairInfo"), QStringLiteral("worker"), QStringLiteral("2"), frontEnd, binId, QStringLiteral("1"),
                QStringLiteral("4"), QStringLiteral("FEC1"), QStringLiteral("New lid"), QStringLiteral("1:15"));
    QCOMPARE(entry->receive().tag, QStringLiteral("BinRepairSaved"));
    QCOMPARE(entry->receive().tag, QStringLiteral("BinRepairSaved"));
    QCOMPARE(lineTexts(binId), (QStringList{"FEC1 New lid 1:15", "FEC2 Seam 1:0"}));
    QCOMPARE(server->queryValue("SELECT SUM(minutes) FROM bin_repair_lines WHERE order_id = ?", {orderValue("id", binId)}).toInt(), 135);

    // The same line saved on a connection that made no edit is a new line.
    addLine(binId, "FEC1", "New lid", "1:15");
    QCOMPARE(lineTexts(binId).size(), 3);
}

void BinCommandsTest::refusedEditSavesNothing()
{
    const QString binId = startOrder();
    addLine(binId, "FEC1", "Lid", "0:30");
    const QString before = snapshot();

    // A line that is not there, and a line of another user's order.
    for (const QString &user : QStringList{"worker", "other"}) {
        std::unique_ptr<ServerTestClient> entry = server->connect();
        const QString oldMaterials = user == QLatin1String("worker") ? QStringLiteral("No such") : QStringLiteral("Lid");
        entry->send(QStringLiteral("EditBinRepair"), user, frontEnd, binId, QStringLiteral("1"), QStringLiteral("FEC1"), oldMaterials,
                    QStringLiteral("FEC2"), QStringLiteral("Seam"), QStringLiteral("1:0"));
        entry->send(QStringLiteral("SaveBinRepairInfo"), user, QStringLiteral("2"), frontEnd, binId, QStringLiteral("1"),
                    QStringLiteral("4"), QStringLiteral("FEC2"), QStringLiteral("Seam"), QStringLiteral("1:0"));
        QCOMPARE(entry->receive().tag, QStringLiteral("Error"));
        QCOMPARE(entry->receive().tag, QStringLiteral("Error"));
    }
    QCOMPARE(snapshot(), before);
}

void BinCommandsTest::removeTakesOneLine()
{
    const QString binId = startOrder();
    addLine(binId, "FEC1", "Lid", "0:30");
    addLine(binId, "FEC1", "Lid", "0:45");
    QCOMPARE(client->request(QStringLiteral("RemoveFromRepairList"), frontEnd, binId, "1", "FEC1", "Lid").tag, QStringLiteral("RepairRemoved"));
    QCOMPARE(lineTexts(binId), QStringList{"FEC1 Lid 0:45"});
    QCOMPARE(client->request(QStringLiteral("RemoveFromRepairList"), frontEnd, binId, "1", "FEC2", "Lid").tag, QStringLiteral("Error"));
    QCOMPARE(lineTexts(binId).size(), 1);
}

void BinCommandsTest::binInProgressAndRepeatRepairs()
{
    const QString binId = startOrder(QStringLiteral("worker"), QStringLiteral("6"));
    for (const QString &user : QStringList{"worker", "other"}) {
        ServerTestClient::Reply found = client->request(QStringLiteral("FindBin"), user, frontEnd, binId);
        QCOMPARE(found.tag, QStringLiteral("BinInProgress"));
        QCOMPARE(found.fields.string(), binId);
    }
    // No second order while the first is open.
    QCOMPARE(client->request(QStringLiteral("MakeRepairId"), QStringLiteral("ID ") + binId, frontEnd).tag, QStringLiteral("Error"));
    QCOMPARE(client->request(QStringLiteral("StoreCurrentInfo"), "other", frontEnd, binId, "6", "2", "None").tag, QStringLiteral("Error"));

    QCOMPARE(client->request(QStringLiteral("ChangeStatus"), "worker", "6", binId, "1").tag, QStringLiteral("StatusChanged"));
    QVERIFY(!orderValue("finished_at", binId).isNull());
    ServerTestClient::Reply found = client->request(QStringLiteral("FindBin"), "other", frontEnd, binId);
    QCOMPARE(found.tag, QStringLiteral("BinFound"));
    QCOMPARE((QStringList{found.fields.string(), found.fields.string(), found.fields.string()}), (QStringList{binId, "2", "6"}));
    QCOMPARE(client->request(QStringLiteral("StoreCurrentInfo"), "other", frontEnd, binId, "6", "3", "None").tag, QStringLiteral("Error"));
    QCOMPARE(client->request(QStringLiteral("StoreCurrentInfo"), "other", frontEnd, binId, "6", "2", "None").tag, QStringLiteral("InfoSaved"));
    QCOMPARE(orderValue("owner_id", binId, 2), server->queryValue("SELECT id FROM users WHERE user_name = 'other'"));

    // A bin ID typed in that no bin has yet.
    const QString typed = QStringLiteral("KD-typed-1");
    ServerTestClient::Reply missing = client->request(QStringLiteral("FindBin"), "worker", frontEnd, typed);
    QCOMPARE(missing.tag, QStringLiteral("BinNotFound"));
    QCOMPARE(missing.fields.string(), typed);
    QCOMPARE(client->request(QStringLiteral("StoreCurrentInfo"), "worker", frontEnd, typed, "2", "1", "None").tag, QStringLiteral("InfoSaved"));
}

void BinCommandsTest::newBinIdProposalsAreDistinctAndFree()
{
    std::unique_ptr<ServerTestClient> second = server->connect();
    const QString first = client->request(QStringLiteral("GetNewBinId"), frontEnd, "worker").fields.string();
    const QString next = second->request(QStringLiteral("GetNewBinId"), frontEnd, "other").fields.string();
    QVERIFY(first.startsWith(QLatin1String("KD")));
    QCOMPARE(next, QStringLiteral("KD%1").arg(first.mid(2).toInt() + 1));

    // A bin recorded by hand under the next number is skipped.
    const QString byHand = QStringLiteral("KD%1").arg(next.mid(2).toInt() + 1);
    QCOMPARE(client->request(QStringLiteral("StoreCurrentInfo"), "worker", frontEnd, byHand, "2", "1", "None").tag, QStringLiteral("InfoSaved"));
    QCOMPARE(client->request(QStringLiteral("GetNewBinId"), frontEnd, "worker").fields.string(),
             QStringLiteral("KD%1").arg(next.mid(2).toInt() + 2));

    ServerTestClient::Reply rollOff = client->request(QStringLiteral("GetNewBinId"), QStringLiteral("Roll Off Repair"), "worker");
    QVERIFY(rollOff.fields.string().startsWith(QLatin1String("ROR")));
    QCOMPARE(rollOff.fields.string(), QStringLiteral("ROR"));
}

void BinCommandsTest::sameNewBinIdIsStoredOnce()
{
    const QString binId = client->request(QStringLiteral("GetNewBinId"), frontEnd, "worker").fields.string();
    std::unique_ptr<ServerTestClient> second = server->connect();
    client->send(QStringLiteral("StoreCurrentInfo"), QStringLiteral("worker"), frontEnd, binId, QStringLiteral("4"), QStringLiteral("1"),
                 QStringLiteral("None"));
    second->send(QStringLiteral("StoreCurrentInfo"), QStringLiteral("other"), frontEnd, binId, QStringLiteral("4"), QStringLiteral("1"),
                 QStringLiteral("None"));
    const QStringList tags = {client->receive().tag, second->receive().tag};
    QCOMPARE(tags.count(QStringLiteral("InfoSaved")), 1);
    QCOMPARE(tags.count(QStringLiteral("Error")), 1);
    QCOMPARE(server->queryValue("SELECT COUNT(*) FROM bin_orders o JOIN bins b ON b.id = o.bin_ref WHERE b.bin_id = ?", {binId}).toInt(), 1);
}

void BinCommandsTest::totalIsTheSumOfClosedStamps()
{
    const QString binId = startOrder();
    const QVariant order = orderValue("id", binId);
    const QVariant user = server->queryValue("SELECT id FROM users WHERE user_name = 'worker'");
    // Half an hour, an hour and a half, and one still open that counts nothing yet.
    QVERIFY(server->execute("INSERT INTO order_time_stamps (bin_order_id, user_id, start_time, end_time) VALUES (?, ?, 1000, 2800)", {order, user}));
    QVERIFY(server->execute("INSERT INTO order_time_stamps (bin_order_id, user_id, start_time, end_time) VALUES (?, ?, 5000, 10400)", {order, user}));
    QVERIFY(server->execute("INSERT INTO order_time_stamps (bin_order_id, user_id, start_time) VALUES (?, ?, 20000)", {order, user}));

    ServerTestClient::Reply total = client->request(QStringLiteral("GetBinTotalTime"), "checker", binId, "1", frontEnd);
    QCOMPARE(total.tag, QStringLiteral("GetBinTotalTime"));
    QCOMPARE(total.fields.string(), QStringLiteral("2.00"));
    ServerTestClient::Reply viewed = client->request(QStringLiteral("GetBinTime"), "checker", frontEnd, binId, "1");
    QCOMPARE(viewed.tag, QStringLiteral("GetBinTime"));
    QCOMPARE(viewed.fields.string(), QStringLiteral("2.00"));
    ServerTestClient::Reply started = client->request(QStringLiteral("SetStartTime"), "other", frontEnd, binId, "1");
    QCOMPARE(started.tag, QStringLiteral("StartTimeSet"));
    started.fields.string();
    QCOMPARE(started.fields.string(), QStringLiteral("2.00"));
}

void BinCommandsTest::continuingListsOpenOrdersByOwner()
{
    const QString otherBin = startOrder(QStringLiteral("other"));
    const QString ownBin = startOrder(QStringLiteral("worker"));
    const QString submitted = startOrder(QStringLiteral("worker"));
    QCOMPARE(client->request(QStringLiteral("ChangeStatus"), "worker", "3", submitted, "1").tag, QStringLiteral("StatusChanged"));
    const QString checked = startOrder(QStringLiteral("worker"));
    QCOMPARE(client->request(QStringLiteral("ChangeStatus"), "worker", "4", checked, "1").tag, QStringLiteral("StatusChanged"));

    ServerTestClient::Reply list = client->request(QStringLiteral("GetWorkOrders"), "worker");
    QCOMPARE(list.tag, QStringLiteral("WorkOrders"));
    const int groups = list.fields.string().toInt();
    QHash<QString, QStringList> byOwner;
    QStringList owners;
    for (int i = 0; i < groups; ++i) {
        owners << list.fields.string();
        byOwner[owners.last()] = list.fields.stringList();
    }
    QVERIFY(list.fields.atEnd());
    QCOMPARE(owners.first(), QStringLiteral("worker"));
    QVERIFY(byOwner["worker"].contains(ownBin) && byOwner["worker"].contains(submitted));
    QVERIFY(!byOwner["worker"].contains(checked));
    QVERIFY(byOwner["other"].contains(otherBin));

    ServerTestClient::Reply bin = client->request(QStringLiteral("GetBin"), "worker", submitted);
    QCOMPARE(bin.tag, QStringLiteral("Bin"));
    QStringList fields;
    for (int i = 0; i < 5; ++i)
        fields << bin.fields.string();
    QCOMPARE(fields, (QStringList{submitted, frontEnd, "1", "3", "FER"}));
    QCOMPARE(client->request(QStringLiteral("GetBin"), "worker", otherBin).tag, QStringLiteral("Error"));
    QCOMPARE(client->request(QStringLiteral("GetBin"), "worker", checked).tag, QStringLiteral("Error"));
}

void BinCommandsTest::statusChangesAndSendingBack()
{
    const QString binId = startOrder();
    const QString before = snapshot();
    QCOMPARE(client->request(QStringLiteral("SendBinBack")).tag, QStringLiteral("SendBinBack"));
    // Leaving a sheet whose timing never started.
    QCOMPARE(client->request(QStringLiteral("SetEndTime"), "worker", frontEnd, binId, "1", "0").tag, QStringLiteral("EndTimeSet"));
    QCOMPARE(client->request(QStringLiteral("ChangeStatus"), "other", "4", binId, "1").tag, QStringLiteral("Error"));
    QCOMPARE(snapshot(), before);

    QCOMPARE(client->request(QStringLiteral("SaveChecks"), "worker", frontEnd, binId, "1", "4", "34", "2").tag, QStringLiteral("ChecksSaved"));
    QCOMPARE(client->request(QStringLiteral("ChangeStatus"), "worker", "5", binId, "1").tag, QStringLiteral("StatusChanged"));
    QCOMPARE(client->request(QStringLiteral("SendBinBack"), "worker", binId, "1", "4").tag, QStringLiteral("SendBinBack"));
    QCOMPARE(orderValue("status", binId).toInt(), 4);
    QCOMPARE(client->request(QStringLiteral("SaveChecks"), "worker", frontEnd, binId, "1", "6", "35", "2").tag, QStringLiteral("ChecksSaved"));
    QCOMPARE(orderValue("status", binId).toInt(), 6);
    QCOMPARE(server->queryValue("SELECT lid_size FROM final_checks WHERE order_id = ?", {orderValue("id", binId)}).toString(), QStringLiteral("35"));
}

void BinCommandsTest::badRequestsStoreNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("arguments");

    // "KD1" names the test's own order below; its stamp is "STAMP".
    const QString fe = frontEnd;
    QTest::newRow("unknown bin") << "GetBinInfo" << QStringList{"worker", fe, "KD-none", "1"};
    QTest::newRow("unknown repair id") << "SaveBinRepairInfo" << QStringList{"worker", "2", fe, "BIN", "9", "4", "FEC1", "x", "1:0"};
    QTest::newRow("order of another work type") << "GetBinRepairInfo" << QStringList{"worker", "Roll Off Repair", "BIN", "1"};
    QTest::newRow("custom work") << "GetNewBinId" << QStringList{"Custom", "worker"};
    QTest::newRow("unknown user") << "StoreCurrentInfo" << QStringList{"nobody", fe, "KD-new-9", "4", "1", "None"};
    QTest::newRow("removed user") << "SetStartTime" << QStringList{"gone", fe, "BIN", "1"};
    QTest::newRow("status 0") << "ChangeStatus" << QStringList{"worker", "0", "BIN", "1"};
    QTest::newRow("status 7") << "SendBinBack" << QStringList{"worker", "BIN", "1", "7"};
    QTest::newRow("checks at status 2") << "SaveChecks" << QStringList{"worker", fe, "BIN", "1", "2", "34", "2"};
    QTest::newRow("time 1:75") << "SaveBinRepairInfo" << QStringList{"worker", "2", fe, "BIN", "1", "4", "FEC1", "x", "1:75"};
    QTest::newRow("time abc") << "EditBinRepair" << QStringList{"worker", fe, "BIN", "1", "FEC1", "Lid", "FEC1", "x", "abc"};
    QTest::newRow("unknown stamp") << "SetEndTime" << QStringList{"worker", fe, "BIN", "1", "99999"};
    QTest::newRow("stamp of another user") << "SetEndTime" << QStringList{"other", fe, "BIN", "1", "STAMP"};
    QTest::newRow("repair id 0") << "GetChecksList" << QStringList{fe, "BIN", "0"};
    QTest::newRow("roll-off prefix on front end") << "FindBin" << QStringList{"worker", fe, "ROR123"};
    QTest::newRow("label without ID") << "MakeRepairId" << QStringList{"KD123", fe};
    QTest::newRow("verdict 2") << "StorePreChecks" << QStringList{"BIN", "1", fe, "1", "2", "1"};
    QTest::newRow("unknown code list") << "GetRepairCodes" << QStringList{fe, "XYZ"};
    QTest::newRow("materials too long") << "SaveBinRepairInfo" << QStringList{"worker", "2", fe, "BIN", "1", "4", "FEC1", QString(513, 'm'), "1:0"};
    QTest::newRow("one argument short") << "ChangeStatus" << QStringList{"worker", "4", "BIN"};
    QTest::newRow("sending back with two arguments") << "SendBinBack" << QStringList{"worker", "BIN"};
}

void BinCommandsTest::badRequestsStoreNothing()
{
    QFETCH(QString, command);
    QFETCH(QStringList, arguments);
    const QString binId = startOrder();
    addLine(binId, "FEC1", "Lid", "0:30");
    ServerTestClient::Reply started = client->request(QStringLiteral("SetStartTime"), "worker", frontEnd, binId, "1");
    const QString stampId = started.fields.string();
    arguments.replaceInStrings(QRegularExpression("^BIN$"), binId);
    arguments.replaceInStrings(QRegularExpression("^STAMP$"), stampId);
    const QString before = snapshot();

    ServerTestClient::Reply reply = requestList(command, arguments);
    QCOMPARE(reply.tag, QStringLiteral("Error"));
    QVERIFY(!reply.fields.string().isEmpty());
    QCOMPARE(snapshot(), before);
}

QTEST_GUILESS_MAIN(BinCommandsTest)
#include "tst_bincommands.moc"
