#pragma once

class QDialog;
class QEventLoop;

// A dialog's modal session that lasts exactly as long as the dialog is shown. QDialog::exec()
// ends its loop only when the dialog is hidden while it is visible: a done() that lands
// before the loop runs, or a hide the dialog does not see as its own, leaves the loop running
// with no window on screen, and every key is then blocked by a modal window nobody sees.
// Here any hide ends the session, a dialog hidden before its loop starts never enters it, and
// a second run while one runs is refused.
class KorModal {
public:
    KorModal() = default;
    KorModal(const KorModal &) = delete;
    KorModal &operator=(const KorModal &) = delete;
    ~KorModal();

    // The dialog's exec(): shows it modally, on top and with the keys, and returns its
    // result once it is hidden (whatever hides it); Rejected at once while a session runs.
    int run(QDialog *dialog);
    bool running() const { return m_loop != nullptr; }

private:
    QEventLoop *m_loop = nullptr;
};
