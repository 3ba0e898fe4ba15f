// The rules between stored values and settings: the position text, the number rules and
// what a user with nothing stored starts with, the enabled filter names read and joined.

#include <cstring>
#include <string>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/support/filter_fixture.h"

TEST(Settings, APositionIsTwoIntegersOrTheOrigin)
{
    const struct { const char* text; int ok; int32_t x, y; } cases[] = {
        {"10,20", 1, 10, 20},      {" \t-5,\n+7 and more", 1, -5, 7},   {"9,90", 1, 9, 90},
        {"2147483647,-2147483648", 1, 2147483647, -2147483647 - 1},
        {"10 ,20", 0, 0, 0},       {"10,", 0, 0, 0},    {"", 0, 0, 0},
        {"- 5,6", 0, 0, 0},        {"2147483648,0", 0, 0, 0},
        {"0,-2147483649", 0, 0, 0}, {"99999999999999999999999,1", 0, 0, 0},
    };
    for (const auto& c : cases) {
        int32_t x = 111, y = 222;
        const int ok = ScanPosition(c.text, &x, &y);
        EXPECT_TRUE(ok == c.ok && x == c.x && y == c.y)
            << '"' << c.text << "\" gives " << ok << ": " << x << "," << y;
    }
}

TEST(Settings, StoredNumbersOutOfRangeFallBackAndNothingStoredGivesTheHotkeyF11)
{
    const NumberRule flag = NumberRule::Flag, key = NumberRule::FunctionKey;
    const NumberRule corner = NumberRule::Corner;
    const struct { NumberRule rule; uint32_t stored, loaded; } cases[] = {
        {flag, 0, 0},     {flag, 1, 1},     {flag, 2, 0},       {key, 111, kVkF11}, {key, 112, 112},
        {key, 123, 123},  {key, 124, kVkF11}, {corner, 3, 3},   {corner, 4, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberFromStored(c.rule, c.stored), c.loaded) << int(c.rule) << ", " << c.stored;
    EXPECT_TRUE(NumberToStore(flag, 7) == 1 && NumberToStore(flag, 0) == 0);
    EXPECT_EQ(NumberToStore(key, 115), 115u);

    std::string missing;
    for (const NumberSetting& number : kNumberSettings)
        missing += std::string(number.valueName) + "=" +
                   std::to_string(NumberFromStored(number.rule, number.defaultValue)) + " ";
    EXPECT_EQ(missing, "NoSplash=0 EnableHotkeyAction=1 HotkeyVKey=122 HotkeyCtrl=0 HotkeyAlt=0 "
                       "EnableMouseAction=0 MouseActionPosition=0 ");
}

TEST(Settings, TheLiveViewKeepsAPlaceOfUsableSizeAZoomOfOneTwoOrFourAndAMode)
{
    const struct { uint32_t stored, zoom, mode; } numbers[] = {
        {0, 1, 0}, {1, 1, 1}, {2, 2, 0}, {3, 1, 0}, {4, 4, 0}, {5, 1, 0}, {8, 1, 0}, {0xFFFFFFFF, 1, 0},
    };
    for (const auto& n : numbers)
        EXPECT_EQ(std::make_pair(LiveZoomFromStored(n.stored), LiveModeFromStored(n.stored)),
                  std::make_pair(n.zoom, n.mode)) << n.stored;

    const struct { const char *position, *size; bool placed; int32_t x, y, width, height; } places[] = {
        {"-1500,20", "640,480", true, -1500, 20, 640, 480},
        {"0,0", "120,120", true, 0, 0, 120, 120},
        {"0,0", "8192,8192", true, 0, 0, 8192, 8192},
        {"0,0", "119,300", false, 0, 0, 0, 0},
        {"0,0", "300,119", false, 0, 0, 0, 0},
        {"0,0", "8193,300", false, 0, 0, 0, 0},
        {"0,0", "300,8193", false, 0, 0, 0, 0},
        {"", "300,300", false, 0, 0, 0, 0},
        {"7,8", "", false, 0, 0, 0, 0},
    };
    for (const auto& p : places) {
        LiveViewSettings live{true, 1, 2, 3, 4, "", 1, 0};
        ScanLivePlacement(p.position, p.size, &live);
        EXPECT_EQ(std::make_tuple(live.placed, live.x, live.y, live.width, live.height),
                  std::make_tuple(p.placed, p.x, p.y, p.width, p.height)) << p.position << " " << p.size;
    }
}

using EnabledNames = EmptyFilterTable;

TEST_F(EnabledNames, AreReadTrimmedAndCheckedAndJoinedBackInOrderAsFarAsWholeNamesFit)
{
    // Twelve names of nineteen characters with their commas take 239 of the 255.
    RegisterBuiltinFilters();
    const ControlCube black = {};
    for (const char* name : {"deutanopia", "fifteen_chars_x", "sixteen_chars_xy", "t"})
        AddFilter(name, name, FilterKind::Custom, black);
    std::string twelve;
    for (int i = 10; i < 22; ++i) {
        const std::string name = "long_filter_name_" + std::to_string(i);
        AddFilter(name.c_str(), name.c_str(), FilterKind::Custom, black);
        twelve += (i > 10 ? "," : "") + name;
    }
    const std::string overlong(256, 'x');
    const struct { std::string text, joined; int count; } cases[] = {
        {" _hue_brg ,, _HUE_BRG, \t_normal\r\n", "_hue_brg,_normal", 2},
        {"_grayscale,nosuch,t,", "_grayscale,t", 2},
        {overlong + ",t," + overlong.substr(1), "t", 1},
        {"", "_normal,deutanopia,_hue_gbr,_hue_brg", 4},  // the defaults that exist
        {",, ,nosuch", "_normal,deutanopia,_hue_gbr,_hue_brg", 4},
        {twelve + ",fifteen_chars_x", twelve + ",fifteen_chars_x", 13},  // 255 exactly
        {twelve + ",sixteen_chars_xy,t", twelve, 12},  // no later, shorter name in its place
    };
    for (const auto& c : cases) {
        enabledList.count = 0;
        EnableFiltersFromText(c.text.c_str());
        char text[kSettingsTextSize];
        std::memset(text, 'x', sizeof text);
        EXPECT_EQ(JoinEnabledFilterNames(text, sizeof text), c.count) << c.text;
        EXPECT_EQ(text, c.joined) << c.text;
    }
    // Buffers with room for the first name exactly, for less, for nothing but the end, and
    // for nothing at all (left as it was).
    enabledList.count = 0;
    EnableFiltersFromText("_normal,t");
    for (const size_t size : {size_t(8), size_t(7), size_t(1), size_t(0)}) {
        char text[9] = "xxxxxxxx";
        EXPECT_EQ(JoinEnabledFilterNames(text, size), size == 8 ? 1 : 0) << size;
        EXPECT_STREQ(text, size == 8 ? "_normal" : size == 0 ? "xxxxxxxx" : "") << size;
    }
}
