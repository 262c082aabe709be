#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <chrono>
#include <functional>

namespace vellumor::app::test {

// Runs the event loop until condition() holds; false when the deadline, which only bounds a hang,
// passed first. What makes the condition true must come as an event (a timer, a posted result).
inline bool attendre_evenements(const std::function<bool()>& condition,
                                std::chrono::milliseconds delai = std::chrono::seconds(60)) {
    QTimer reveil;  // wakes the wait once the deadline has passed
    reveil.start(delai);
    const QDeadlineTimer fin(delai);
    while (!condition()) {
        if (fin.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace vellumor::app::test
