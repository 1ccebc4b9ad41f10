#pragma once
#include <QString>
#include <initializer_list>

// The five-language text choice. Texts are literal tables per language in each page's
// language_changed(); a language whose bit in g_lcd_lang_valid is clear shows English.

// Column order of every text table: simplified Chinese, English, Russian, Vietnamese,
// traditional Chinese (the values of g_language).
struct KorText {
    const char *zh;
    const char *en;
    const char *ru;
    const char *vi;
    const char *tw;
};

// The language whose texts are shown: g_language, or 1 (English) where that language's bit
// in g_lcd_lang_valid is clear or it is no language at all.
int kor_shown_language();
// The column of the shown language, from UTF-8 literals.
QString kor_tr(const KorText &text);
QString kor_tr(const char *zh, const char *en, const char *ru, const char *vi, const char *tw);
// Fills each "%d" of a text of the language tables with the next number.
QString kor_fill_numbers(QString format, std::initializer_list<long> numbers);
