#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QString>
#include <QStringList>

namespace wire {

// Every value on the wire is written with this QDataStream version, big-endian.
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_5_4;

// Smallest possible frame: the 8 size bytes and an empty command string.
constexpr qint64 MinimumFrameSize = 8 + 4;

// Largest frames accepted: a request at the server, a reply at the client.
// The largest request a screen sends is a few kB of text.
constexpr qint64 MaximumRequestSize = 64 << 10;
constexpr qint64 MaximumReplySize = 64 << 20;

// Builds one frame: a qint64 size of the whole frame (its own 8 bytes
// included), the command or reply tag, then the values in the order given,
// each encoded as QDataStream encodes it. The bytes are appended directly:
// a list of a hundred thousand texts through a QDataStream costs a device
// write each.
class FrameWriter
{
public:
    explicit FrameWriter(const QString &command);

    FrameWriter &operator<<(const QString &value);
    FrameWriter &operator<<(const char *value) { return *this << QString::fromUtf8(value); }
    FrameWriter &operator<<(const QStringList &value);
    FrameWriter &operator<<(qint32 value);
    FrameWriter &operator<<(qint64 value);
    FrameWriter &operator<<(bool value);

    // The finished frame, its size written over the placeholder.
    QByteArray frame();

private:
    template<typename Integer>
    void append(Integer value);

    QByteArray block;
};

template<typename... Values>
QByteArray frame(const QString &command, const Values &...values)
{
    FrameWriter writer(command);
    static_cast<void>((writer << ... << values));
    return writer.frame();
}

} // namespace wire
