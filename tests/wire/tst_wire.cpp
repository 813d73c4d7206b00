#include "wire/fieldreader.h"
#include "wire/frame.h"
#include "wire/framereader.h"
#include "wire/passworddigest.h"

#include <QtTest>

class WireTest : public QObject
{
    Q_OBJECT

private slots:
    void frameOfCommandAloneCarriesItsWholeSize()
    {
        QCOMPARE(wire::frame("GetWork").toHex(), QByteArray("000000000000001a0000000e0047006500740057006f0072006b"));
    }

    void frameRoundTripsEveryFieldType()
    {
        const QByteArray frame = wire::frame("Tag", QString("text"), QStringList{"a", "", "ü"}, qint32(-7),
                                             qint64(1) << 40, true, QString());
        wire::FieldReader reader(frame);
        QCOMPARE(reader.string(), QString("Tag"));
        QCOMPARE(reader.string(), QString("text"));
        QCOMPARE(reader.stringList(), (QStringList{"a", "", "ü"}));
        QCOMPARE(reader.int32(), -7);
        QCOMPARE(reader.int64(), qint64(1) << 40);
        QCOMPARE(reader.boolean(), true);
        QVERIFY(reader.string().isNull());
        QVERIFY(reader.atEnd());

        // The size field and the encoding are those of QDataStream itself.
        QByteArray expected;
        QDataStream out(&expected, QIODevice::WriteOnly);
        out.setVersion(wire::StreamVersion);
        out << qint64(frame.size()) << QString("Tag") << QString("text") << QStringList{"a", "", "ü"} << qint32(-7)
            << (qint64(1) << 40) << true << QString();
        QCOMPARE(frame.toHex(), expected.toHex());
    }

    void readerWaitsForTheSizeBytesAndTheWholeFrame()
    {
        const QByteArray frame = wire::frame("BinFound", QString("KD100"), QString("2"), QString("4"));
        wire::FrameReader reader(wire::MaximumReplySize);
        for (int i = 0; i < frame.size() - 1; ++i) {
            reader.append(frame.mid(i, 1));
            QVERIFY2(!reader.next(), "a frame was taken before all its bytes arrived");
        }
        reader.append(frame.right(1));
        const auto taken = reader.next();
        QVERIFY(taken);
        QCOMPARE(*taken, frame);
        QCOMPARE(reader.buffered(), 0);
        QVERIFY(!reader.failed());
    }

    void readerKeepsBytesAfterAFrameForTheNext()
    {
        const QByteArray first = wire::frame("ClockIn");
        const QByteArray second = wire::frame("GetClockStatus", QString("In"));
        const QByteArray third = wire::frame("Permissions", QString("3"));
        wire::FrameReader reader(wire::MaximumReplySize);
        reader.append(first + second + third.left(5));
        QCOMPARE(reader.next().value_or(QByteArray()), first);
        QCOMPARE(reader.next().value_or(QByteArray()), second);
        QVERIFY(!reader.next());
        reader.append(third.mid(5));
        QCOMPARE(reader.next().value_or(QByteArray()), third);
        QVERIFY(!reader.next());
    }

    void readerRefusesImpossibleSizes_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("zero") << qint64(0);
        QTest::newRow("negative") << qint64(-26);
        QTest::newRow("only the size bytes") << qint64(8);
        QTest::newRow("just below the smallest frame") << wire::MinimumFrameSize - 1;
        QTest::newRow("above the request limit") << wire::MaximumRequestSize + 1;
    }

    void readerRefusesImpossibleSizes()
    {
        QFETCH(qint64, size);
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << size << QString("GetWork");
        wire::FrameReader reader(wire::MaximumRequestSize);
        reader.append(bytes);
        QVERIFY(!reader.next());
        QVERIFY(reader.failed());
        reader.append(wire::frame("GetWork"));
        QVERIFY2(!reader.next(), "a broken stream must not yield further frames");
    }

    void fieldReaderRefusesShortAndCorruptFields_data()
    {
        QTest::addColumn<QByteArray>("fields");
        QTest::newRow("string longer than the frame") << QByteArray::fromHex("00000010"
                                                                             "0041");
        QTest::newRow("odd string length") << QByteArray::fromHex("00000003"
                                                                  "004100");
        QTest::newRow("truncated length") << QByteArray::fromHex("0000");
        QTest::newRow("list element cut short") << QByteArray::fromHex("00000002"
                                                                       "00000002"
                                                                       "0041"
                                                                       "000000");
    }

    void fieldReaderRefusesShortAndCorruptFields()
    {
        QFETCH(QByteArray, fields);
        const QByteArray frame = QByteArray(8, '\0') + fields;
        const bool list = fields.startsWith(QByteArray::fromHex("00000002"));
        wire::FieldReader reader(frame);
        if (list)
            reader.stringList();
        else
            reader.string();
        QVERIFY(!reader.ok());
        QVERIFY(!reader.atEnd());
        QCOMPARE(reader.string(), QString());
        // Stepping over the fields refuses them alike.
        wire::FieldReader skipper(frame);
        if (list)
            skipper.skipStringList();
        else
            skipper.skipString();
        QVERIFY(!skipper.ok());
    }

    void hugeListCountFailsWithoutAllocating()
    {
        // A 24-byte frame claiming 0x0FFFFFFF elements: QDataStream would try to
        // reserve them all before reading one.
        const QByteArray frame = QByteArray::fromHex("0000000000000018"
                                                     "00000000"
                                                     "0FFFFFFF"
                                                     "0000000000000000");
        wire::FieldReader reader(frame);
        QCOMPARE(reader.string(), QString(""));
        QCOMPARE(reader.stringList(), QStringList());
        QVERIFY(!reader.ok());
        QVERIFY((!wire::readFields<QString, QStringList>(reader)));
    }

    void digestIsKeccak512OfUtf8InLowercaseHex()
    {
        const QString empty = wire::passwordDigest(QString());
        QCOMPARE(empty.size(), 128);
        QVERIFY(empty.startsWith("0eab42de"));
        QVERIFY(empty.endsWith("3670680e"));
        QVERIFY(wire::isPasswordDigest(empty));
        QCOMPARE(wire::passwordDigest("pässword"),
                 QString::fromLatin1(
                     QCryptographicHash::hash(QString("pässword").toUtf8(), QCryptographicHash::Keccak_512).toHex()));
        QVERIFY(wire::passwordDigest("pässword") != wire::passwordDigest("passw\u00f6rd"));
        QVERIFY(!wire::isPasswordDigest(empty.toUpper()));
        QVERIFY(!wire::isPasswordDigest("secret"));
    }
};

QTEST_APPLESS_MAIN(WireTest)
#include "tst_wire.moc"
