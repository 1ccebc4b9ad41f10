#pragma once
#include <QObject>
#include <array>
#include <functional>
#include <vector>

// The GUI-thread refresh step: the page in front refreshes itself, then a changed table is
// saved and, when no change is pending for the scaler, copied into the shadow.
class SyncUpdate : public QObject {
    Q_OBJECT
public:
    using PageHook = std::function<void(int code)>;
    static constexpr int kPages = 27;

    static SyncUpdate *p_sync;
    static SyncUpdate *pInstance();
    static void destroy_instance();  // tests

    // The UI layer installs one hook per page number; a page without one is not refreshed.
    void set_page_hook(int page, PageHook hook);
    // Codes 105 and 106 (window check, key-board LEDs) reach only this hook.
    void set_side_hook(PageHook hook);
    // Connects the table's signal, queued also from the GUI thread.
    void attach(QObject *source, const char *signal);

    int saves() const { return m_saves; }

    // Runs `done` (a page's success notice) once the table file holds every change made so
    // far: after this refresh's save when called from a refresh hook, else after a save now.
    // When the save fails `done` is dropped: no page shows success for what was not saved.
    void when_saved(std::function<void()> done);

public slots:
    void para_sync(int code);

private:
    SyncUpdate() = default;
    // True when the file holds the stored part of the table (saved now or before). A save
    // that fails is tried again at the next refresh.
    bool save_if_changed();

    std::array<PageHook, kPages> m_hooks;
    PageHook m_side_hook;
    unsigned char m_saved[4096];
    bool m_saved_known = false;
    int m_saves = 0;
    bool m_refreshing = false;
    std::vector<std::function<void()>> m_after_save;
};
