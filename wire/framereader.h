#pragma once

#include <QByteArray>

#include <optional>

namespace wire {

// Collects the bytes of a stream connection and cuts them into frames.
// A frame is taken out of the buffer before it is returned, so a caller
// that runs a nested event loop while handling it (a message box) may
// append and take the next frame without corrupting anything. Bytes after
// a complete frame stay for the next one. A size field below the smallest
// frame or above the limit is a protocol error: the reader stops for good.
class FrameReader
{
public:
    explicit FrameReader(qint64 maximumFrameSize);

    void append(const QByteArray &bytes);

    // The next complete frame, or nothing while more bytes are needed or
    // after a protocol error.
    std::optional<QByteArray> next();

    bool failed() const { return broken; }
    qint64 buffered() const { return buffer.size() - consumed; }

private:
    qint64 maximumFrameSize;
    QByteArray buffer;
    // Bytes at the front of the buffer already handed out as frames; they
    // are dropped in one go rather than after every frame, so that many
    // frames arriving together cost linear, not quadratic, time.
    int consumed = 0;
    bool broken = false;
};

} // namespace wire
