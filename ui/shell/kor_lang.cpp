#include "ui/shell/kor_lang.h"

#include "core/global.h"

int kor_shown_language()
{
    const int lang = g_language.load();
    if (lang < 0 || lang > 4 || !((g_lcd_lang_valid.load() >> lang) & 1))
        return 1;
    return lang;
}

QString kor_tr(const KorText &text)
{
    const char *const columns[5] = {text.zh, text.en, text.ru, text.vi, text.tw};
    return QString::fromUtf8(columns[kor_shown_language()]);
}

QString kor_tr(const char *zh, const char *en, const char *ru, const char *vi, const char *tw)
{
    return kor_tr(KorText{zh, en, ru, vi, tw});
}

QString kor_icon_prefix()
{
    static const char *const prefixes[5] = {"", "en_", "ru_", "vn_", "tn_"};
    return QString::fromLatin1(prefixes[kor_shown_language()]);
}
