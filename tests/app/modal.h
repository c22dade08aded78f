#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace korvane::test {

// Calls `open`, which shows a modal window and waits for it; once the window is up, `act` runs
// on it and must close it. Returns whether `act` ran.
inline bool whileModal(const std::function<void()>& open, std::function<void(QWidget&)> act)
{
    auto pending = std::make_shared<bool>(true);
    auto acted = std::make_shared<bool>(false);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [pending, acted, act = std::move(act), weakPoll = std::weak_ptr(poll)] {
        if (!*pending)
            return;
        if (QWidget* modal = QApplication::activeModalWidget()) {
            *pending = false;
            *acted = true;
            act(*modal);
        } else if (auto again = weakPoll.lock()) {
            QTimer::singleShot(10, *again);
        }
    };
    QTimer::singleShot(0, *poll);
    open();
    *pending = false;
    return *acted;
}

} // namespace korvane::test
