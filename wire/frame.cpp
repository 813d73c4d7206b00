#include "frame.h"

namespace wire {

FrameWriter::FrameWriter(const QString &command)
    : stream(&block, QIODevice::WriteOnly)
{
    stream.setVersion(StreamVersion);
    stream << qint64(1) << command;
}

FrameWriter &FrameWriter::operator<<(const QString &value)
{
    stream << value;
    return *this;
}

FrameWriter &FrameWriter::operator<<(const QStringList &value)
{
    stream << value;
    return *this;
}

FrameWriter &FrameWriter::operator<<(qint32 value)
{
    stream << value;
    return *this;
}

FrameWriter &FrameWriter::operator<<(qint64 value)
{
    stream << value;
    return *this;
}

FrameWriter &FrameWriter::operator<<(bool value)
{
    stream << value;
    return *this;
}

QByteArray FrameWriter::frame()
{
    stream.device()->seek(0);
    stream << qint64(block.size());
    stream.device()->seek(block.size());
    return block;
}

} // namespace wire
