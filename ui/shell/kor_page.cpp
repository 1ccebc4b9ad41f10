#include "ui/shell/kor_page.h"

#include "core/global.h"
#include "core/korrampara.h"
#include "core/table_map.h"
#include "core/syncupdate.h"
#include "ui/shell/custommode.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/my_lineedit.h"
#include "ui/shell/numberkeyboard.h"
#include "ui/shell/tip.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>
#include <array>

namespace KorStyle {
const char *const menu_normal =
    "color:rgb(255,255,255);background-color: rgb(33, 36, 53) ; border:2px ;border-radius:10px;padding:2px 4px";
const char *const menu_focus =
    "color:rgb(255,255,255);background-color: rgb(33, 36, 53); border:2px solid rgb(255,171,84);border-radius:10px;"
    "padding:2px 4px";
const char *const field_normal =
    "color:rgb(255, 255, 255);background-color:rgb(33, 36, 53);border:1px solid rgb(255,255,255);";
const char *const field_focus =
    "color:rgb(255, 255, 255);background-color: rgb(33, 36, 53);border:1px solid rgb(255,171,84);";
const char *const field_edit =
    "color:rgb(255, 255, 255);background-color: rgb(33, 36, 53);border:1px solid rgb(255,0,0);";
const char *const button_normal =
    "color: rgb(255, 255, 255);background-color: rgb(33, 36, 53) ; border:1px solid rgb(255,255,255) ;";
const char *const button_focus =
    "color: rgb(255, 255, 255);background-color: rgb(33, 36, 53); border:1px solid rgb(255,171,84);";
const char *const chosen = "color:rgb(255, 255, 255);border:1px solid rgb(71, 119, 255);";
}

namespace {
std::array<KorPageSlot, kKorPages> &page_slots()
{
    static std::array<KorPageSlot, kKorPages> table;
    return table;
}

bool valid_number(int number)
{
    return number >= 0 && number < kKorPages;
}

bool s_modal = true;

SyncUpdate::PageHook refresh_hook(int number)
{
    return [number](int code) {
        KorPage *page = kor_page(number);
        if (!page)
            return;
        page->page_refresh(code);
        // The hook may have closed the page: only the shared pop-up follows.
        if (!g_tip)
            return;
        if (number == KorPageNo::LinkOption)  // the done tick only once the change is on the flash
            SyncUpdate::pInstance()->when_saved([] {
                if (g_tip)
                    g_tip->tip_create(1);
            });
        else if ((number == KorPageNo::SmartMapping || number == KorPageNo::firmware_usbgrade) && code >= 100 &&
                 code <= 102)
            g_tip->tip_create(code - 97);
    };
}
}

KorKey kor_logical_key(int qt_key)
{
    switch (qt_key) {
    case Qt::Key_F4:
    case Qt::Key_S:
        return KorKey::Left;
    case Qt::Key_F5:
    case Qt::Key_R:
        return KorKey::Right;
    case Qt::Key_F6:
    case Qt::Key_Q:
        return KorKey::Ok;
    case Qt::Key_PowerOff:
    case Qt::Key_O:
        return KorKey::Back;
    case Qt::Key_Stop:
    case Qt::Key_M:
        return KorKey::Mode;
#ifndef KOR_BOARD
    // A desktop keyboard has no PowerOff or Stop key.
    case Qt::Key_Escape:
        return KorKey::Back;
    case Qt::Key_Pause:
        return KorKey::Mode;
#endif
    default:
        return KorKey::None;
    }
}

bool kor_key_locked()
{
    const KorRamPara *table = KorRamPara::p_korrampara_config;
    return table && table->u16(KorTable::kKeyLock) != 0;
}

// ---- KorPageBusy ------------------------------------------------------------------------

KorPageBusy::KorPageBusy(KorPage *page) : m_page(page)
{
    if (page)
        ++page->m_busy;
}

KorPageBusy::~KorPageBusy()
{
    if (m_page)
        m_page->leave_busy();
}

