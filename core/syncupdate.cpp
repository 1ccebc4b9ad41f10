#include "core/syncupdate.h"

#include "core/global.h"
#include "core/gui_post.h"
#include "core/korrampara.h"
#include "core/para_change.h"
#include "core/singleton.h"

#include <algorithm>
#include <cstring>

SyncUpdate *SyncUpdate::p_sync = nullptr;

SyncUpdate *SyncUpdate::pInstance()
{
    return kor_singleton(p_sync, KorSingletons::kSync, destroy_instance, [] { return new SyncUpdate; });
}

SyncUpdate::SyncUpdate()
    : m_saver(new TableSaver([](const QByteArray &snapshot) {
          return KorRamPara::save_table(reinterpret_cast<const unsigned char *>(snapshot.constData()));
      }))
{
    // The saver's thread asks the GUI thread to take its results.
    m_saver->set_on_result([this] { kor_post_to_gui(this, [this] { take_save_results(); }); });
}

SyncUpdate::~SyncUpdate()
{
    m_saver.reset();  // what is pending reaches the file first
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
    const uint64_t generation = save_if_changed();
    std::vector<std::function<void()>> after;
    after.swap(m_after_save);
    for (auto &done : after)
        after_generation(generation, std::move(done));
}

void SyncUpdate::when_saved(std::function<void()> done)
{
    if (m_refreshing) {
        m_after_save.push_back(std::move(done));
        return;
    }
    after_generation(save_if_changed(), std::move(done));
}

void SyncUpdate::after_generation(uint64_t generation, std::function<void()> done)
{
    if (generation <= m_saved_generation)
        done();
    else
        m_waiting.emplace_back(generation, std::move(done));
}

uint64_t SyncUpdate::save_if_changed()
{
    KorRamPara *table = KorRamPara::p_korrampara_config;
    if (!table)
        return 0;
    unsigned char snapshot[KorTable::kSize];
    bool stored_changed;
    {
        QMutexLocker lock(&ParaChange::mutex);
        std::memcpy(snapshot, table->ram, sizeof snapshot);
        if (!m_handed_known) {
            std::memcpy(m_handed, table->shadow, sizeof m_handed);
            m_handed_known = true;
        }
        stored_changed =
            std::memcmp(snapshot + KorTable::kStoredBegin, m_handed + KorTable::kStoredBegin, KorTable::kStoredSize) != 0;
        // A change still pending for the scaler must not look applied: the scaler's own
        // refresh after applying copies it.
        if (ParaChange::changed.load() == 0)
            std::memcpy(table->shadow, snapshot, sizeof snapshot);
    }
    if (stored_changed) {
        std::memcpy(m_handed, snapshot, sizeof m_handed);
        m_handed_generation = m_saver->submit(QByteArray(reinterpret_cast<const char *>(snapshot), sizeof snapshot));
    }
    return m_handed_generation;
}

void SyncUpdate::take_save_results()
{
    for (const TableSaver::Result &r : m_saver->take_results()) {
        if (r.ok) {
            m_saved_generation = std::max(m_saved_generation, r.generation);
            ++m_saves;
        } else {
            // The saver tries it again on its own; nothing waiting on it may show success.
            kor_trace("table not saved: tried again shortly\n");
            m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(),
                                           [&](const auto &w) { return w.first <= r.generation; }),
                            m_waiting.end());
        }
    }
    std::vector<std::function<void()>> ready;
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (it->first <= m_saved_generation) {
            ready.push_back(std::move(it->second));
            it = m_waiting.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto &done : ready)
        done();
}

void SyncUpdate::flush_saves()
{
    m_saver->flush();
    take_save_results();
}

void SyncUpdate::save_now()
{
    save_if_changed();
    flush_saves();
}
