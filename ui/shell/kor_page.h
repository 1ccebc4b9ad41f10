#pragma once
// The shared page machinery of the front panel.
//
// HOW TO WRITE A PAGE
//
// 1. Derive from KorPage (a QDialog), pass the page number, build the form with setupUi.
//    The constructor must take (QWidget *parent = nullptr): the opener builds the page with
//    no parent.
//
//        class ledset : public KorPage {
//            Q_OBJECT
//        public:
//            explicit ledset(QWidget *parent = nullptr);
//            ~ledset() override;
//            void language_changed() override;              // the page's text table
//            void syncUpdate();                             // as the page's refresh says
//            void page_refresh(int) override { syncUpdate(); }
//        protected:
//            void key_left() override;  void key_right() override;
//            void key_ok() override;    void key_back() override;
//        private:
//            Ui_ledset *ui;
//        };
//        ledset::ledset(QWidget *parent) : KorPage(KorPageNo::ledset, parent), ui(new Ui_ledset) { ui->setupUi(this); ... }
//
//    The base does, for every page alike: the five logical keys (left F4/'S', right F5/'R',
//    OK F6/'Q', back PowerOff/'O', mode Stop/'M'), acted on at release; the release and
//    press traces in their fixed forms with the class name (printed while g_debugSwitch is
//    254); the mode key (key lock or mode_key_refused() -> nothing, and the key is not
//    passed on; else this page and the pages beneath it up to the main menu close, each with
//    its pointer cleared, g_mode_shortcut_key = 1, CustomMode opens in g_custommode (never a
//    second one), g_page_focus = 4); and after every release not refused, the key code goes
//    to the member m_kor_keyboard (kor_keyboard::update_usb_keyEvent) - after OK, once the
//    child page opened by it has closed.
//
//    Hooks to override (all optional; do not override keyPressEvent/keyReleaseEvent):
//      key_left / key_right  default: move the focus list `focus` (wrapping)
//      key_ok                default: run the action of the selected focus-list item
//      key_back              default: slot_Button_back_clicked() -> go_back()
//                            (a page with an edit state leaves it here first)
//      key_mode              default: run_mode_key()
//      key_other(code)       any other key (only the key-board glue follows)
//      mode_key_refused()    true while the page refuses the mode key (a progress ring is
//                            shown, an upgrade runs)
//      trace_release(key)    a page whose release trace differs (firmware_usbgrade's back)
//      trace_select()        the value printed as ui_select= (default: ui_select)
//    Use the member `ui_select` as the page's selection byte; `focus` keeps it.
//
// 2. Give the page its number in the one page table (core/page_numbers.h, KorPageNo), pass
//    it to KorPage's constructor, register the page once in its .cpp with its global pointer
//    and the page beneath it, and remove the "//" of its KOR_USE_PAGE(<class>) line in
//    ui/shell/page_list.cpp:
//
//        ledset *g_ledset = nullptr;
//        KOR_PAGE(ledset, g_ledset, OutputSet)
//
//    That is all an opener needs: the page beneath opens it with
//    open_page(KorPageNo::ledset) (builds it with no parent, stores it in g_ledset,
//    g_page_focus = 13, exec(); false and nothing happens while no page 13 is registered),
//    e.g.
//        void OutputSet::on_Button_ledset_clicked() { open_page(KorPageNo::ledset); }
//    Registration also installs the refresh hook: while g_page_focus is 13,
//    SyncUpdate::para_sync calls page_refresh(code) on g_ledset when it is open (then the
//    done tick for page 10, the USB pop-ups of codes 100-102 for pages 24 and 26). The
//    default page_refresh re-texts the page when KorRamPara::KorLanguageChanged() reports a
//    new language; override it with what the page's syncUpdate does, with an empty body for
//    a page that gets no call.
//    Extra start-up wiring goes into a hand-written registration function instead of the
//    macro, e.g. the ageing page's re-rendering on every ageing pass:
//        void kor_page_register_factoryage()
//        {
//            kor_page_register<factoryage>(KorPageNo::factoryage, &g_factoryage, KorPageNo::AdvancedOption);
//            MainWindow::set_agelog_hook([] { if (g_factoryage) g_factoryage->update_agelog(); });
//        }
//
// 3. Leaving: go_back() closes the page, calls child_returned(number) on the page beneath
//    (default: its language_changed(); InputChoose also re-reads its sources) and gives
//    g_page_focus back to it; go_back(false) skips the re-texting (a page that re-texts its
//    parent only when the language changed calls it itself). close_page() only closes: the
//    pointer is cleared at once, the page is hidden (its exec() ends) and it is deleted once
//    no handler or exec() of it is on the stack. Never delete a page, never set
//    WA_DeleteOnClose, never call exec() or show() on a page yourself: then a mode key three
//    pages deep leaves no dangling pointer and no deleted page in use.
//
// 4. Texts: kor_tr("中文", "English", "Русский", "Tiếng Việt", "繁體") (kor_lang.h) picks the
//    column of g_language, English where the language's bit in g_lcd_lang_valid is clear;
//    kor_fill_numbers() puts numbers into a text's "%d"s.
//
// 5. Focus list: focus.add(widget, normal_style, highlighted_style, action) in item order
//    (focus.add_menu(button, action) for a large menu button), then focus.start(0). Left/right restyle only the item left and the item reached; other
//    items keep the form's style until first selected. KorStyle holds the common style
//    sheets; a page uses the ones its form quotes.
//
// 6. Number entry: fields are My_lineEdit. connect_number_field(field) routes a press on
//    the field to show_numberkeyboard_ui(QString); OK on a selected field calls
//    emit_send_show(field). The default show_numberkeyboard_ui takes the sending field,
//    titles the shared keyboard with number_keyboard_title(field) and runs it
//    (run_number_keyboard(field, title) - call it yourself for a field of your own). The
//    keyboard's answer reaches confirmString(QString) of this page only, and only for the
//    field that opened it (g_lineedit); the default confirmString writes it into the field.
//    Do not connect NumberKeyboard::sendKeyBoardUIDataToLineEdit yourself: every page
//    beneath would receive the answer too.
#include "core/page_numbers.h"
#include "ui/shell/kor_focus_list.h"
#include "ui/shell/kor_keyboard.h"
#include "ui/shell/kor_lang.h"
#include "ui/shell/kor_modal.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <type_traits>

