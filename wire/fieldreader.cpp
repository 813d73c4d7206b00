#include "fieldreader.h"

#include <QtEndian>

namespace wire {

namespace {
constexpr quint32 NullString = 0xFFFFFFFF;
constexpr int SmallestStringSize = 4;
} // namespace

FieldReader::FieldReader(const QByteArray &frame)
    : bytes(frame)
{
    take(8);
}

bool FieldReader::take(int count)
{
    if (!good || count < 0 || count > bytes.size() - position) {
        good = false;
        return false;
    }
    position += count;
    return true;
}

quint32 FieldReader::uint32()
{
    if (!take(4))
        return 0;
    return qFromBigEndian<quint32>(bytes.constData() + position - 4);
}

QString FieldReader::string()
{
    const quint32 byteCount = uint32();
    if (!good || byteCount == NullString)
        return QString();
    if (byteCount % 2 != 0 || byteCount > quint32(bytes.size() - position)) {
        good = false;
        return QString();
    }
    const int units = int(byteCount / 2);
    QString text(units, Qt::Uninitialized);
    const uchar *source = reinterpret_cast<const uchar *>(bytes.constData() + position);
    for (int i = 0; i < units; ++i)
        text[i] = QChar(qFromBigEndian<quint16>(source + 2 * i));
    take(int(byteCount));
    return text;
}

QStringList FieldReader::stringList()
{
    const quint32 count = uint32();
    if (!good)
        return {};
    // Every element takes at least its 4 length bytes: a count that cannot
    // fit in what is left is corrupt, and is refused before any allocation.
    if (count > quint32(bytes.size() - position) / SmallestStringSize) {
        good = false;
        return {};
    }
    QStringList list;
    list.reserve(int(count));
    for (quint32 i = 0; i < count && good; ++i)
        list.append(string());
    return good ? list : QStringList();
}

qint32 FieldReader::int32()
{
    return qint32(uint32());
}

qint64 FieldReader::int64()
{
    if (!take(8))
        return 0;
    return qFromBigEndian<qint64>(bytes.constData() + position - 8);
}

bool FieldReader::boolean()
{
    if (!take(1))
        return false;
    return bytes.at(position - 1) != 0;
}

} // namespace wire
