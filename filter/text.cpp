// Text helpers with fixed ASCII rules, independent of the user's locale, and the file name
// of a path.

#include "filter/text.h"

#include <cstring>

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

void SubstitutePlaceholders(char* out, size_t size, const char* pattern,
                            const char* const* arguments, int count)
{
    if (size == 0)
        return;
    size_t used = 0;
    auto append = [&](const char* text, size_t length) {
        const size_t room = size - 1 - used;
        length = length < room ? length : room;
        std::memcpy(out + used, text, length);
        used += length;
    };
    // '%' and the digits are below 0x40, so they are never the trail byte of a double-byte
    // character and the text can be read byte by byte.
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
            const int index = p[1] - '1';
            const char* argument = index < count && arguments[index] ? arguments[index] : "";
            append(argument, std::strlen(argument));
            ++p;
        } else {
            append(p, 1);
        }
    }
    out[used] = '\0';
}
