#include "app/JobRunner.h"

#include "signal/WorkerPool.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>

#include <exception>
#include <future>

namespace {
constexpr int kProgressIntervalMs = 30;
}

void RunJob(JobControl& control, const std::function<void()>& work,
            const std::function<void(int)>& showProgress) {
    QEventLoop loop;
    QTimer progressTimer;
    progressTimer.setInterval(kProgressIntervalMs);
    QObject::connect(&progressTimer, &QTimer::timeout, [&] {
        if (showProgress) showProgress(control.Progress.load(std::memory_order_relaxed));
    });
    progressTimer.start();

    std::exception_ptr failure;
    std::future<void> ended = WorkerPool::Shared().StartJob([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued, so it takes effect even when the job ends before the loop has started.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    ended.get();
    progressTimer.stop();
    if (showProgress) showProgress(control.Progress.load(std::memory_order_relaxed));
    if (failure) std::rethrow_exception(failure);
}
