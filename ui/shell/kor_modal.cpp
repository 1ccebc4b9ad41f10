#include "ui/shell/kor_modal.h"

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>

namespace {
// Ends the loop at any hide of the dialog, also one QDialog does not see as its own.
struct HideWatch : QObject {
    explicit HideWatch(QEventLoop *loop) : loop(loop) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Hide)
            loop->exit();
        return false;
    }
    QEventLoop *loop;
};
}

KorModal::~KorModal()
{
    // The dialog goes while it runs.
    if (m_loop)
        m_loop->exit();
}

int KorModal::run(QDialog *dialog)
{
    if (m_loop)
        return QDialog::Rejected;
    dialog->setResult(QDialog::Rejected);
    const bool was_modal = dialog->testAttribute(Qt::WA_ShowModal);
    dialog->setAttribute(Qt::WA_ShowModal, true);
    QEventLoop loop;
    m_loop = &loop;
    HideWatch watch(&loop);
    dialog->installEventFilter(&watch);
    QPointer<QDialog> guard(dialog);
    dialog->show();
    if (guard && dialog->isVisible()) {
        dialog->raise();
        dialog->activateWindow();
        loop.exec(QEventLoop::DialogExec);
    }
    if (!guard)
        return QDialog::Rejected;  // deleted meanwhile, this with it
    dialog->removeEventFilter(&watch);
    m_loop = nullptr;
    // Ended with the window still up only when the application quits.
    if (dialog->isVisible())
        dialog->hide();
    dialog->setAttribute(Qt::WA_ShowModal, was_modal);
    return dialog->result();
}
