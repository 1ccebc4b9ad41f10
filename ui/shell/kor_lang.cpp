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

QString kor_fill_numbers(QString format, std::initializer_list<long> numbers)
{
    int from = 0;
    for (long n : numbers) {
        const int at = format.indexOf(QLatin1String("%d"), from);
        if (at < 0)
            break;
        const QString digits = QString::number(n);
        format.replace(at, 2, digits);
        from = at + digits.size();
    }
    return format;
}
