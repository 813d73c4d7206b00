#include "frame.h"

#include <QtEndian>

namespace wire {

namespace {

// How QDataStream marks a null text, where an empty one has length 0.
constexpr quint32 NullText = 0xffffffff;

int encodedSize(const QString &text)
{
    return int(sizeof(quint32)) + (text.isNull() ? 0 : text.size() * int(sizeof(char16_t)));
}

// Writes text's encoding at to, which has room for it; returns its end.
char *encode(const QString &text, char *to)
{
    if (text.isNull()) {
        qToBigEndian(NullText, to);
        return to + sizeof NullText;
    }
    const int units = text.size();
    qToBigEndian(quint32(units * sizeof(char16_t)), to);
    to += sizeof(quint32);
    qToBigEndian<quint16>(text.utf16(), units, to);
    return to + units * sizeof(char16_t);
}

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
    const int at = block.size();
    block.resize(at + encodedSize(value));
    encode(value, block.data() + at);
    return *this;
}

// The list's room is made once: a list may hold a hundred thousand texts.
FrameWriter &FrameWriter::operator<<(const QStringList &value)
{
    int size = int(sizeof(quint32));
    for (const QString &text : value)
        size += encodedSize(text);
    const int at = block.size();
    block.resize(at + size);
    char *to = block.data() + at;
    qToBigEndian(quint32(value.size()), to);
    to += sizeof(quint32);
    for (const QString &text : value)
        to = encode(text, to);
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
