#pragma once
// What the tests share: the fixture, key scripts, the table and its refresh step, a page's
// widgets as the operator sees them, and the scaler and FPGA workers run by hand.
#include "core/global.h"
#include "core/korrampara.h"
#include "core/table_map.h"
#include "fpga/fpga_manage.h"
#include "fpga/pack_formats.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/scaler_device.h"
#include "platform/sim_fpga.h"
#include "scaler/v331_manage.h"
#include "ui/shell/advancedoption.h"
#include "ui/shell/custommode.h"
#include "ui/shell/kor_look.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/option.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <array>
#include <functional>
#include <memory>
#include <vector>

// Every test function gets a fresh world, brought up as far as start() says: kNone leaves it
// to the test (which writes its files first), kCore starts the singletons, kUi the panel too,
// with the scripted number keyboard.
class KorTest : public QObject {
    Q_OBJECT
protected:
    enum Start { kNone, kCore, kUi };
    virtual Start start() const { return kUi; }
    virtual void set_up() {}  // after the start, before each test function
    std::unique_ptr<KorTestEnv> env;
    MainWindow *window = nullptr;
    ScriptedNumberKeyboard *keyboard = nullptr;

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        if (start() == kCore)
            env->start();
        if (start() == kUi) {
            window = kor_start_ui(*env);
            keyboard = kor_install_scripted_keyboard();
        }
        set_up();
    }
    void cleanup() { env.reset(); }
};

// Declares the data columns of a test, of the types given, in order.
template <class... T>
void kor_columns(const std::array<const char *, sizeof...(T)> &names)
{
    size_t i = 0;
    (QTest::addColumn<T>(names[i++]), ...);
}

// A column of the current data row, for a value used once (QFETCH for the others).
template <class T>
T kor_data(const char *column) { return *static_cast<T *>(QTest::qData(column, qMetaTypeId<T>())); }

inline KorRamPara *kor_table() { return KorRamPara::p_korrampara_config; }
inline QByteArray kor_ram() { return QByteArray(reinterpret_cast<const char *>(kor_table()->ram), KorTable::kSize); }
inline QByteArray kor_shadow()
{
    return QByteArray(reinterpret_cast<const char *>(kor_table()->shadow), KorTable::kSize);
}
// The table file: the marker 0xAA 0xAA, then the stored part of the table.
constexpr int kKorTableFileSize = 2 + KorTable::kStoredSize;
// Where a table offset's byte lies in the table file.
constexpr int kor_file_index(int offset) { return 2 + offset - KorTable::kStoredBegin; }
// The stored word at a table offset in the table file's bytes.
inline int kor_file_u16(const QByteArray &file, int offset)
{
    const int i = kor_file_index(offset);
    return uint8_t(file[i]) | (uint8_t(file[i + 1]) << 8);
}

// Writes a word into the live table and the shadow: the scaler sees no difference in it.
inline void kor_set_applied(int offset, uint16_t value)
{
    kor_table()->set_u16(offset, value);
    kor_table()->shadow[offset] = kor_table()->ram[offset];
    kor_table()->shadow[offset + 1] = kor_table()->ram[offset + 1];
}

// The refresh step as a change brings it (the signal is delivered queued).
inline void kor_refresh(int code = 1)
{
    kor_table()->test_signal(code);
    KorTestEnv::process_events();
}

// The host switches the language; the refresh step re-texts the page in front.
inline void kor_host_language(int language)
{
    kor_table()->ram[KorTable::kLanguage] = uint8_t(language);
    kor_refresh(1);
}

// The scaler worker takes what is pending; its refresh saves the table.
inline void kor_scaler_pass()
{
    v331_manage::p_v331_manage->run_pass();
    KorTestEnv::process_events();
}

// The recorded scaler calls as "name(arg,arg)".
inline QStringList kor_scaler_calls(const SimScaler *sim)
{
    QStringList out;
    for (const ScalerCall &c : sim->calls()) {
        QStringList args;
        for (int a : c.args)
            args << QString::number(a);
        out << QString::fromStdString(c.name) + "(" + args.join(",") + ")";
    }
    return out;
}

// Presses the keys of a script (see kor_script) on the page in front; with `applied` the
// scaler takes each change before the next key.
inline void kor_keys(const QString &script, bool applied = false)
{
    for (const QString &name : kor_script(script)) {
        kor_press_key(name);
        if (applied)
            kor_scaler_pass();
    }
}

// Presses keys one at a time, each with whether it raises a change, and checks that after
// each key, before the scaler takes the change.
using KorRaises = QList<QPair<QString, bool>>;
inline void kor_check_raises(const KorRaises &presses)
{
    QStringList pressed;
    for (const auto &press : presses) {
        kor_press_key(press.first);
        pressed << press.first;
        QVERIFY2(int(v331_manage::para_changed) == (press.second ? 1 : 0), qPrintable(pressed.join(' ')));
        kor_scaler_pass();
    }
}

// Key paths from the home screen.
inline const QString kor_settings = "ok right right ok", kor_advanced = "ok right right ok left ok",
                     kor_picture = "ok right*3 ok";

// From the home screen by a key script, the pages shown rather than run modally so the test
// goes on after each key; checks that page `focus` is in front.
inline void kor_open(const QString &script, int focus)
{
    kor_set_modal_pages(false);
    kor_keys(script);
    QCOMPARE(int(g_page_focus), focus);
}

