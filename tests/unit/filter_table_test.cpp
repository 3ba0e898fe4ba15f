// The filter table's acceptance rules, the built-in filters and the enabled list.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filter/filter_table.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/filter_fixture.h"

namespace {

// A valid set of control colours for custom filters (the identity cube's).
std::vector<ColorRef> SomeControlColors()
{
    std::vector<ColorRef> colors(kControlCubeSize);
    for (int i = 0; i < kControlCubeSize; ++i)
        colors[i] = MakeColorRef(51 * (i / 36), 51 * (i / 6 % 6), 51 * (i % 6));
    return colors;
}

int AddCustom(const char* name, const char* displayName)
{
    static const std::vector<ColorRef> colors = SomeControlColors();
    return AddFilter(name, displayName, FilterKind::Custom, colors.data());
}

std::vector<std::string> EnabledNames()
{
    std::vector<std::string> names;
    for (int i = 0; i < enabledList.count; ++i)
        names.push_back(enabledList.entries[i]->name);
    return names;
}

using FilterTableTest = EmptyFilterTable;

TEST_F(FilterTableTest, BuiltinsComeFirstInOrderWithTheirControlColors)
{
    RegisterBuiltinFilters();
    ASSERT_EQ(filterTable.count, 4);

    struct Expected {
        const char* name;
        const char* displayName;
        FilterKind kind;
        ColorRef atLevels123;  // control colour for input red 51, green 102, blue 153
    };
    const Expected expected[] = {
        {"_normal", "normal", FilterKind::Identity, 0x00996633},
        {"_grayscale", "grayscale", FilterKind::Grayscale, 0x005C5C5C},
        {"_hue_gbr", "hue(RGB=>GBR)", FilterKind::HueGbr, 0x00339966},
        {"_hue_brg", "hue(RGB=>BRG)", FilterKind::HueBrg, 0x00663399},
    };
    for (int i = 0; i < 4; ++i) {
        const FilterRecord& record = filterTable.records[i];
        SCOPED_TRACE(expected[i].name);
        EXPECT_STREQ(record.name, expected[i].name);
        EXPECT_STREQ(record.displayName, expected[i].displayName);
        EXPECT_EQ(record.kind, expected[i].kind);
        EXPECT_EQ(record.controlCube[ControlCubeIndex(1, 2, 3)], expected[i].atLevels123);
    }
}

TEST_F(FilterTableTest, GrayscaleControlColorsAreWeightedAndReachWhite)
{
    RegisterBuiltinFilters();
    const FilterRecord& gray = filterTable.records[1];
    // (77R + 150G + 29B) div 256, computed by hand for a few lattice points.
    EXPECT_EQ(gray.controlCube[ControlCubeIndex(5, 5, 5)], 0x00FFFFFFu);
    EXPECT_EQ(gray.controlCube[ControlCubeIndex(5, 0, 0)], 0x004C4C4Cu);  // 19635/256 = 76
    EXPECT_EQ(gray.controlCube[ControlCubeIndex(0, 5, 0)], 0x00959595u);  // 38250/256 = 149
    EXPECT_EQ(gray.controlCube[ControlCubeIndex(0, 0, 5)], 0x001C1C1Cu);  // 7395/256 = 28
    for (int i = 0; i < kControlCubeSize; ++i)
        EXPECT_EQ(gray.controlCube[i] >> 24, 0u) << "index " << i;
}

TEST_F(FilterTableTest, NameAndDisplayNameLengthLimits)
{
    const std::string name19(19, 'n'), name20(20, 'n');
    const std::string display39(39, 'd'), display40(40, 'd');
    struct Case {
        std::string name, displayName;
        bool accepted;
    };
    const Case cases[] = {
        {name19, "nineteen", true},   {name20, "twenty", false},
        {"d39", display39, true},     {"d40", display40, false},
        {"", "empty name", false},    {"emptydisplay", "", false},
        {"x", "shortest", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " / " + c.displayName);
        EXPECT_EQ(AddCustom(c.name.c_str(), c.displayName.c_str()) != 0, c.accepted);
    }
    EXPECT_EQ(filterTable.count, 3);
    EXPECT_EQ(AddFilter(nullptr, "absent name", FilterKind::Custom, SomeControlColors().data()), 0);
    EXPECT_EQ(AddFilter("absentdisplay", nullptr, FilterKind::Custom, SomeControlColors().data()), 0);
    EXPECT_EQ(filterTable.count, 3);
}

TEST_F(FilterTableTest, KindsOutsideOneToFiveAndCustomWithoutColorsAreRefused)
{
    const std::vector<ColorRef> colors = SomeControlColors();
    EXPECT_EQ(AddFilter("zero", "zero", static_cast<FilterKind>(0), colors.data()), 0);
    EXPECT_EQ(AddFilter("six", "six", static_cast<FilterKind>(6), colors.data()), 0);
    EXPECT_EQ(AddFilter("nocolors", "no colours", FilterKind::Custom, nullptr), 0);
    EXPECT_EQ(filterTable.count, 0);
    // The built-in kinds need no colours, whatever the name.
    EXPECT_NE(AddFilter("gray2", "another grey", FilterKind::Grayscale, nullptr), 0);
}

TEST_F(FilterTableTest, BuiltinNameOnlyRenamesTheBuiltin)
{
    RegisterBuiltinFilters();
    std::vector<ColorRef> black(kControlCubeSize, 0);
    EXPECT_NE(AddFilter("_NORMAL", "Unfiltered", FilterKind::Custom, black.data()), 0);

    ASSERT_EQ(filterTable.count, 4);
    const FilterRecord& normal = filterTable.records[0];
    EXPECT_STREQ(normal.name, "_normal");
    EXPECT_STREQ(normal.displayName, "Unfiltered");
    EXPECT_EQ(normal.kind, FilterKind::Identity);
    EXPECT_EQ(normal.controlCube[ControlCubeIndex(1, 2, 3)], 0x00996633u);
    EXPECT_EQ(normal.colorCube[CubeCellIndex(15, 15, 15)], 0x00FFFFFFu);
}

TEST_F(FilterTableTest, RenamedBuiltinMayShareADisplayName)
{
    RegisterBuiltinFilters();
    EXPECT_NE(AddFilter("_hue_brg", "grayscale", FilterKind::HueBrg, nullptr), 0);
    EXPECT_STREQ(filterTable.records[1].displayName, "grayscale");
    EXPECT_STREQ(filterTable.records[3].displayName, "grayscale");
    // The first in table order is found.
    EXPECT_EQ(FindFilterByDisplayName("GRAYSCALE"), &filterTable.records[1]);
}

TEST_F(FilterTableTest, DuplicateNamesAreRefusedIgnoringCase)
{
    EXPECT_NE(AddCustom("foo", "Foo filter"), 0);
    EXPECT_EQ(AddCustom("Foo", "Other display"), 0);
    EXPECT_EQ(AddCustom("foo", "Third display"), 0);
    EXPECT_EQ(filterTable.count, 1);
    EXPECT_STREQ(filterTable.records[0].name, "foo");  // the first spelling stays
}

TEST_F(FilterTableTest, DuplicateDisplayNamesAreRefusedAsTheyStandAtThatMoment)
{
    RegisterBuiltinFilters();
    EXPECT_EQ(AddCustom("mine", "Normal"), 0);  // _normal shows "normal"
    EXPECT_NE(AddFilter("_normal", "Plain", FilterKind::Identity, nullptr), 0);
    EXPECT_NE(AddCustom("mine", "Normal"), 0);  // now "normal" is free
    EXPECT_EQ(filterTable.count, 5);
}

TEST_F(FilterTableTest, OnlyOneHundredTwentyEightFitButRenamingStillWorks)
{
    RegisterBuiltinFilters();
    for (int i = 4; i < kMaxFilters; ++i) {
        const std::string name = "f" + std::to_string(i);
        ASSERT_NE(AddCustom(name.c_str(), name.c_str()), 0) << name;
    }
    ASSERT_EQ(filterTable.count, kMaxFilters);
    EXPECT_EQ(AddCustom("onemore", "one more"), 0);
    EXPECT_EQ(filterTable.count, kMaxFilters);
    EXPECT_NE(AddFilter("_grayscale", "still renamable", FilterKind::Grayscale, nullptr), 0);
    EXPECT_STREQ(filterTable.records[1].displayName, "still renamable");
}

TEST_F(FilterTableTest, LookupsIgnoreAsciiCaseOnlyAndFindNothingForEmptyText)
{
    RegisterBuiltinFilters();
    EXPECT_EQ(FindFilterByName("_HUE_GBR"), &filterTable.records[2]);
    EXPECT_EQ(FindFilterByDisplayName("HUE(rgb=>gbr)"), &filterTable.records[2]);
    EXPECT_EQ(FindFilterByName(""), nullptr);
    EXPECT_EQ(FindFilterByName(nullptr), nullptr);
    EXPECT_EQ(FindFilterByDisplayName(""), nullptr);
    EXPECT_EQ(FindFilterByDisplayName(nullptr), nullptr);
    EXPECT_EQ(FindFilterByName("_normal "), nullptr);

    // Bytes above 0x7F are not letters: no folding beyond A-Z.
    EXPECT_NE(AddCustom("caf\xC9", "upper"), 0);
    EXPECT_EQ(FindFilterByName("caf\xE9"), nullptr);
    EXPECT_NE(FindFilterByName("CAF\xC9"), nullptr);
}

TEST_F(FilterTableTest, EnableFilterByNameAppendsEachRecordOnce)
{
    RegisterBuiltinFilters();
    EXPECT_NE(EnableFilterByName("_Normal"), 0);
    EXPECT_EQ(EnableFilterByName("_normal"), 0);
    EXPECT_EQ(EnableFilterByName("nosuchfilter"), 0);
    EXPECT_EQ(EnableFilterByName(""), 0);
    EXPECT_NE(EnableFilterByName("_HUE_BRG"), 0);
    EXPECT_EQ(EnabledNames(), (std::vector<std::string>{"_normal", "_hue_brg"}));

    EXPECT_NE(IsFilterEnabled(&filterTable.records[0]), 0);
    EXPECT_EQ(IsFilterEnabled(&filterTable.records[1]), 0);
    EXPECT_NE(IsFilterEnabled(&filterTable.records[3]), 0);
    // A record that only looks the same is not the listed one.
    FilterRecord lookalike = filterTable.records[0];
    EXPECT_EQ(IsFilterEnabled(&lookalike), 0);
}

TEST_F(FilterTableTest, AddingFiltersTakesNothingFromTheHeap)
{
    const long start = AllocationCount();
    const std::vector<ColorRef> colors = SomeControlColors();
    ASSERT_GT(AllocationCount(), start) << "the counter does not see allocations";

    const long before = AllocationCount();
    RegisterBuiltinFilters();
    AddFilter("custom", "Custom", FilterKind::Custom, colors.data());
    EnableFilterByName("custom");
    EXPECT_EQ(AllocationCount(), before);
}

}  // namespace
