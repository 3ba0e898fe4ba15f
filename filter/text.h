// Small text routines shared by the filter files, the settings and the application shell.
// Portable: no windows.h. Character classes are those of the "C" locale.
#pragma once

#include <cstddef>

// Space, tab, line feed, vertical tab, form feed and carriage return: isspace in the "C"
// locale, whatever locale the process runs in.
inline bool IsAsciiSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Non-zero when the two texts are equal with A-Z taken as a-z (no other folding).
int EqualsIgnoringAsciiCase(const char* a, const char* b);

// Removes leading and trailing space, tab, line feed, vertical tab, form feed and
// carriage return, in place. A null, empty or all-white text is left unchanged.
void TrimWhiteSpace(char* text);

// Copies `pattern` into `out` (`size` bytes, NUL-terminated, cut when it does not fit) with
// each "%1" to "%9" replaced by that argument (an empty text past `count`). Nothing else
// is special: a translated text is never a printf format.
void SubstitutePlaceholders(char* out, size_t size, const char* pattern,
                            const char* const* arguments, int count);
