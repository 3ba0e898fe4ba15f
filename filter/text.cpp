// Text helpers with fixed ASCII rules, independent of the user's locale.

#include "filter/text.h"

#include <cstring>

namespace {

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
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
    while (first < length && IsWhiteSpace(text[first]))
        ++first;
    if (first == length)
        return;  // nothing but white space: left as it is
    size_t last = length - 1;
    while (IsWhiteSpace(text[last]))
        --last;
    const size_t kept = last - first + 1;
    std::memmove(text, text + first, kept);
    text[kept] = '\0';
}
