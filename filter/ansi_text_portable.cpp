// The ANSI text helpers for the native build, where text is taken as single bytes: the
// native tree only tests the parsing, and the double-byte stepping is tested under Wine.

#include "filter/ansi_text.h"

#include <cstdio>

const char* NextAnsiChar(const char* text)
{
    return *text != '\0' ? text + 1 : text;
}

void FormatLocalizedKey(char (&key)[kLocalizedKeyBytes], uint32_t locale)
{
    std::snprintf(key, sizeof key, "name(%d)", static_cast<int>(locale));
}

bool SystemCodePageIsLocales(uint32_t)
{
    return true;
}
