#include "ui/shell/kor_quiet_combos.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>

KorQuietCombos::KorQuietCombos()
{
    QCoreApplication::instance()->installEventFilter(this);
}

KorQuietCombos::~KorQuietCombos()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool KorQuietCombos::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::FontChange && type != QEvent::StyleChange)
        return false;
    const QComboBox *box = qobject_cast<const QComboBox *>(watched);
    return box && !box->testAttribute(Qt::WA_WState_Polished);
}
