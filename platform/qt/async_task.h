#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <memory>
#include <stop_token>
#include <type_traits>
#include <utility>

namespace korvane::async {

// Runs task(std::stop_token) on a worker thread, then callback(result) on the thread of `context`
// (the GUI thread for a window), unless the context has been destroyed in between. Destroying the
// context requests the task to stop, so a long task that checks its token lets the program close
// without waiting for it.
template <typename Task, typename Callback> void runThenCallback(QObject* context, Task task, Callback callback)
{
    auto stop = std::make_shared<std::stop_source>();
    const auto connection = std::make_shared<QMetaObject::Connection>(
        QObject::connect(context, &QObject::destroyed, [stop] { stop->request_stop(); }));
    QThreadPool::globalInstance()->start([stop, connection, guard = QPointer<QObject>(context), task = std::move(task),
                                          callback = std::move(callback)]() mutable {
        auto result = task(stop->get_token());
        if (stop->stop_requested())
            return;
        QMetaObject::invokeMethod(
            guard.data(),
            [connection, result = std::move(result), callback = std::move(callback)]() mutable {
                QObject::disconnect(*connection);
                callback(std::move(result));
            },
            Qt::QueuedConnection);
    });
}

} // namespace korvane::async
