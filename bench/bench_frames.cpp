// How the cost of collecting and reading reply frames depends on the size of
// the pieces the network delivers them in. Prints nanoseconds per frame for
// each piece size and its ratio to whole-buffer delivery.

#include "wire/fieldreader.h"
#include "wire/frame.h"
#include "wire/framereader.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr int FrameCount = 20000;

QByteArray repairListReplies()
{
    QByteArray stream;
    const QStringList lines{"FEC101", "Two steel plates", "1:30", "worker"};
    for (int i = 0; i < FrameCount; ++i)
        stream += wire::frame("BinRepairInfo", QString("4"), QString("1"), lines);
    return stream;
}

// Feeds the stream in pieces of the given size, reads every frame's tag and
// fields, and returns the nanoseconds per frame.
double nanosecondsPerFrame(const QByteArray &stream, int pieceSize)
{
    QElapsedTimer timer;
    timer.start();
    wire::FrameReader reader(wire::MaximumReplySize);
    int frames = 0;
    for (int offset = 0; offset < stream.size(); offset += pieceSize) {
        reader.append(stream.mid(offset, pieceSize));
        while (auto frame = reader.next()) {
            wire::FieldReader fields(*frame);
            if (wire::readFields<QString, QString, QString, QStringList>(fields))
                ++frames;
        }
    }
    const double elapsed = double(timer.nsecsElapsed());
    if (frames != FrameCount)
        std::fprintf(stderr, "read %d frames of %d\n", frames, FrameCount);
    return elapsed / FrameCount;
}

} // namespace

int main()
{
    const QByteArray stream = repairListReplies();
    nanosecondsPerFrame(stream, stream.size()); // warm-up
    const double whole = nanosecondsPerFrame(stream, stream.size());
    QTextStream out(stdout);
    out << "frames: " << FrameCount << " of " << stream.size() / FrameCount << " bytes\n";
    out << "piece size      ns/frame   ratio to whole\n";
    for (const int pieceSize : {stream.size(), 4096, 1460, 64, 8}) {
        const double perFrame = nanosecondsPerFrame(stream, pieceSize);
        out << qSetFieldWidth(12) << pieceSize << qSetFieldWidth(12) << qRound(perFrame) << qSetFieldWidth(14)
            << QString::number(perFrame / whole, 'f', 2) << qSetFieldWidth(0) << "\n";
    }
    return 0;
}
