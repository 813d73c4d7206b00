#include "frame.h"

#include <QtEndian>

namespace wire {

namespace {

// How QDataStream marks a null text, where an empty one has length 0.
constexpr quint32 NullText = 0xffffffff;

} // namespace

FrameWriter::FrameWriter(const QString &command)
{
    append(qint64(0)); // the size, written when the frame is finished
    *this << command;
}

template<typename Integer>
void FrameWriter::append(Integer value)
{
    const int at = block.size();
    block.resize(at + int(sizeof value));
    qToBigEndian(value, block.data() + at);
}

FrameWriter &FrameWriter::operator<<(const QString &value)
{
    if (value.isNull()) {
        append(NullText);
        return *this;
    }
    const int units = value.size();
    append(quint32(units * sizeof(char16_t)));
    const int at = block.size();
    block.resize(at + units * int(sizeof(char16_t)));
    qToBigEndian<quint16>(value.utf16(), units, block.data() + at);
    return *this;
}

FrameWriter &FrameWriter::operator<<(const QStringList &value)
{
    append(quint32(value.size()));
    for (const QString &text : value)
        *this << text;
    return *this;
}

FrameWriter &FrameWriter::operator<<(qint32 value)
{
    append(value);
    return *this;
}

FrameWriter &FrameWriter::operator<<(qint64 value)
{
    append(value);
    return *this;
}

FrameWriter &FrameWriter::operator<<(bool value)
{
    append(qint8(value ? 1 : 0));
    return *this;
}

QByteArray FrameWriter::frame()
{
    qToBigEndian(qint64(block.size()), block.data());
    return block;
}

} // namespace wire
