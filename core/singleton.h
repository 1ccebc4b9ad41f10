#pragma once
// The program's singletons are made on first use by their pInstance() and live as long as the
// process; only the tests destroy them, between two test functions. Each one registers its
// destroy_instance() when it is made, with a rank that says what it needs to outlive, so the
// tests' tear-down needs no list of its own.

namespace KorSingletons {
// Destroyed in this order.
enum Rank {
    kWorkers,   // the services and their worker threads: they read the table and post refreshes
    kSync,      // SyncUpdate: takes the refreshes, hands the table to the saver
    kTable,     // KorRamPara
    kSettings,  // ConfigEngine
};
}

void kor_register_singleton(KorSingletons::Rank rank, void (*destroy)());
// Destroys the registered singletons of the ranks up to `last`, in rank order, the newest
// first within a rank.
void kor_destroy_singletons(KorSingletons::Rank last = KorSingletons::kSettings);

// What every pInstance() does: makes the instance on first use and registers its destroy.
template <class T, class Make>
T *kor_singleton(T *&instance, KorSingletons::Rank rank, void (*destroy)(), Make make)
{
    if (!instance) {
        instance = make();
        kor_register_singleton(rank, destroy);
    }
    return instance;
}