// ---- KorPage ----------------------------------------------------------------------------

KorPage::KorPage(int page_number, QWidget *parent) : QDialog(parent), m_number(page_number)
{
    setFocusPolicy(Qt::StrongFocus);
}

KorPage::~KorPage()
{
    // Whatever way the page goes, its pointer does not outlive it.
    if (valid_number(m_number)) {
        KorPageSlot &slot = page_slots()[m_number];
        if (slot.get && slot.get() == this)
            slot.set(nullptr);
    }
    if (g_numberkeyboard && g_numberkeyboard->owner() == this)
        g_numberkeyboard->set_owner(nullptr);
}

const char *KorPage::page_name() const
{
    return metaObject()->className();
}

KorPage *KorPage::opener() const
{
    if (m_opener)
        return m_opener;
    const int parent = kor_page_parent(m_number);
    KorPage *page = kor_page(parent);
    return page == this ? nullptr : page;
}

void KorPage::set_embedded(bool embedded)
{
    m_embedded = embedded;
    setFocusPolicy(embedded ? Qt::NoFocus : Qt::StrongFocus);
}

void KorPage::post_delete()
{
    if (m_delete_posted)
        return;
    m_delete_posted = true;
    deleteLater();
}

void KorPage::leave_busy()
{
    if (--m_busy == 0 && m_closed)
        post_delete();
}

void KorPage::close_page()
{
    if (m_closed || m_embedded)
        return;
    m_closed = true;
    if (valid_number(m_number)) {
        KorPageSlot &slot = page_slots()[m_number];
        if (slot.get && slot.get() == this)
            slot.set(nullptr);
    }
    // A keyboard still open for this page has nobody left to answer.
    if (g_numberkeyboard && g_numberkeyboard->owner() == this)
        g_numberkeyboard->reject();
    // Hides the page and ends its exec(); not reject(), which is the back key here.
    QDialog::done(QDialog::Rejected);
    // Once the page beneath has its number back.
    QTimer::singleShot(0, &kor_give_keys);
    // Deleted only once none of its handlers or exec() calls is on the stack.
    if (m_busy == 0)
        post_delete();
}

bool KorPage::open_page(int number)
{
    if (!valid_number(number) || m_closed)
        return false;
    KorPageSlot &slot = page_slots()[number];
    if (!slot.make)
        return false;
    KorPageBusy busy(this);
    if (KorPage *open = kor_page(number)) {
        // Never built twice: the open one comes to the front.
        g_page_focus = uint8_t(number);
        open->show();
        open->raise();
        open->activateWindow();
        return true;
    }
    KorPage *page = slot.make();
    page->m_opener = this;
    // The slot may be replaced while the page runs; keep what sets the pointer.
    slot.set(page);
    g_page_focus = uint8_t(number);
    if (!s_modal) {
        page->show();
        return true;
    }
    QPointer<KorPage> guard(page);
    page->exec();
    // Ended some other way than close_page (hidden): it is closed all the same.
    if (guard && !guard->m_closed)
        guard->close_page();
    return true;
}

void KorPage::go_back(bool retext)
{
    KorPage *parent = opener();
    const int parent_number = parent ? parent->page_number() : kor_page_parent(m_number);
    const int me = m_number;
    close_page();
    if (parent && retext)
        parent->child_returned(me);
    if (parent_number >= 0)
        g_page_focus = uint8_t(parent_number);
}

void KorPage::run_mode_key()
{
    QList<QPointer<KorPage>> chain;
    KorPage *page = this;
    for (int depth = 0; page && !page->m_embedded && depth < kKorPages; ++depth) {
        chain.append(page);
        page = page->opener();
    }
    for (const QPointer<KorPage> &p : chain)
        if (p)
            p->close_page();
    kor_open_custommode(true);
}

void KorPage::page_refresh(int)
{
    retext_if_language_changed();
}

void KorPage::retext_if_language_changed()
{
    KorRamPara *table = KorRamPara::p_korrampara_config;
    if (table && table->KorLanguageChanged())
        language_changed();
}

