#include "batch/mutex_registry.h"

#include <algorithm>

namespace vellumor {
namespace {

// The registry itself is guarded by its own lock, never held while an operation's mutex is being
// waited for.
struct Registre {
    std::mutex garde;
    std::vector<EntreeMutex> entrees;

    EntreeMutex* trouver(const Mutex& m) {
        auto it = std::find_if(entrees.begin(), entrees.end(),
                               [&](const EntreeMutex& e) { return e.mutex == m; });
        return it == entrees.end() ? nullptr : &*it;
    }
};

Registre& registre() {
    static Registre r;
    return r;
}

}  // namespace

Mutex Mutex_Creer() {
    return std::make_shared<std::mutex>();
}

int Mutex_Enregistrer(const Mutex& m, int test_seul) {
    if (!m) return 0;
    Registre& r = registre();
    std::lock_guard g(r.garde);
    if (r.trouver(m)) return 1;
    if (test_seul == 0) r.entrees.push_back({m, 0});
    return 0;
}

void Mutex_Verrouiller(const Mutex& m) {
    Registre& r = registre();
    {
        std::lock_guard g(r.garde);
        if (!m || !r.trouver(m)) return;
    }
    m->lock();
    std::lock_guard g(r.garde);
    if (EntreeMutex* e = r.trouver(m)) ++e->compte;
}

void Mutex_Deverrouiller(const Mutex& m) {
    Registre& r = registre();
    {
        std::lock_guard g(r.garde);
        EntreeMutex* e = m ? r.trouver(m) : nullptr;
        if (!e || e->compte <= 0) return;
        --e->compte;
    }
    m->unlock();
}

void Mutex_Liberer(const Mutex& m) {
    Registre& r = registre();
    std::lock_guard g(r.garde);
    std::erase_if(r.entrees, [&](const EntreeMutex& e) { return e.mutex == m; });
}

VerrouMutex::VerrouMutex(Mutex m) : m_(std::move(m)) {
    if (!m_) return;
    m_->lock();
    Registre& r = registre();
    std::lock_guard g(r.garde);
    if (EntreeMutex* e = r.trouver(m_)) {
        ++e->compte;
        compte_ = true;
    }
}

VerrouMutex::~VerrouMutex() {
    if (!m_) return;
    if (compte_) {
        Registre& r = registre();
        std::lock_guard g(r.garde);
        // Released from the registry while held: nothing left to count down.
        if (EntreeMutex* e = r.trouver(m_); e && e->compte > 0) --e->compte;
    }
    m_->unlock();
}

std::vector<EntreeMutex> GLB_Liste_Mutex() {
    Registre& r = registre();
    std::lock_guard g(r.garde);
    return r.entrees;
}

}  // namespace vellumor
