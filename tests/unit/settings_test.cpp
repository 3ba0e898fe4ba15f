// The rules between stored values and settings: position scanning, the number rules and
// defaults, the parsing of the enabled filter names and their joining for the registry.

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filter/filter_table.h"
#include "settings/settings.h"
#include "tests/support/filter_fixture.h"

namespace {

struct PositionCase {
    const char* text;
    int ok;
    int32_t x, y;
};

TEST(ScanPosition, ReadsTwoIntegersOrGivesTheOrigin)
{
    const PositionCase cases[] = {
        {"10,20", 1, 10, 20},
        {"-5,7", 1, -5, 7},
        {"10, 20", 1, 10, 20},        // white space before a number is allowed
        {" \t10,\n20", 1, 10, 20},
        {"+3,-4", 1, 3, -4},
        {"10,20 and more", 1, 10, 20},  // what follows the second number is ignored
        {"2147483647,-2147483648", 1, 2147483647, -2147483647 - 1},
        {"0007,08", 1, 7, 8},
        {"10 ,20", 0, 0, 0},          // the comma must follow the number directly
        {"10", 0, 0, 0},
        {"10,", 0, 0, 0},
        {"", 0, 0, 0},
        {"x,y", 0, 0, 0},
        {"5,,6", 0, 0, 0},
        {"- 5,6", 0, 0, 0},
        {"0x10,5", 0, 0, 0},
        // Outside the 32-bit range: refused, never wrapped or clamped.
        {"2147483648,0", 0, 0, 0},
        {"0,-2147483649", 0, 0, 0},
        {"99999999999999999999999,1", 0, 0, 0},
    };
    for (const PositionCase& c : cases) {
        int32_t x = 111, y = 222;
        const int ok = ScanPosition(c.text, &x, &y);
        EXPECT_EQ(ok, c.ok) << '"' << c.text << '"';
        EXPECT_EQ(x, c.x) << '"' << c.text << '"';
        EXPECT_EQ(y, c.y) << '"' << c.text << '"';
    }
}

TEST(FormatPosition, WritesDecimalsWithoutSpacesAndScansBack)
{
    const int32_t points[][2] = {{0, 0}, {-5, 7}, {1366, -768}, {2147483647, -2147483647 - 1}};
    const char* expected[] = {"0,0", "-5,7", "1366,-768", "2147483647,-2147483648"};
    for (int i = 0; i < 4; ++i) {
        char text[kSettingsTextSize];
        FormatPosition(points[i][0], points[i][1], text, sizeof text);
        EXPECT_STREQ(text, expected[i]);
        int32_t x = 0, y = 0;
        EXPECT_EQ(ScanPosition(text, &x, &y), 1);
        EXPECT_EQ(x, points[i][0]);
        EXPECT_EQ(y, points[i][1]);
    }
}

TEST(NumberSettings, AreReadInOrderWithTheirDefaultsAndFields)
{
    // What a user without the registry key starts with.
    struct Expected {
        const char* name;
        uint32_t Settings::*field;
        uint32_t valueWhenMissing;
    };
    const Expected expected[] = {
        {"NoSplash", &Settings::NoSplash, 0},
        {"EnableHotkeyAction", &Settings::EnableHotkeyAction, 1},
        {"HotkeyVKey", &Settings::HotkeyVKey, 122},  // F11
        {"HotkeyCtrl", &Settings::HotkeyCtrl, 0},
        {"HotkeyAlt", &Settings::HotkeyAlt, 0},
        {"EnableMouseAction", &Settings::EnableMouseAction, 0},
        {"MouseActionPosition", &Settings::MouseActionPosition, 0},
    };
    ASSERT_EQ(sizeof kNumberSettings / sizeof kNumberSettings[0], 7u);
    for (int i = 0; i < 7; ++i) {
        const NumberSetting& number = kNumberSettings[i];
        EXPECT_STREQ(number.valueName, expected[i].name);
        EXPECT_TRUE(number.field == expected[i].field) << number.valueName;
        EXPECT_EQ(NumberFromStored(number.rule, number.defaultValue), expected[i].valueWhenMissing)
            << number.valueName;
    }
}

TEST(NumberSettings, StoredNumbersOutOfRangeFallBack)
{
    struct Case {
        NumberRule rule;
        uint32_t stored, loaded;
    };
    const Case cases[] = {
        {NumberRule::Flag, 0, 0},
        {NumberRule::Flag, 1, 1},
        {NumberRule::Flag, 2, 0},  // only exactly 1 sets a flag
        {NumberRule::Flag, 0xFFFFFFFF, 0},
        {NumberRule::FunctionKey, 111, 122},
        {NumberRule::FunctionKey, 112, 112},
        {NumberRule::FunctionKey, 117, 117},
        {NumberRule::FunctionKey, 123, 123},
        {NumberRule::FunctionKey, 124, 122},
        {NumberRule::FunctionKey, 0, 122},
        {NumberRule::FunctionKey, 0xFFFFFFFF, 122},
        {NumberRule::Corner, 0, 0},
        {NumberRule::Corner, 3, 3},
        {NumberRule::Corner, 4, 0},
        {NumberRule::Corner, 0xFFFFFFFF, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NumberFromStored(c.rule, c.stored), c.loaded)
            << "rule " << static_cast<int>(c.rule) << ", stored " << c.stored;
}

TEST(NumberSettings, FlagsAreStoredAsZeroOrOne)
{
    EXPECT_EQ(NumberToStore(NumberRule::Flag, 0), 0u);
    EXPECT_EQ(NumberToStore(NumberRule::Flag, 1), 1u);
    EXPECT_EQ(NumberToStore(NumberRule::Flag, 7), 1u);
    EXPECT_EQ(NumberToStore(NumberRule::FunctionKey, 115), 115u);
    EXPECT_EQ(NumberToStore(NumberRule::Corner, 2), 2u);
}

// The enabled list as names, for comparing.
std::vector<std::string> EnabledNames()
{
    std::vector<std::string> names;
    for (int i = 0; i < enabledList.count; ++i)
        names.push_back(enabledList.entries[i]->name);
    return names;
}

void AddCustomFilter(const std::string& name)
{
    ControlCube colors = {};
    ASSERT_EQ(AddFilter(name.c_str(), ("shown " + name).c_str(), FilterKind::Custom, colors), 1)
        << name;
}

class EnabledFilterText : public EmptyFilterTable {
protected:
    void SetUp() override
    {
        EmptyFilterTable::SetUp();
        RegisterBuiltinFilters();
    }
};

TEST_F(EnabledFilterText, PiecesAreTrimmedEmptiesSkippedAndRepeatsDropped)
{
    struct Case {
        const char* text;
        std::vector<std::string> list;
    };
    const std::vector<Case> cases = {
        {" _hue_brg ,, _HUE_BRG, _normal", {"_hue_brg", "_normal"}},
        {"_grayscale", {"_grayscale"}},
        {"\t_normal\r\n", {"_normal"}},
        {"_grayscale,nosuch,_normal,", {"_grayscale", "_normal"}},
        {"_hue_gbr,   ,_Normal", {"_hue_gbr", "_normal"}},
        // Nothing known: the default list, as far as its filters exist.
        {"", {"_normal", "_hue_gbr", "_hue_brg"}},
        {",,, ,", {"_normal", "_hue_gbr", "_hue_brg"}},
        {"nosuch,other", {"_normal", "_hue_gbr", "_hue_brg"}},
    };
    for (const Case& c : cases) {
        enabledList.count = 0;
        EnableFiltersFromText(c.text);
        EXPECT_EQ(EnabledNames(), c.list) << '"' << c.text << '"';
    }
}

TEST_F(EnabledFilterText, DefaultListTakesTheFilterFilesItNames)
{
    AddCustomFilter("deutanopia");
    EnableFiltersFromText("");
    EXPECT_EQ(EnabledNames(), (std::vector<std::string>{"_normal", "deutanopia", "_hue_gbr",
                                                          "_hue_brg"}));

    enabledList.count = 0;
    AddCustomFilter("tritanoptia");
    AddCustomFilter("protanopia");
    EnableFiltersFromText("gone");
    EXPECT_EQ(EnabledNames(), (std::vector<std::string>{"_normal", "protanopia", "deutanopia",
                                                          "tritanoptia", "_hue_gbr", "_hue_brg"}));
}

std::string Join()
{
    char text[kSettingsTextSize];
    std::memset(text, 'x', sizeof text);
    JoinEnabledFilterNames(text, sizeof text);
    return text;
}

TEST_F(EnabledFilterText, NamesAreJoinedWithCommasAndReadBackInOrder)
{
    EXPECT_EQ(Join(), "");
    EnableFilterByName("_normal");
    EnableFilterByName("_hue_gbr");
    EXPECT_EQ(Join(), "_normal,_hue_gbr");

    enabledList.count = 0;
    for (const char* name : {"_hue_brg", "_grayscale", "_normal"})
        EnableFilterByName(name);
    const std::string text = Join();
    enabledList.count = 0;
    EnableFiltersFromText(text.c_str());
    EXPECT_EQ(EnabledNames(), (std::vector<std::string>{"_hue_brg", "_grayscale", "_normal"}));
}

// Nineteen-character names: twelve of them with their commas take 239 characters.
std::string LongName(int i)
{
    std::string name = "long_filter_name_" + std::to_string(10 + i);
    EXPECT_EQ(name.size(), 19u);
    return name;
}

TEST_F(EnabledFilterText, NamesBeyond255CharactersAreLeftOutWhole)
{
    for (int i = 0; i < 20; ++i) {
        AddCustomFilter(LongName(i));
        EnableFilterByName(LongName(i).c_str());
    }
    std::string expected;
    for (int i = 0; i < 12; ++i)
        expected += (i > 0 ? "," : "") + LongName(i);
    char text[kSettingsTextSize];
    EXPECT_EQ(JoinEnabledFilterNames(text, sizeof text), 12);
    EXPECT_EQ(std::string(text), expected);
    EXPECT_EQ(expected.size(), 239u);
}

TEST_F(EnabledFilterText, ANameThatEndsExactlyAt255CharactersIsKept)
{
    for (int i = 0; i < 12; ++i) {
        AddCustomFilter(LongName(i));
        EnableFilterByName(LongName(i).c_str());
    }
    const std::string fits = "fifteen_chars_x";     // 239 + 1 + 15 = 255
    const std::string tooLong = "sixteen_chars_xy";  // 239 + 1 + 16 = 256
    const std::string tiny = "t";
    AddCustomFilter(fits);
    AddCustomFilter(tooLong);
    AddCustomFilter(tiny);

    EnableFilterByName(fits.c_str());
    std::string text = Join();
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.substr(text.size() - fits.size()), fits);

    // The list in order, cut before the first name that does not fit: a later, shorter
    // name is not saved in its place.
    enabledList.count = 12;
    EnableFilterByName(tooLong.c_str());
    EnableFilterByName(tiny.c_str());
    std::string leading;
    for (int i = 0; i < 12; ++i)
        leading += (i > 0 ? "," : "") + LongName(i);
    EXPECT_EQ(Join(), leading);
}

}  // namespace
