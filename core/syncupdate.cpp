#include "core/syncupdate.h"

#include "core/global.h"
#include "core/korrampara.h"
#include "core/para_change.h"

#include <cstring>

SyncUpdate *SyncUpdate::p_sync = nullptr;

SyncUpdate *SyncUpdate::pInstance()
{
    if (!p_sync)
        p_sync = new SyncUpdate;
    return p_sync;
}

void SyncUpdate::destroy_instance()
{
    delete p_sync;
    p_sync = nullptr;
}

void SyncUpdate::set_page_hook(int page, PageHook hook)
{
    if (page >= 0 && page < kPages)
        m_hooks[page] = std::move(hook);
}

void SyncUpdate::set_side_hook(PageHook hook)
{
    m_side_hook = std::move(hook);
}

void SyncUpdate::attach(QObject *source, const char *signal)
{
    connect(source, signal, this, SLOT(para_sync(int)), Qt::QueuedConnection);
}

void SyncUpdate::para_sync(int code)
{
    if (code == 105 || code == 106) {
        if (m_side_hook)
            m_side_hook(code);
        return;
    }
    const int page = g_page_focus.load();
    if (page >= 0 && page < kPages && m_hooks[page]) {
        // Copy first: a hook may close its page and replace its own entry.
        PageHook hook = m_hooks[page];
        m_refreshing = true;
        hook(code);
        m_refreshing = false;
    }
    // Whatever the page in front does with it, a new language byte reaches g_language here,
    // before the save makes it part of the shadow and it can no longer be told apart.
    if (KorRamPara *table = KorRamPara::p_korrampara_config)
        table->KorLanguageChanged();
    const bool saved = save_if_changed();
    std::vector<std::function<void()>> after;
    after.swap(m_after_save);
    if (saved) {
        for (const auto &done : after)
            done();
    }
}

void SyncUpdate::when_saved(std::function<void()> done)
{
    if (m_refreshing) {
        m_after_save.push_back(std::move(done));
        return;
    }
    if (save_if_changed())
        done();
}

bool SyncUpdate::save_if_changed()
{
    KorRamPara *table = KorRamPara::p_korrampara_config;
    if (!table)
        return false;
    unsigned char snapshot[KOR_TABLE_SIZE];
    bool stored_changed;
    {
        QMutexLocker lock(&ParaChange::mutex);
        std::memcpy(snapshot, table->ram, sizeof snapshot);
        if (!m_saved_known) {
            std::memcpy(m_saved, table->shadow, sizeof m_saved);
            m_saved_known = true;
        }
        stored_changed = std::memcmp(snapshot + KOR_STORED_BEGIN, m_saved + KOR_STORED_BEGIN, KOR_STORED_SIZE) != 0;
        // A change still pending for the scaler must not look applied: the scaler's own
        // refresh after applying copies it.
        if (ParaChange::changed.load() == 0)
            std::memcpy(table->shadow, snapshot, sizeof snapshot);
    }
    if (!stored_changed)
        return true;
    // Written outside the change lock so the scaler is never held up by the flash.
    if (!table->save_table(snapshot)) {
        kor_trace("table not saved: tried again at the next refresh\n");
        return false;
    }
    std::memcpy(m_saved, snapshot, sizeof m_saved);
    ++m_saves;
    return true;
}
