#pragma once

#include <QEventLoop>
#include <QTimer>

// Waits until done() holds or timeout milliseconds have passed, running the event
// loop meanwhile; whether done() holds at the end. QTest::qWaitFor, qWait and the
// QTRY_ macros sleep 10 ms between rounds of events, and the web engine passes every
// step of its work through this thread: a page that opens in 50 ms took them 1.5 s.
template <typename Condition>
bool waitUntil(Condition done, int timeout)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(10);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(timeout);
    loop.exec();
    return done();
}
