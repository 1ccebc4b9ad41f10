#pragma once
#include "core/page_numbers.h"
#include "core/table_saver.h"

#include <QObject>
#include <array>
#include <functional>
#include <memory>
#include <vector>

// The GUI-thread refresh step: the page in front refreshes itself, then a changed table is
// handed to the saver thread and, when no change is pending for the scaler, copied into the
// shadow. The file is written off the GUI thread, newest snapshot first.
class SyncUpdate : public QObject {
    Q_OBJECT
public:
    using PageHook = std::function<void(int code)>;
    static constexpr int kPages = KorPageNo::kCount;

    static SyncUpdate *p_sync;
    static SyncUpdate *pInstance();
    static void destroy_instance();  // tests

    // The UI layer installs one hook per page number; a page without one is not refreshed.
    void set_page_hook(int page, PageHook hook);
    // Codes 105 and 106 (window check, key-board LEDs) reach only this hook.
    void set_side_hook(PageHook hook);
    // Connects an update-code signal (the table's, the USB watcher's), queued also from
    // the GUI thread.
    template <class Source>
    void attach(Source *source, void (Source::*signal)(int))
    {
        connect(source, signal, this, &SyncUpdate::para_sync, Qt::QueuedConnection);
    }

    // Table files written so far.
    int saves() const { return m_saves; }
    // Waits until every table snapshot handed over is on flash, and takes the results
    // (success notices run here). Tests, and before the program ends.
    void flush_saves();
    // Hands a changed table over now, without a refresh, and waits until it is on flash
    // (before the program ends).
    void save_now();

    // Runs `done` (a page's success notice), in the GUI thread, once the table file holds
    // every change made so far: after this refresh's save when called from a refresh hook,
    // else after a save now. When the save fails `done` is dropped: no page shows success
    // for what was not saved.
    void when_saved(std::function<void()> done);

public slots:
    void para_sync(int code);

private:
    SyncUpdate();
    ~SyncUpdate() override;
    // Hands the table to the saver when its stored part differs from what was last handed
    // over. Returns the generation the file must reach to hold the table (0: it does). A save
    // that fails is tried again by the saver on its own.
    uint64_t save_if_changed();
    // Runs `done` once generation `generation` is on flash.
    void after_generation(uint64_t generation, std::function<void()> done);
    // GUI thread: the saver's results.
    void take_save_results();

    std::array<PageHook, kPages> m_hooks;
    PageHook m_side_hook;
    std::unique_ptr<TableSaver> m_saver;
    unsigned char m_handed[4096];  // the stored part as last handed to the saver
    bool m_handed_known = false;
    uint64_t m_handed_generation = 0;
    uint64_t m_saved_generation = 0;
    int m_saves = 0;
    bool m_refreshing = false;
    std::vector<std::function<void()>> m_after_save;
    std::vector<std::pair<uint64_t, std::function<void()>>> m_waiting;
};