void KorPage::child_returned(int)
{
    language_changed();
}

void KorPage::language_changed() {}

void KorPage::slot_Button_back_clicked()
{
    go_back();
}

void KorPage::key_left()
{
    focus.move(-1);
}

void KorPage::key_right()
{
    focus.move(1);
}

void KorPage::key_ok()
{
    focus.activate();
}

void KorPage::key_back()
{
    slot_Button_back_clicked();
}

void KorPage::key_mode()
{
    run_mode_key();
}

void KorPage::key_other(int) {}

bool KorPage::mode_key_refused() const
{
    return false;
}

int KorPage::trace_select() const
{
    return ui_select;
}

void KorPage::trace_release(KorKey key)
{
    const char *name = page_name();
    switch (key) {
    case KorKey::Left:
        kor_trace("this is left-code [%s][Release] ui_select=%#x\n", name, trace_select());
        break;
    case KorKey::Right:
        kor_trace("this is right-code [%s][Release] ui_select=%#x\n", name, trace_select());
        break;
    case KorKey::Ok:
        kor_trace("this is OK button(%s)[Release]\n", name);
        break;
    case KorKey::Back:
        kor_trace("this is back button(%s)[Release]\n", name);
        break;
    case KorKey::Mode:
        kor_trace("this is mode-code [%s][Release]\n", name);
        break;
    case KorKey::None:
        break;
    }
}

void KorPage::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    switch (kor_logical_key(event->key())) {
    case KorKey::Ok:
        kor_trace("this is OK button(%s)[Press]\n", page_name());
        break;
    case KorKey::Back:
        kor_trace("this is back button(%s)[Press]\n", page_name());
        break;
    default:
        break;
    }
}

void KorPage::keyReleaseEvent(QKeyEvent *event)
{
    event->accept();
    KorPageBusy busy(this);
    const int code = event->key();
    const KorKey key = kor_logical_key(code);
    trace_release(key);
    switch (key) {
    case KorKey::Left:
        key_left();
        break;
    case KorKey::Right:
        key_right();
        break;
    case KorKey::Ok:
        key_ok();
        break;
    case KorKey::Back:
        key_back();
        break;
    case KorKey::Mode:
        if (kor_key_locked() || mode_key_refused())
            return;
        key_mode();
        break;
    case KorKey::None:
        key_other(code);
        break;
    }
    m_kor_keyboard.update_usb_keyEvent(code);
}

int KorPage::exec()
{
    // A page closed before it ran (while it was built) is not run: nothing could end it.
    if (m_closed)
        return QDialog::Rejected;
    return m_modal.run(this);
}

void KorPage::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_embedded) {
        activateWindow();
        setFocus();
    }
}

void KorPage::reject()
{
    if (m_closed || m_embedded)
        return;
    key_back();
}

// ---- Number keyboard session --------------------------------------------------------------

QString KorPage::number_keyboard_title(My_lineEdit *field) const
{
    return field ? field->objectName() : QString();
}

int KorPage::run_number_keyboard(My_lineEdit *field, const QString &title)
{
    QPointer<NumberKeyboard> keyboard(g_numberkeyboard);
    // One session at a time: a second run would retitle and retarget the one on screen.
    if (!keyboard || !field || m_closed || keyboard->running())
        return QDialog::Rejected;
    KorPageBusy busy(this);
    QPointer<My_lineEdit> target(field);
    g_lineedit = field;
    keyboard->label_show(title, field->text());
    // The answer goes to this page, for this field, and to nobody else.
    const QMetaObject::Connection answer = connect(keyboard, &NumberKeyboard::sendKeyBoardUIDataToLineEdit, this,
                                                   [this, target](const QString &text) {
                                                       if (target && g_lineedit == target && !m_closed)
                                                           confirmString(text);
                                                   });
    QPointer<QWidget> previous_owner = keyboard->owner();
    keyboard->set_owner(this);
    const int result = keyboard->exec();
    disconnect(answer);
    if (keyboard)
        keyboard->set_owner(previous_owner);
    return result;
}