template <class W = QWidget>
W *kor_child(const QObject *page, const QString &name) { return page->findChild<W *>(name); }
inline QString kor_text(const QObject *page, const QString &name)
{
    return kor_child(page, name)->property("text").toString();
}
inline QString kor_style(const QObject *page, const QString &name) { return kor_shown_style(kor_child(page, name)); }
// Drawn with the focus colour, or with the red of a field being edited.
inline bool kor_focused(const QWidget *w) { return kor_shown_style(w).contains("255,171,84"); }
inline bool kor_focused(const QObject *page, const QString &name) { return kor_focused(kor_child(page, name)); }
inline bool kor_editing(const QObject *page, const QString &name) { return kor_style(page, name).contains("255,0,0"); }

inline QStringList kor_entries(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// The texts of the labels inside `frame`, top to bottom.
inline QStringList kor_label_texts(const QWidget *frame)
{
    QList<QLabel *> labels = frame->findChildren<QLabel *>();
    std::stable_sort(labels.begin(), labels.end(), [](QLabel *a, QLabel *b) { return a->y() < b->y(); });
    QStringList out;
    for (QLabel *l : labels)
        out << l->text();
    return out;
}

// Deletes what deleteLater() left, as the event loop would.
inline void kor_flush_deletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Saves a rendering of the page named after the test's data row.
inline void kor_save_row_screen(QWidget *page, const QString &prefix)
{
    kor_save_screen(page, prefix + '-' + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-'));
}

// The mode key closed the menus and the pages and opened the user modes.
inline bool kor_mode_key_reached_custom_mode()
{
    for (int n = 2; n < kKorPages; ++n)
        if (n != 4 && kor_page(n))
            return false;
    return g_custommode && int(g_page_focus) == 4 && int(g_mode_shortcut_key) == 1;
}

// Page `page` was left for page `focus`: one beneath it, the user modes (the mode key, which
// closes the menus too), or none (focus == page: the key was refused).
inline void kor_check_left(int page, int focus)
{
    QCOMPARE(int(g_page_focus), focus);
    QVERIFY(kor_page(focus));
    QCOMPARE(kor_page(page) != nullptr, focus == page);
    QCOMPARE(g_custommode != nullptr, focus == 4);
    QCOMPARE(kor_mode_key_reached_custom_mode(), focus == 4);
}

// Under the key lock the mode key leaves page `focus` in front as it was (`unchanged`); without
// it, it closes that page and the menus and opens the user modes.
inline void kor_check_mode_key(int focus, const std::function<bool()> &unchanged = [] { return true; })
{
    kor_table()->set_u16(KorTable::kKeyLock, 1);
    kor_press(KorKey::Mode);
    kor_check_left(focus, focus);
    QVERIFY(unchanged());
    kor_table()->set_u16(KorTable::kKeyLock, 0);
    kor_press(KorKey::Mode);
    kor_check_left(focus, 4);
}

// Bytes as the simulated cards keep them.
inline std::vector<uint8_t> kor_bytes(const QByteArray &b) { return std::vector<uint8_t>(b.begin(), b.end()); }

// A card's parameter block, told apart from the others by its seed.
inline QByteArray kor_block(int seed, int size = 300)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(seed * 31 + i);
    return b;
}

// A recovery net on `port`: blocks seeded first_seed, first_seed + 1, ... in chain order.
inline RecoveryNet kor_recovery_net(uint8_t port, int cards, int first_seed = 0, int size = 300)
{
    RecoveryNet n;
    n.port = port;
    for (int k = 0; k < cards; ++k)
        n.cards.push_back(kor_block(first_seed + k, size));
    return n;
}

// Writes a smart-mapping pack of `data` (one byte flipped at `damage`) and chooses it as the
// page does.
inline void kor_choose_pack(const KorTestEnv &env, const QByteArray &data, int damage = -1)
{
    QByteArray file = encode_mapping_pack(MappingPack{QString(), data});
    if (damage >= 0)
        file[damage] = char(file[damage] ^ 1);
    env.write_file("/data/smartmapping/chosen.ykfile", file);
    g_ykfile_name = "/data/smartmapping/chosen.ykfile";
}

// Brings up the FPGA manager over the simulated FPGA without starting its thread.
inline fpga_manage *kor_fpga_up()
{
    fpga_manage *m = fpga_manage::pInstance();
    m->fpga_bring_up();
    return m;
}

// Progress of the FPGA worker's jobs as the pages would see it.
struct KorJobProgress {
    std::vector<int> percents;
    int job = 0;
};

// Runs worker passes (one tick apart) until the job reports 100, at most max_passes, and lets
// the pages take what it posted; returns what it reported.
inline KorJobProgress kor_finish_job(int max_passes = 2000)
{
    fpga_manage *m = fpga_manage::p_fpga_manage;
    QSignalSpy spy(m->notifier(), &fpga_job_notifier::job_progress);
    KorJobProgress out;
    bool ended = false;
    for (int i = 0; i < max_passes && !ended; ++i) {
        m->run_pass();
        m->notifier()->deliver();
        KorTestEnv::tick(1);
        for (const QList<QVariant> &args : spy) {
            out.job = args.at(0).toInt();
            out.percents.push_back(args.at(1).toInt());
            ended = ended || args.at(1).toInt() == 100;
        }
        spy.clear();
    }
    KorTestEnv::process_events();
    return out;
}

// Posts the job as a page does and runs it to its end.
inline KorJobProgress kor_run_job(uint8_t job, int max_passes = 2000)
{
    kor_send_job(job, 0);
    return kor_finish_job(max_passes);
}
