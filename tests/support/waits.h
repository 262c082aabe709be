#pragma once

#include <chrono>
#include <thread>

namespace vellumor::test {

// The bound on a wait for something that must happen: only a hang reaches it.
inline constexpr std::chrono::seconds kDelaiGenereux{60};

// Waits until condition() holds; true when it does, false when the deadline passed first. The
// deadline only bounds a hang (or, for a condition that must never hold, the window given to a
// fault to show).
template <typename Condition>
bool attendre_que(Condition condition, std::chrono::steady_clock::duration delai = kDelaiGenereux) {
    const auto fin = std::chrono::steady_clock::now() + delai;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= fin) return false;
        std::this_thread::yield();
    }
    return true;
}

}  // namespace vellumor::test