class My_lineEdit;
class QKeyEvent;

enum class KorKey { None, Left, Right, Ok, Back, Mode };

// Panel key codes and key-board letters to the logical keys.
KorKey kor_logical_key(int qt_key);
// The key-lock word (KorTable::kKeyLock) is set.
bool kor_key_locked();

namespace KorStyle {
extern const char *const menu_normal;    // large menu buttons
extern const char *const menu_focus;
extern const char *const field_normal;   // number fields
extern const char *const field_focus;
extern const char *const field_edit;     // a value being edited (red)
extern const char *const button_normal;  // small buttons
extern const char *const button_focus;
extern const char *const chosen;         // a choice made but not in focus (blue)
}

class KorPage : public QDialog {
    Q_OBJECT
public:
    explicit KorPage(int page_number, QWidget *parent = nullptr);
    ~KorPage() override;

    int page_number() const { return m_number; }
    bool is_closed() const { return m_closed; }
    // The page beneath: the one that opened it, else the registered parent while open.
    KorPage *opener() const;

    // The refresh hook (SyncUpdate::para_sync while this page is in front).
    virtual void page_refresh(int code);
    // A child page went back to this one; default: language_changed().
    virtual void child_returned(int child_page);

    // Closes the page: its global pointer is cleared now, the page is hidden (ending its
    // exec()) and deleted once none of its code is on the stack.
    void close_page();
    // The home screen and main menu live inside the main window and are never closed.
    void set_embedded(bool embedded);
    bool embedded() const { return m_embedded; }

    // Opens page `number` as its opener: built with no parent, stored in its pointer,
    // g_page_focus = number, run modally. False when no such page is built.
    bool open_page(int number);

    // Runs the page modally for as long as it is shown (KorModal).
    int exec() override;

public slots:
    virtual void language_changed();
    virtual void slot_Button_back_clicked();
    virtual void show_numberkeyboard_ui(QString text);
    virtual void confirmString(QString text);

protected:
    virtual void key_left();
    virtual void key_right();
    virtual void key_ok();
    virtual void key_back();
    virtual void key_mode();
    virtual void key_other(int qt_key);
    virtual bool mode_key_refused() const;
    virtual void trace_release(KorKey key);
    virtual int trace_select() const;
    virtual QString number_keyboard_title(My_lineEdit *field) const;

    // Back: close, re-text the page beneath (child_returned) when `retext` and give it the
    // focus number.
    void go_back(bool retext = true);
    // language_changed() when KorRamPara::KorLanguageChanged() reports a new language (what
    // the default page_refresh does).
    void retext_if_language_changed();
    // The common mode key without the lock check: closes this page and the pages beneath
    // up to the main menu, opens CustomMode.
    void run_mode_key();

