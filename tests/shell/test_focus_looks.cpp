// Focus moves on a menu: buttons drawn again from pictures of their earlier drawings look
// exactly as their style sheets draw them, also once their texts have changed.
#include "kor_test_helpers.h"

#include <QBackingStore>
#include <QPushButton>

namespace {
const char *const kItems[5] = {"output_set", "link_set", "test_chart", "smart_mapping", "advanced_set"};

// The settings menu as the style sheets draw it with item `selected` highlighted.
QImage drawn_by_style_sheets(int selected)
{
    Option page;
    for (int i = 0; i < 5; ++i)
        page.findChild<QPushButton *>(kItems[i])
            ->setStyleSheet(QString::fromLatin1(i == selected ? KorStyle::menu_focus : KorStyle::menu_normal));
    page.show();
    KorTestEnv::process_events();
    return page.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The settings menu as it is on the screen now.
QImage on_screen()
{
    QPaintDevice *device = g_option->backingStore()->paintDevice();
    if (device->devType() != QInternal::Image)
        return QImage();
    return static_cast<QImage *>(device)->convertToFormat(QImage::Format_RGB32);
}
}

class TestFocusLooks : public KorTest {
    Q_OBJECT

private slots:
    void menu_drawn_as_its_style_sheets()
    {
        kor_open(kor_settings, 5);
        KorTestEnv::process_events();
        // Two rounds, each key drawn before the next: the second is drawn from pictures.
        for (int i = 1; i <= 10; ++i) {
            kor_press(KorKey::Right);
            KorTestEnv::process_events();
            if (i > 5)
                QCOMPARE(on_screen(), drawn_by_style_sheets(i % 5));
        }
        // New texts while pictures show: drawn from the style sheets again, in the very frame
        // that shows the texts.
        g_language = 1;
        g_option->language_changed();
        g_option->repaint();
        QCOMPARE(on_screen(), drawn_by_style_sheets(0));
        kor_press(KorKey::Right);
        KorTestEnv::process_events();
        QCOMPARE(on_screen(), drawn_by_style_sheets(1));
    }
};

QTEST_MAIN(TestFocusLooks)
#include "test_focus_looks.moc"
