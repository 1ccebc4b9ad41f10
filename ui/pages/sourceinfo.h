#pragma once
#include <QString>

class QLabel;

// Names, screen order, caption colours and connector icons of the six inputs.
// Two numberings: the source id of the table, the scaler and the input chips (0 EXT, 1 DVI,
// 2 HDMI1, 3 HDMI2, 4 HDMI3, 5 HDMI4), and the list position, left to right on the pages
// (HDMI1, HDMI2, HDMI3, HDMI4, DVI, EXT). Out-of-range values fall back to an empty name,
// id 0, position 0, the white caption or an unchanged label. No state, GUI thread.
class sourceinfo {
public:
    static QString get_source_name_by_sourceid(unsigned char id);
    static QString get_source_name_by_listseq(unsigned char position);
    static unsigned char get_source_id_by_listseq(unsigned char position);
    static unsigned char get_listseq_by_source_id(unsigned char id);

    // The caption template (still holding %1) for fixed captions in list order.
    static QString get_source_specialstyle0_by_sourceid(unsigned char id);
    // The name (as text, escaped) in its colour followed by "(count)" in blue.
    static QString get_source_specialstyle1_by_sourceid(unsigned char id, QString name, unsigned char count);

    static void set_source_pixmap(QLabel *label, unsigned char id);
    static void set_sourceonline_pixmap(QLabel *label, unsigned char id, unsigned char online);
};
