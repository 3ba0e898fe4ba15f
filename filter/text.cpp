// Text helpers with fixed ASCII rules, independent of the user's locale, and the file name
// of a path.

#include "filter/text.h"

#include <cstring>
#include <cwchar>

#include "filter/ansi_text.h"

namespace {

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

int EqualsIgnoringAsciiCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b))
            return 0;
        if (*a == '\0')
            return 1;
    }
}

void TrimWhiteSpace(char* text)
{
    if (text == nullptr || text[0] == '\0')
        return;
    const size_t length = std::strlen(text);
    size_t first = 0;
    while (first < length && IsAsciiSpace(text[first]))
        ++first;
    if (first == length)
        return;  // nothing but white space: left as it is
    size_t last = length - 1;
    while (IsAsciiSpace(text[last]))
        --last;
    const size_t kept = last - first + 1;
    std::memmove(text, text + first, kept);
    text[kept] = '\0';
}

const char* FileNameInPath(const char* path)
{
    const char* fileName = path;
    for (const char* p = path; *p != '\0'; p = NextAnsiChar(p))
        if (*p == '\\')
            fileName = p + 1;
    return fileName;
}

void SubstitutePlaceholders(wchar_t* out, size_t size, const wchar_t* pattern,
                            const wchar_t* const* arguments, int count)
{
    if (size == 0)
        return;
    size_t used = 0;
    auto append = [&](const wchar_t* text, size_t length) {
        const size_t room = size - 1 - used;
        length = length < room ? length : room;
        std::memcpy(out + used, text, length * sizeof *text);
        used += length;
    };
    for (const wchar_t* p = pattern; *p != L'\0'; ++p) {
        if (p[0] == L'%' && p[1] >= L'1' && p[1] <= L'9') {
            const int index = p[1] - L'1';
            const wchar_t* argument = index < count && arguments[index] ? arguments[index] : L"";
            append(argument, std::wcslen(argument));
            ++p;
        } else {
            append(p, 1);
        }
    }
    out[used] = L'\0';
}

namespace {

template <typename Char>
bool NextListedNameIn(const Char** cursor, const Char** name, size_t* length)
{
    const Char* start = *cursor;
    if (start == nullptr)
        return false;
    const Char* end = start;
    while (*end != Char{'\0'} && *end != Char{','})
        ++end;
    *cursor = *end == Char{','} ? end + 1 : nullptr;
    while (start < end && IsAsciiSpace(*start))
        ++start;
    while (end > start && IsAsciiSpace(end[-1]))
        --end;
    *name = start;
    *length = static_cast<size_t>(end - start);
    return true;
}

}  // namespace

bool NextListedName(const char** cursor, const char** name, size_t* length)
{
    return NextListedNameIn(cursor, name, length);
}

bool NextListedName(const wchar_t** cursor, const wchar_t** name, size_t* length)
{
    return NextListedNameIn(cursor, name, length);
}
