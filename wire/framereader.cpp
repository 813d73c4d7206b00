#include "framereader.h"

#include "frame.h"

#include <QtEndian>

namespace wire {

FrameReader::FrameReader(qint64 maximumFrameSize)
    : maximumFrameSize(maximumFrameSize)
{ }

void FrameReader::append(const QByteArray &bytes)
{
    if (broken)
        return;
    if (consumed == buffer.size()) {
        // Starting afresh gives back the memory of a large frame handled before.
        buffer = bytes;
    } else {
        buffer.remove(0, consumed);
        buffer.append(bytes);
    }
    consumed = 0;
}

std::optional<QByteArray> FrameReader::next()
{
    const qint64 available = buffer.size() - consumed;
    if (broken || available < 8)
        return std::nullopt;
    const qint64 size = qFromBigEndian<qint64>(buffer.constData() + consumed);
    if (size < MinimumFrameSize || size > maximumFrameSize) {
        broken = true;
        buffer.clear();
        consumed = 0;
        return std::nullopt;
    }
    if (available < size)
        return std::nullopt;
    QByteArray frame = buffer.mid(consumed, int(size));
    consumed += int(size);
    if (consumed == buffer.size()) {
        buffer.clear();
        consumed = 0;
    }
    return frame;
}

} // namespace wire
