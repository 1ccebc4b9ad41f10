#include "ui/shell/kor_modal.h"

#include <QDialog>
#include <QEventLoop>
#include <QPointer>

KorModal::~KorModal()
{
    hidden();
}

void KorModal::hidden()
{
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
    QPointer<QDialog> guard(dialog);
    dialog->show();
    if (guard && dialog->isVisible()) {
        dialog->raise();
        dialog->activateWindow();
        loop.exec(QEventLoop::DialogExec);
    }
    if (!guard)
        return QDialog::Rejected;  // deleted meanwhile, this with it
    m_loop = nullptr;
    // Ended with the window still up only when the application quits.
    if (dialog->isVisible())
        dialog->hide();
    dialog->setAttribute(Qt::WA_ShowModal, was_modal);
    return dialog->result();
}
