#include "core/singleton.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {
struct Registered {
    KorSingletons::Rank rank;
    void (*destroy)();
};

std::mutex &registry_mutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<Registered> &registry()
{
    static std::vector<Registered> registered;
    return registered;
}
}

void kor_register_singleton(KorSingletons::Rank rank, void (*destroy)())
{
    std::lock_guard<std::mutex> lock(registry_mutex());
    std::vector<Registered> &r = registry();
    // One made again after a test destroyed it by hand is the newest now.
    r.erase(std::remove_if(r.begin(), r.end(), [destroy](const Registered &e) { return e.destroy == destroy; }),
            r.end());
    r.push_back({rank, destroy});
}

void kor_destroy_singletons(KorSingletons::Rank last)
{
    for (;;) {
        void (*destroy)() = nullptr;
        {
            std::lock_guard<std::mutex> lock(registry_mutex());
            std::vector<Registered> &r = registry();
            auto next = r.end();
            for (auto it = r.begin(); it != r.end(); ++it)
                if (it->rank <= last && (next == r.end() || it->rank <= next->rank))
                    next = it;
            if (next == r.end())
                return;
            destroy = next->destroy;
            r.erase(next);
        }
        // Not under the lock: a worker being stopped may still reach a pInstance().
        destroy();
    }
}