    // Number-keyboard session for one field; returns the keyboard's exec() result.
    int run_number_keyboard(My_lineEdit *field, const QString &title);
    void connect_number_field(My_lineEdit *field);
    // What OK on a selected field does: the field's send_show with its object name.
    void emit_send_show(My_lineEdit *field);

    const char *page_name() const;

    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // A window-system close acts as the back key.
    void reject() override;

    unsigned char ui_select = 0;
    KorFocusList focus{&ui_select};
    kor_keyboard m_kor_keyboard;

private:
    friend class KorPageBusy;
    void leave_busy();
    void post_delete();

    int m_number;
    int m_busy = 0;
    bool m_closed = false;
    bool m_delete_posted = false;
    bool m_embedded = false;
    QPointer<KorPage> m_opener;
    KorModal m_modal;
};

// Holds a page alive across code that may spin an event loop (exec of a child page or of
// the number keyboard, a key handler).
class KorPageBusy {
public:
    explicit KorPageBusy(KorPage *page);
    ~KorPageBusy();
    KorPageBusy(const KorPageBusy &) = delete;
    KorPageBusy &operator=(const KorPageBusy &) = delete;

private:
    QPointer<KorPage> m_page;
};

// ---- The table of pages ---------------------------------------------------------------

struct KorPageSlot {
    int parent = -1;                             // page number beneath it
    std::function<KorPage *()> make;             // builds it with no parent; empty: not openable
    std::function<KorPage *()> get;              // its global pointer
    std::function<void(KorPage *)> set;
};

constexpr int kKorPages = KorPageNo::kCount;

void kor_page_register_slot(int number, KorPageSlot slot);

template <class P>
void kor_page_register(int number, P **global, int parent)
{
    static_assert(std::is_base_of<KorPage, P>::value, "a page derives from KorPage");
    KorPageSlot slot;
    slot.parent = parent;
    slot.make = [] { return static_cast<KorPage *>(new P(nullptr)); };
    slot.get = [global] { return static_cast<KorPage *>(*global); };
    slot.set = [global](KorPage *page) { *global = static_cast<P *>(page); };
    kor_page_register_slot(number, std::move(slot));
}

// A page that is not opened by an opener (the home screen and the main menu inside the
// main window): known for its refresh hook and as the page in front.
template <class P>
void kor_page_register_fixed(int number, P **global)
{
    static_assert(std::is_base_of<KorPage, P>::value, "a page derives from KorPage");
    KorPageSlot slot;
    slot.get = [global] { return static_cast<KorPage *>(*global); };
    slot.set = [global](KorPage *page) { *global = static_cast<P *>(page); };
    kor_page_register_slot(number, std::move(slot));
}

// The page's number and its parent's are their names in KorPageNo.
#define KOR_PAGE(Class, global, parent) \
    void kor_page_register_##Class() { kor_page_register<Class>(KorPageNo::Class, &global, KorPageNo::parent); }
#define KOR_USE_PAGE(Class) \
    do { \
        void kor_page_register_##Class(); \
        kor_page_register_##Class(); \
    } while (0)

// Registers every built page (ui/shell/page_list.cpp) and installs their refresh hooks.
void kor_register_pages();
// The open page of that number, or null.
KorPage *kor_page(int number);
// A page of that number can be opened.
bool kor_page_available(int number);
// The registered parent number (-1 when unknown).
int kor_page_parent(int number);
// The page whose number g_page_focus holds, or null.
KorPage *kor_front_page();
// (Re)installs the refresh hooks of every registered page into SyncUpdate.
void kor_install_page_hooks();

// Gives the panel's keys to the window they belong to: the modal session on top, else the
// page in front, else the main window. A window system without a window manager gives them
// to nobody when the window that had them goes, and then to whatever lies under the pointer
// (the pop-up). Called (queued) when a page closes and whenever no window has the keys.
void kor_give_keys();
// Watches for "no window has the keys"; the main window calls it once, as `context`.
void kor_keep_keys(QObject *context);

// Builds CustomMode into g_custommode and shows it, or brings the open one to the front;
// g_page_focus = 4; g_mode_shortcut_key = 1 when reached by the mode key.
void kor_open_custommode(bool shortcut);

// Tests: pages open with show() instead of exec() when false.
void kor_set_modal_pages(bool modal);
// Closes every open page (top first) and drops the table of pages; deletes the pop-ups
// and the main window. Test tear-down.
void kor_close_all_pages();
void kor_ui_tear_down();
