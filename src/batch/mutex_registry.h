#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace vellumor {

// An operation's mutex. The registry keeps one reference while the mutex is registered; the
// operation keeps its own in a variable that it clears after Mutex_Liberer.
using Mutex = std::shared_ptr<std::mutex>;

// A new mutex, not yet registered.
Mutex Mutex_Creer();

struct EntreeMutex {
    Mutex mutex;
    std::int64_t compte = 0;  // lock count: locks minus unlocks
};

// With test_seul 0: registers m with a lock count of 0 unless it is already registered; returns 1
// when it already was, else 0. With test_seul non-zero: returns 1 when m is registered, else 0.
// A null mutex is never registered.
int Mutex_Enregistrer(const Mutex& m, int test_seul);

// Locks m (blocking) and adds 1 to its lock count; an unregistered mutex is ignored.
void Mutex_Verrouiller(const Mutex& m);

// Subtracts 1 from m's lock count and unlocks it; an unregistered mutex, or one whose count is 0
// (not locked through the registry), is ignored.
void Mutex_Deverrouiller(const Mutex& m);

// Removes m's entry from the registry, which drops the registry's reference; unregistered: ignored.
void Mutex_Liberer(const Mutex& m);

// A copy of the registry GLB_Liste_Mutex, in registration order.
std::vector<EntreeMutex> GLB_Liste_Mutex();

// Holds m for its lifetime, and counts the lock in the registry while m is registered. m itself is
// locked whether it is registered or not: an operation whose registration failed still runs its
// workers one at a time where they must.
class VerrouMutex {
  public:
    explicit VerrouMutex(Mutex m);
    ~VerrouMutex();
    VerrouMutex(const VerrouMutex&) = delete;
    VerrouMutex& operator=(const VerrouMutex&) = delete;

  private:
    Mutex m_;
    bool compte_ = false;  // the registry counted this lock
};

}  // namespace vellumor
