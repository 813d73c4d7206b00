#include "framereader.h"

#include "frame.h"

#include <QtEndian>

namespace wire {

FrameReader::FrameReader(qint64 maximumFrameSize)
    : maximumFrameSize(maximumFrameSize)
{
}

void FrameReader::append(const QByteArray &bytes)
{
    if (!broken)
        buffer.append(bytes);
}

std::optional<QByteArray> FrameReader::next()
{
    if (broken || buffer.size() < 8)
        return std::nullopt;
    const qint64 size = qFromBigEndian<qint64>(buffer.constData());
    if (size < MinimumFrameSize || size > maximumFrameSize) {
        broken = true;
        buffer.clear();
        return std::nullopt;
    }
    if (buffer.size() < size)
        return std::nullopt;
    QByteArray frame = buffer.left(int(size));
    buffer.remove(0, int(size));
    return frame;
}

} // namespace wire
