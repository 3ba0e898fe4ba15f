// The ANSI text helpers on Windows: the system's own rules for the user's code page.

#include "filter/ansi_text.h"

#include <cstdlib>

#include <windows.h>

const char* NextAnsiChar(const char* text)
{
    // In a double-byte code page such as 932 a trail byte may equal '\\'; CharNextA knows
    // the code page's lead bytes and steps over the whole character.
    return CharNextA(text);
}

void FormatLocalizedKey(char (&key)[kLocalizedKeyBytes], uint32_t locale)
{
    wsprintfA(key, "name(%d)", static_cast<int>(locale));
}

bool SystemCodePageIsLocales(uint32_t locale)
{
    char codePage[8] = "";
    return GetLocaleInfoA(locale, LOCALE_IDEFAULTANSICODEPAGE, codePage, sizeof codePage) > 0 &&
           static_cast<UINT>(std::atoi(codePage)) == GetACP();
}