void KorPage::connect_number_field(My_lineEdit *field)
{
    connect(field, &My_lineEdit::send_show, this, &KorPage::show_numberkeyboard_ui);
}

void KorPage::emit_send_show(My_lineEdit *field)
{
    if (field)
        emit field->send_show(field->objectName());
}

void KorPage::show_numberkeyboard_ui(QString)
{
    My_lineEdit *field = qobject_cast<My_lineEdit *>(sender());
    if (!field || field->window() != this)
        return;
    run_number_keyboard(field, number_keyboard_title(field));
}

void KorPage::confirmString(QString text)
{
    if (g_lineedit)
        g_lineedit->setText(text);
}

// ---- The table of pages -------------------------------------------------------------------

void kor_page_register_slot(int number, KorPageSlot slot)
{
    if (!valid_number(number))
        return;
    page_slots()[number] = std::move(slot);
    if (SyncUpdate::p_sync)
        SyncUpdate::p_sync->set_page_hook(number, refresh_hook(number));
}

KorPage *kor_page(int number)
{
    if (!valid_number(number))
        return nullptr;
    const KorPageSlot &slot = page_slots()[number];
    return slot.get ? slot.get() : nullptr;
}

bool kor_page_available(int number)
{
    return valid_number(number) && bool(page_slots()[number].make);
}

int kor_page_parent(int number)
{
    return valid_number(number) ? page_slots()[number].parent : -1;
}

KorPage *kor_front_page()
{
    return kor_page(g_page_focus.load());
}

void kor_install_page_hooks()
{
    if (!SyncUpdate::p_sync)
        return;
    for (int n = 0; n < kKorPages; ++n)
        if (page_slots()[n].get)
            SyncUpdate::p_sync->set_page_hook(n, refresh_hook(n));
}

void kor_give_keys()
{
    QWidget *target = QApplication::activeModalWidget();
    if (!target) {
        KorPage *front = kor_front_page();
        target = front ? front->window() : g_mainwindow;
    }
    if (!target || !target->isVisible() || target->windowHandle() == QGuiApplication::focusWindow())
        return;
    target->activateWindow();
}

void kor_keep_keys(QObject *context)
{
    // The main window too is shown with nobody's keys.
    QTimer::singleShot(0, context, &kor_give_keys);
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, context, [](QWindow *window) {
        if (!window)
            QTimer::singleShot(0, &kor_give_keys);
    });
}

void kor_open_custommode(bool shortcut)
{
    if (shortcut)
        g_mode_shortcut_key = 1;
    if (g_custommode && !g_custommode->is_closed()) {
        g_page_focus = KorPageNo::CustomMode;
        g_custommode->show();
        g_custommode->raise();
        g_custommode->activateWindow();
        return;
    }
    g_custommode = new CustomMode(nullptr);
    g_page_focus = KorPageNo::CustomMode;
    g_custommode->show();
}

void kor_set_modal_pages(bool modal)
{
    s_modal = modal;
}

void kor_close_all_pages()
{
    // Top first, so each page's exec() ends before the one beneath it.
    for (int n = kKorPages - 1; n >= 0; --n) {
        KorPage *page = kor_page(n);
        if (page && !page->embedded())
            page->close_page();
    }
    if (g_custommode)
        g_custommode->close_page();
    if (g_numberkeyboard && g_numberkeyboard->isVisible())
        g_numberkeyboard->reject();
}

void kor_ui_tear_down()
{
    kor_close_all_pages();
    delete g_mainwindow;
    delete g_numberkeyboard;
    delete g_tip;
    if (QCoreApplication::instance())
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (KorPageSlot &slot : page_slots())
        slot = KorPageSlot();
    s_modal = true;
    g_lineedit = nullptr;
    kor_keyboard::set_current_window(0);
    MainWindow::set_agelog_hook(nullptr);
}
