#include "batch/mutex_registry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/waits.h"

namespace vellumor {
namespace {

std::int64_t compte(const Mutex& m) {
    for (const EntreeMutex& e : GLB_Liste_Mutex())
        if (e.mutex == m) return e.compte;
    return -1;
}

TEST(MutexRegistry, RegisterTestOnlyAndRelease) {
    Mutex m = Mutex_Creer();
    EXPECT_EQ(Mutex_Enregistrer(m, 1), 0);  // test only: not registered, and stays so
    EXPECT_EQ(compte(m), -1);
    EXPECT_EQ(Mutex_Enregistrer(m, 0), 0);
    EXPECT_EQ(compte(m), 0);
    EXPECT_EQ(Mutex_Enregistrer(m, 0), 1);  // already there: no second entry
    EXPECT_EQ(Mutex_Enregistrer(m, 1), 1);
    std::size_t entrees = 0;
    for (const EntreeMutex& e : GLB_Liste_Mutex()) entrees += e.mutex == m;
    EXPECT_EQ(entrees, 1u);
    Mutex_Liberer(m);
    EXPECT_EQ(Mutex_Enregistrer(m, 1), 0);
    Mutex_Liberer(m);  // twice: ignored
    EXPECT_EQ(Mutex_Enregistrer(nullptr, 0), 0);
    EXPECT_EQ(Mutex_Enregistrer(nullptr, 1), 0);
}

TEST(MutexRegistry, LockCountsAndExcludesOtherThreads) {
    Mutex m = Mutex_Creer();
    Mutex_Enregistrer(m, 0);
    Mutex_Verrouiller(m);
    EXPECT_EQ(compte(m), 1);
    std::atomic<bool> tente{false}, entre{false};
    std::thread autre([&] {
        tente = true;
        Mutex_Verrouiller(m);
        entre = true;
        Mutex_Deverrouiller(m);
    });
    EXPECT_TRUE(test::attendre_que([&] { return tente.load(); }));
    // Blocked while this thread holds it: a lock that let it in would show within this window.
    EXPECT_FALSE(test::attendre_que([&] { return entre.load(); }, std::chrono::milliseconds(50)));
    Mutex_Deverrouiller(m);
    autre.join();
    EXPECT_TRUE(entre.load());
    EXPECT_EQ(compte(m), 0);
    Mutex_Deverrouiller(m);  // not held: ignored, the count does not go negative
    EXPECT_EQ(compte(m), 0);
    Mutex_Liberer(m);
}

TEST(MutexRegistry, UnregisteredMutexIsIgnoredByLockAndUnlock) {
    Mutex m = Mutex_Creer();
    Mutex_Verrouiller(m);  // ignored: the mutex itself stays free
    EXPECT_TRUE(m->try_lock());
    m->unlock();
    Mutex_Deverrouiller(m);
    Mutex_Verrouiller(nullptr);
    Mutex_Deverrouiller(nullptr);
    {
        Mutex_Enregistrer(m, 0);
        VerrouMutex v(m);
        EXPECT_EQ(compte(m), 1);
        bool libre = true;
        std::thread([&] {
            libre = m->try_lock();
            if (libre) m->unlock();
        }).join();
        EXPECT_FALSE(libre);
    }
    EXPECT_EQ(compte(m), 0);
    Mutex_Liberer(m);
    EXPECT_EQ(compte(m), -1);
}

}  // namespace
}  // namespace vellumor
