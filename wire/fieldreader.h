#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>
#include <tuple>

namespace wire {

// Reads the values of one received frame, checking every length against
// the bytes that are left. The first short or corrupt value makes the
// reader fail: from then on every read returns an empty value and ok()
// stays false. Nothing it reads can make it allocate more than the frame.
class FieldReader
{
public:
    // Positions the reader after the frame's 8 size bytes.
    explicit FieldReader(const QByteArray &frame);

    QString string();
    QStringList stringList();
    qint32 int32();
    qint64 int64();
    bool boolean();
    // Step over a value, checking its lengths as reading it would, without
    // building it: a cheap look at whether a long reply is whole.
    void skipString();
    void skipStringList();

    bool ok() const { return good; }
    bool atEnd() const { return good && position == bytes.size(); }

private:
    bool take(int count);
    // The byte count of the string whose length was just read; nothing
    // for a null string or a corrupt length, which fails the reader.
    std::optional<int> stringBytes();
    // The element count of a list whose count was just read; nothing for
    // a count the frame cannot hold, which fails the reader.
    std::optional<int> listCount();
    quint32 uint32();

    QByteArray bytes;
    int position = 0;
    bool good = true;
};

inline void readField(FieldReader &reader, QString &value)
{
    value = reader.string();
}
inline void readField(FieldReader &reader, QStringList &value)
{
    value = reader.stringList();
}
inline void readField(FieldReader &reader, qint32 &value)
{
    value = reader.int32();
}
inline void readField(FieldReader &reader, qint64 &value)
{
    value = reader.int64();
}
inline void readField(FieldReader &reader, bool &value)
{
    value = reader.boolean();
}

// Reads the given types in order; nothing when any of them is short or corrupt.
template<typename... Types>
std::optional<std::tuple<Types...>> readFields(FieldReader &reader)
{
    std::tuple<Types...> values;
    std::apply([&reader](auto &...value) { (readField(reader, value), ...); }, values);
    if (!reader.ok())
        return std::nullopt;
    return values;
}

// Reads count groups of the given types; nothing when the count is
// negative or larger than the frame could hold, or when a field is corrupt.
template<typename... Types>
std::optional<QVector<std::tuple<Types...>>> readGroups(FieldReader &reader, int count)
{
    QVector<std::tuple<Types...>> groups;
    if (count < 0 || !reader.ok())
        return std::nullopt;
    for (int i = 0; i < count; ++i) {
        auto group = readFields<Types...>(reader);
        if (!group)
            return std::nullopt;
        groups.append(std::move(*group));
    }
    return groups;
}

} // namespace wire
