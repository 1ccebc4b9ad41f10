#include "ui/shell/kor_look.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

namespace {
struct Picture {
    QImage image;
    size_t key = 0;  // what else the drawing depended on
};

struct Look {
    QString shown;  // drawn from this style's picture; null: the own style sheet shows
    QHash<QString, Picture> pictures;
    Picture beneath;       // what lies under the button, drawn by its parents
    bool capture = false;  // keep the next full drawing from the style sheet
};

// What lies beneath a widget depends on: its place and the style sheets of its parents.
size_t place_key(const QWidget *w)
{
    const QPoint at = w->mapTo(w->window(), QPoint(0, 0));
    size_t h = 0;
    for (const int v : {w->width(), w->height(), at.x(), at.y()})
        h = qHash(v, h);
    for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        h = qHash(p->styleSheet(), h);
    return h;
}

// What a button's drawing depends on besides its style sheet.
size_t content_key(const QWidget *w)
{
    const QAbstractButton *b = static_cast<const QAbstractButton *>(w);
    size_t h = qHash(b->text(), qHash(b->icon().cacheKey(), place_key(w)));
    for (const int v : {b->iconSize().width(), b->iconSize().height(),
                        int(b->isChecked()) | int(b->isDown()) << 1 | int(b->isEnabled()) << 2})
        h = qHash(v, h);
    return qHash(w->font().key(), h);
}

// Nothing but the button and what lies beneath it is drawn in its place.
bool alone(const QWidget *w)
{
    const QWidget *window = w->window();
    const QRect place(w->mapTo(window, QPoint(0, 0)), w->size());
    for (QObject *o : w->children())
        if (o->isWidgetType() && static_cast<QWidget *>(o)->isVisible())
            return false;
    for (const QWidget *a = w; a != window; a = a->parentWidget()) {
        const QWidget *parent = a->parentWidget();
        if (!parent)
            return false;
        for (QObject *o : parent->children()) {
            const QWidget *s = qobject_cast<const QWidget *>(o);
            if (!s || s == a || s->isWindow() || !s->isVisible())
                continue;
            if (QRect(s->mapTo(window, QPoint(0, 0)), s->size()).intersects(place))
                return false;
        }
    }
    return true;
}

class LookKeeper : public QObject {
public:
    QHash<const QObject *, Look> looks;
    bool busy = false;  // our own restyle or drawing

    Look &look(QWidget *w)
    {
        auto it = looks.find(w);
        if (it != looks.end())
            return *it;
        w->installEventFilter(this);
        connect(w, &QObject::destroyed, this, [this](QObject *gone) { looks.remove(gone); });
        return looks[w];
    }

    // Drawn from a picture: its parents need not draw beneath it.
    static void from_picture(QWidget *w, Look &look, const QString &style)
    {
        look.shown = style;
        look.capture = false;
        w->setAttribute(Qt::WA_OpaquePaintEvent, true);
        w->update();
    }

    static void from_style_sheet(QWidget *w, Look &look)
    {
        look.shown = QString();
        w->setAttribute(Qt::WA_OpaquePaintEvent, false);
    }

    // From the style sheet again, and kept as a picture when next drawn whole. `style` is a
    // copy: it may be the shown style, which is cleared here.
    void restyle(QWidget *w, Look &look, QString style)
    {
        from_style_sheet(w, look);
        look.capture = true;
        if (w->styleSheet() == style) {
            w->update();
            return;
        }
        busy = true;
        w->setStyleSheet(style);
        busy = false;
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        const QEvent::Type type = e->type();
        if (busy || (type != QEvent::Paint && type != QEvent::StyleChange && type != QEvent::Move &&
                     type != QEvent::Resize))
            return false;
        auto it = looks.find(o);
        if (it == looks.end())
            return false;
        QWidget *w = static_cast<QWidget *>(o);
        Look &look = *it;
        if (type != QEvent::Paint) {
            // Restyled by its page or its parent, or moved: what it now has shows.
            if (!look.shown.isNull())
                from_style_sheet(w, look);
            look.capture = false;
            return false;
        }
        if (!look.shown.isNull()) {
            const size_t key = content_key(w);
            const Picture picture = look.pictures.value(look.shown);
            if (!picture.image.isNull() && picture.key == key) {
                draw(w, picture.image);
                return true;
            }
            // Changed since it was drawn in that style. Its parents have not drawn beneath it
            // in this pass: what they drew there before is put back first.
            if (look.beneath.key == place_key(w))
                draw(w, look.beneath.image);
            restyle(w, look, look.shown);
        }
        if (!look.capture || static_cast<QPaintEvent *>(e)->rect() != w->rect() || !alone(w))
            return false;
        look.capture = false;
        const QImage beneath = on_screen(w);
        busy = true;
        QCoreApplication::sendEvent(w, e);
        busy = false;
        const QImage drawn = on_screen(w);
        if (!beneath.isNull() && !drawn.isNull()) {
            look.beneath = Picture{beneath, place_key(w)};
            look.pictures.insert(w->styleSheet(), Picture{drawn, content_key(w)});
        }
        return true;
    }

private:
    static void draw(QWidget *w, const QImage &image)
    {
        QPainter p(w);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, image);
    }

    // The pixels now in the button's place on the screen's image (null when painting
    // elsewhere, as into a grab).
    static QImage on_screen(QWidget *w)
    {
        QPainter p(w);
        QPaintEngine *engine = p.paintEngine();
        QPaintDevice *device = engine ? engine->paintDevice() : nullptr;
        if (!device || device->devType() != QInternal::Image)
            return QImage();
        const QImage *screen = static_cast<const QImage *>(device);
        const QTransform to_device = p.deviceTransform();
        p.end();
        if (screen->devicePixelRatio() != 1.0 || to_device.type() > QTransform::TxTranslate)
            return QImage();
        const QRect place(to_device.map(QPoint(0, 0)), w->size());
        if (!screen->rect().contains(place))
            return QImage();
        return screen->copy(place);
    }
};

LookKeeper &keeper()
{
    static LookKeeper *k = new LookKeeper;
    return *k;
}
}

void kor_show_style(QWidget *widget, const QString &style)
{
    LookKeeper &k = keeper();
    if (kor_shown_style(widget) == style)
        return;
    if (!qobject_cast<QAbstractButton *>(widget)) {
        widget->setStyleSheet(style);
        return;
    }
    Look &look = k.look(widget);
    const Picture picture = look.pictures.value(style);
    if (!picture.image.isNull() && picture.key == content_key(widget) && look.beneath.key == place_key(widget) &&
        alone(widget)) {
        LookKeeper::from_picture(widget, look, style);
        return;
    }
    k.restyle(widget, look, style);
}

QString kor_shown_style(const QWidget *widget)
{
    const auto &looks = keeper().looks;
    const auto it = looks.constFind(widget);
    return it != looks.constEnd() && !it->shown.isNull() ? it->shown : widget->styleSheet();
}
