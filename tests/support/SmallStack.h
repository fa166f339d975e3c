#pragma once

#include <QThread>

#include <memory>

// A structure this deep, walked on a small stack, crashes a walk that recurses (the
// more so under the sanitizers, whose frames are larger) and costs an iterative one
// nothing: the depth itself is not what is tested.
constexpr int kDeeperThanAnyRecursion = 5000;

// Runs work to its end on a thread whose stack is far smaller than the main thread's.
template <typename Work>
void runOnSmallStack(Work work)
{
    constexpr unsigned smallStackBytes = 256 * 1024;
    const std::unique_ptr<QThread> thread(QThread::create(std::move(work)));
    thread->setStackSize(smallStackBytes);
    thread->start();
    thread->wait();
}
