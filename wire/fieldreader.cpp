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

std::optional<int> FieldReader::stringBytes()
{
    const quint32 byteCount = uint32();
    if (!good || byteCount == NullString)
        return std::nullopt;
    if (byteCount % 2 != 0 || byteCount > quint32(bytes.size() - position)) {
        good = false;
        return std::nullopt;
    }
    return int(byteCount);
}

std::optional<int> FieldReader::listCount()
{
    const quint32 count = uint32();
    if (!good)
        return std::nullopt;
    // Every element takes at least its 4 length bytes: a count that cannot
    // fit in what is left is corrupt, and is refused before any allocation.
    if (count > quint32(bytes.size() - position) / SmallestStringSize) {
        good = false;
        return std::nullopt;
    }
    return int(count);
}

QString FieldReader::string()
{
    const auto byteCount = stringBytes();
    if (!byteCount)
        return QString();
    // One allocation and one byte-order pass a string: long lists read
    // hundreds of thousands of them.
    QString text(*byteCount / 2, Qt::Uninitialized);
    qFromBigEndian<quint16>(bytes.constData() + position, text.size(), text.data());
    take(*byteCount);
    return text;
}

QStringList FieldReader::stringList()
{
    const auto count = listCount();
    if (!count)
        return {};
    QStringList list;
    list.reserve(*count);
    for (int i = 0; i < *count && good; ++i)
        list.append(string());
    if (!good)
        return {};
    return list;
}

void FieldReader::skipString()
{
    if (const auto byteCount = stringBytes())
        take(*byteCount);
}

void FieldReader::skipStringList()
{
    const auto count = listCount();
    for (int i = 0; count && i < *count && good; ++i)
        skipString();
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
