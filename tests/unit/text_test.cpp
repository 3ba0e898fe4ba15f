// ASCII-only comparison and white-space trimming.

#include <string>

#include <gtest/gtest.h>

#include "filter/text.h"

namespace {

TEST(EqualsIgnoringAsciiCase, FoldsOnlyAToZ)
{
    const struct {
        const char *a, *b;
        bool equal;
    } cases[] = {
        {"_Normal", "_normal", true}, {"ABCXYZ", "abcxyz", true}, {"", "", true},
        {"abc", "abcd", false},       {"abcd", "abc", false},     {"@[`{", "`{@[", false},
        {"\xC4", "\xE4", false},  // no folding above 0x7F (for instance Latin-1 A/a umlaut)
    };
    for (const auto& c : cases)
        EXPECT_EQ(EqualsIgnoringAsciiCase(c.a, c.b) != 0, c.equal) << c.a << " vs " << c.b;
}

TEST(TrimWhiteSpace, RemovesTheSixWhiteSpaceCharactersAtBothEnds)
{
    const struct {
        const char *input, *expected;
    } cases[] = {
        {"  name  ", "name"},
        {"\t\n\v\f\r name \r\n", "name"},
        {"in side", "in side"},
        {"x", "x"},
        {" a b ", "a b"},
        {"", ""},
        {"   ", "   "},  // nothing but white space: unchanged
        {"\xA0value\xA0", "\xA0value\xA0"},  // no-break space is not white space here
    };
    for (const auto& c : cases) {
        std::string buffer = c.input;
        TrimWhiteSpace(&buffer[0]);
        EXPECT_STREQ(buffer.c_str(), c.expected) << "input \"" << c.input << "\"";
    }
    TrimWhiteSpace(nullptr);  // must not crash
}

}  // namespace
