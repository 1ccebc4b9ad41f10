#pragma once
#include <QObject>
#include <array>
#include <functional>

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

public slots:
    void para_sync(int code);

private:
    SyncUpdate() = default;
    void save_if_changed();

    std::array<PageHook, kPages> m_hooks;
    PageHook m_side_hook;
    unsigned char m_saved[4096];
    bool m_saved_known = false;
    int m_saves = 0;
};
