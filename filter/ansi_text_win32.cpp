// The ANSI text helpers on Windows: the system's own rules for the user's code page.

#include "filter/ansi_text.h"

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
