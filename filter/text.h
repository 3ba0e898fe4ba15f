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

inline bool IsAsciiSpace(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

// Non-zero when the two texts are equal with A-Z taken as a-z (no other folding).
int EqualsIgnoringAsciiCase(const char* a, const char* b);

// Removes leading and trailing space, tab, line feed, vertical tab, form feed and
// carriage return, in place. A null, empty or all-white text is left unchanged.
void TrimWhiteSpace(char* text);

// Copies `pattern` into `out` (`size` characters, NUL-terminated, cut when it does not fit)
// with each "%1" to "%9" replaced by that argument (an empty text past `count`). Nothing
// else is special: a translated text is never a printf format. Wide text, as file names
// and the string table's texts are.
void SubstitutePlaceholders(wchar_t* out, size_t size, const wchar_t* pattern,
                            const wchar_t* const* arguments, int count);

// Steps through a comma-separated list of names, such as "protanopia, _normal": the names
// of the enabled filters in the settings, or of --filters. Each call sets `name` and
// `length` to the next piece with the white space around it left out, and returns false
// once the text is used up. Every comma ends a piece, so "a,,b" has an empty piece between
// its names and "" is one empty piece; `*cursor` starts at the text and is moved on. Text
// of the ANSI code page (a comma or a space is never a trail byte) or wide text.
bool NextListedName(const char** cursor, const char** name, size_t* length);
bool NextListedName(const wchar_t** cursor, const wchar_t** name, size_t* length);
