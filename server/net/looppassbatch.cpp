#include "looppassbatch.h"

#include <QAbstractEventDispatcher>

LoopPassBatch::LoopPassBatch(std::function<void(Jobs &)> handOn)
    : handOn(std::move(handOn))
{
    // Every pass begins with one of the two, depending on the kind of loop:
    // what the last pass gathered goes before the loop waits again.
    if (QAbstractEventDispatcher *loop = QAbstractEventDispatcher::instance()) {
        loopWaits = QObject::connect(loop, &QAbstractEventDispatcher::aboutToBlock, [this] { handOnGathered(); });
        loopWoke = QObject::connect(loop, &QAbstractEventDispatcher::awake, [this] { handOnGathered(); });
    }
}

LoopPassBatch::~LoopPassBatch()
{
    QObject::disconnect(loopWaits);
    QObject::disconnect(loopWoke);
}

void LoopPassBatch::add(std::function<void()> job)
{
    gathered.push_back(std::move(job));
    if (!loopWaits)
        handOnGathered();
}

void LoopPassBatch::handOnGathered()
{
    if (gathered.empty())
        return;
    handOn(gathered);
    gathered.clear();
}
