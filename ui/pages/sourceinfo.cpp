#include "ui/pages/sourceinfo.h"

#include <QLabel>
#include <QPixmap>

namespace {
constexpr unsigned char kInputs = 6;

struct SourceRow {
    const char *name;
    const char *input_icon;
    const char *online_icon;
    const char *offline_icon;
};

// Indexed by source id.
const SourceRow kRows[kInputs] = {
    {"EXT", ":/png/HDMI.png", ":/png/extlv.png", ":/png/HDMI.png"},
    {"DVI", ":/png/DVI.png", ":/png/dvilv.png", ":/png/DVI.png"},
    {"HDMI1", ":/png/HDMI13.png", ":/png/HDMI13_lv.png", ":/png/HDMI13_1.png"},
    {"HDMI2", ":/png/HDMI13.png", ":/png/HDMI13_lv.png", ":/png/HDMI13_1.png"},
    {"HDMI3", ":/png/HDMI20.png", ":/png/HDMI20_lv.png", ":/png/HDMI20.png"},
    {"HDMI4", ":/png/HDMI20.png", ":/png/HDMI20_lv.png", ":/png/HDMI20.png"},
};

const unsigned char kListseqOfId[kInputs] = {5, 4, 0, 1, 2, 3};
// Position 5 (EXT, id 0) is the fallback of every position beyond 4.
const unsigned char kIdAtListseq[kInputs - 1] = {2, 3, 4, 5, 1};

const char kWhite[] = "<font style = 'font-size:9px' color = #ffffff >%1</font>";
const char kGreen0[] = "<font style = 'font-size:9px' color = #51BB28 >%1</font>";
const char kGreen1[] = "<font style = 'font-size:9px' color = #12BB32 >%1</font>";
const char kBlue[] = "<font style = 'font-size:9px' color = #4777ff >%1</font>";

// HDMI3 and HDMI4 are the HDMI 2.0 inputs: their names are drawn green.
bool is_hdmi20(unsigned char id)
{
    return id == 4 || id == 5;
}
}

QString sourceinfo::get_source_name_by_sourceid(unsigned char id)
{
    return id < kInputs ? QString::fromLatin1(kRows[id].name) : QString();
}

QString sourceinfo::get_source_name_by_listseq(unsigned char position)
{
    return position < kInputs ? get_source_name_by_sourceid(get_source_id_by_listseq(position)) : QString();
}

unsigned char sourceinfo::get_source_id_by_listseq(unsigned char position)
{
    return position < kInputs - 1 ? kIdAtListseq[position] : 0;
}

unsigned char sourceinfo::get_listseq_by_source_id(unsigned char id)
{
    return id < kInputs ? kListseqOfId[id] : 0;
}

QString sourceinfo::get_source_specialstyle0_by_sourceid(unsigned char id)
{
    return QString::fromLatin1(is_hdmi20(id) ? kGreen0 : kWhite);
}

QString sourceinfo::get_source_specialstyle1_by_sourceid(unsigned char id, QString name, unsigned char count)
{
    if (id >= kInputs)
        return QString();
    const QString blue = QString::fromLatin1(kBlue);
    // The name may be an operator's alias: text, not markup.
    return QString::fromLatin1(is_hdmi20(id) ? kGreen1 : kWhite).arg(name.toHtmlEscaped()) + blue.arg(QStringLiteral("(")) +
           blue.arg(unsigned(count)) + blue.arg(QStringLiteral(")"));
}

void sourceinfo::set_source_pixmap(QLabel *label, unsigned char id)
{
    if (!label || id >= kInputs)
        return;
    label->setPixmap(QPixmap(QString::fromLatin1(kRows[id].input_icon)));
}

void sourceinfo::set_sourceonline_pixmap(QLabel *label, unsigned char id, unsigned char online)
{
    if (!label || id >= kInputs)
        return;
    const SourceRow &row = kRows[id];
    label->setPixmap(QPixmap(QString::fromLatin1(online ? row.online_icon : row.offline_icon)));
}
