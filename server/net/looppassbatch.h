#pragma once

#include <QMetaObject>

#include <functional>
#include <vector>

// Gathers the jobs made in one pass of this thread's event loop and hands
// them on together as the loop goes round again. For the requests of a pass
// that read many connections, that is one lock and at most one wake-up of
// the database threads instead of one each. Jobs are added on the thread
// that made the batch; on a thread without an event loop each is handed on
// at once.
class LoopPassBatch
{
public:
    using Jobs = std::vector<std::function<void()>>;

    // handOn takes the jobs out of the list it is given.
    explicit LoopPassBatch(std::function<void(Jobs &)> handOn);
    // Jobs still gathered are dropped.
    ~LoopPassBatch();
    LoopPassBatch(const LoopPassBatch &) = delete;
    LoopPassBatch &operator=(const LoopPassBatch &) = delete;

    void add(std::function<void()> job);

private:
    void handOnGathered();

    const std::function<void(Jobs &)> handOn;
    Jobs gathered;
    QMetaObject::Connection loopWaits; // none on a thread without an event loop
    QMetaObject::Connection loopWoke;
};
