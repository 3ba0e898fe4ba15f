// The text rules every part shares: the placeholders of a translated message, the pieces of
// a comma-separated list of filter names, written in every way a user may, and the name
// proposed for a saved picture (in single-byte text; code page 932 is tested under Wine).

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filter/text.h"
#include "preview/picture_name.h"

TEST(Placeholders, TakeTheirArgumentsAndLeaveEverythingElseAsText)
{
    const wchar_t* const args[] = {L"C:\\x 50%1 \u65E5\u672C.png", L"Access is denied."};
    const struct { const wchar_t* pattern; int count; size_t size; const wchar_t* want; } cases[] = {
        {L"%1 cannot be written: %2", 2, 512, L"C:\\x 50%1 \u65E5\u672C.png cannot be written: Access is denied."},
        {L"%2 then %1 then %3", 1, 512, L" then C:\\x 50%1 \u65E5\u672C.png then "},
        {L"%s%n%d 100% %0 %", 2, 512, L"%s%n%d 100% %0 %"},
        {L"[%1]", 1, 8, L"[C:\\x 5"},
        {L"%1%1", 1, 1, L""},
    };
    for (const auto& c : cases) {
        wchar_t text[512];
        std::wmemset(text, L'j', 512);
        SubstitutePlaceholders(text, c.size, c.pattern, args, c.count);
        EXPECT_STREQ(text, c.want) << c.pattern;
    }
}

// The pieces of `text`, each in brackets.
template <typename Char>
static std::string Pieces(const Char* text)
{
    std::string pieces;
    const Char* name = nullptr;
    size_t length = 0;
    for (const Char* cursor = text; NextListedName(&cursor, &name, &length);)
        pieces += "[" + std::string(name, name + length) + "]";
    return pieces;
}

TEST(ListedNames, EverySpellingOfAListGivesTheSamePieces)
{
    const struct { std::vector<const char*> spellings; const char* pieces; } cases[] = {
        {{"a,b", " a,b ", "a , b", "\ta,\r\nb\t", "a,\v\fb"}, "[a][b]"},
        {{"a", " a ", "\ta\r\n"}, "[a]"},
        {{"", " ", "\t\r\n"}, "[]"},
        {{"a,", "a , ", "a,\t"}, "[a][]"},
        {{",a", " ,a", "  , a"}, "[][a]"},
        {{"a,,b", "a, ,b", "a ,\t, b"}, "[a][][b]"},
        {{",", " , "}, "[][]"},
        {{"long name, x y "}, "[long name][x y]"},
    };
    for (const auto& c : cases)
        for (const char* spelling : c.spellings) {
            EXPECT_EQ(Pieces(spelling), c.pieces) << '"' << spelling << '"';
            const std::wstring wide(spelling, spelling + std::strlen(spelling));
            EXPECT_EQ(Pieces(wide.c_str()), c.pieces) << "wide \"" << spelling << '"';
        }
}

TEST(ProposedPictureName, NamesTheMomentAndTheFilterWithWhatAFileNameCanHold)
{
    const struct { std::string label; size_t size; std::string want; } rows[] = {
        {"Deuteranopia", 260, "Prismolenteer 2026-12-07 14.03.12 Deuteranopia.png"},
        {"a\\b/c:d*e?f\"g<h>i|j\tk\x1F.", 260, "Prismolenteer 2026-12-07 14.03.12 a_b_c_d_e_f_g_h_i_j_k_..png"},
        {"Deuteranopia", 45, "Prismolenteer 2026-12-07 14.03.12 Deuter.png"},  // cut to fit 45 bytes
        {"Deuteranopia", 39, "Prismolenteer 2026-12-07 14.03.12 .png"},        // room for no label
    };
    for (const auto& row : rows) {
        char name[260];
        ProposePictureName({2026, 12, 7, 14, 3, 12}, row.label.c_str(), name, row.size);
        EXPECT_EQ(std::string(name), row.want) << row.label << " in " << row.size;
    }
}
