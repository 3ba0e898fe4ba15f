// The colour cube and the filter table: the expansion at thirds, the built-in filters, the rules
// for accepting a filter, and the trimming of white space.

#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "filter/text.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/filter_fixture.h"

TEST(ExpandColorCube, FillsThirdsBlueThenGreenThenRed)
{
    // Three control colours on black, too far apart to meet; each cell worked out by hand.
    const auto record = std::make_unique<FilterRecord>();  // AddressSanitizer faults past it
    record->controlCube[ControlCubeIndex(1, 1, 1)] = 0xFFFFFF;
    record->controlCube[ControlCubeIndex(0, 4, 0)] = 0x000005;
    record->controlCube[ControlCubeIndex(5, 5, 5)] = 0x00FF00;
    ExpandColorCube(*record);
    const struct { int red, green, blue; ColorRef cell; } cases[] = {
        {3, 3, 1, 0x555555},    // white, blue from 0 to 255: 255 / 3 = 85, 2 * 255 / 3 = 170
        {3, 2, 2, 0x717171},    // then green from 0 to 170: 340 / 3 = 113
        {3, 1, 1, 0x1C1C1C},    // from 0 to 85: 28
        {2, 2, 2, 0x4B4B4B},    // then red from 0 to 113: 226 / 3 = 75
        {1, 1, 1, 0x090909},    // from 0 to 28: 9
        {0, 12, 1, 0x000003},   // red 5, blue from 5 to 0: 10 / 3 = 3
        {0, 10, 1, 0x000001},   // then green from 0 to 3: 1 (green before blue gives 0)
        {14, 15, 15, 0x00AA00}, // green 255, red from 0 to 255: 170
    };
    for (const auto& c : cases)
        EXPECT_EQ(record->colorCube[CubeCellIndex(c.red, c.green, c.blue)], c.cell)
            << "cell " << c.red << "," << c.green << "," << c.blue;
}

using Filters = EmptyFilterTable;

TEST_F(Filters, BuiltinFiltersGiveTheirColours)
{
    RegisterBuiltinFilters();
    // _normal, _grayscale, _hue_gbr, _hue_brg. Linear in each level but grey, so every cell
    // is an exact multiple of 17.
    const FilterRecord* builtins = filterTable.records;
    for (int i = 0; i < kColorCubeSize; ++i) {
        const unsigned r = 17 * (i / 256), g = 17 * (i / 16 % 16), b = 17 * (i % 16);
        ASSERT_EQ(builtins[0].colorCube[i], MakeColorRef(r, g, b)) << "cell " << i;
        ASSERT_EQ(builtins[2].colorCube[i], MakeColorRef(g, b, r)) << "cell " << i;
        ASSERT_EQ(builtins[3].colorCube[i], MakeColorRef(b, r, g)) << "cell " << i;
    }
    // Grey (77R + 150G + 29B) / 256 at the lattice, by hand through the thirds elsewhere.
    const FilterRecord& gray = builtins[1];
    const struct { int red, green, blue; unsigned gray; } cells[] = {
        {15, 0, 0, 76}, {0, 15, 0, 149}, {0, 0, 15, 28},
        {12, 6, 3, 126}, {1, 1, 1, 16},  {1, 2, 3, 30},
    };
    for (const auto& c : cells)
        EXPECT_EQ(gray.colorCube[CubeCellIndex(c.red, c.green, c.blue)], c.gray * 0x010101u)
            << "cell " << c.red << "," << c.green << "," << c.blue;
    for (unsigned r = 0; r <= 255; r += 51)  // every lattice cell by the weights themselves
        for (unsigned g = 0; g <= 255; g += 51)
            for (unsigned b = 0; b <= 255; b += 51)
                ASSERT_EQ(LookupColor(MakeColorRef(r, g, b), gray), (77 * r + 150 * g + 29 * b) / 256 * 0x010101u)
                    << r << "," << g << "," << b;
    EXPECT_EQ(LookupColor(MakeColorRef(200, 100, 50), gray), 126 * 0x010101u);
}

TEST_F(Filters, AddFilterTakesNewValidFiltersWhileThereIsRoomAndRenamesBuiltins)
{
    const long before = AllocationCount();
    RegisterBuiltinFilters();
    const ControlCube black = {};
    const FilterKind custom = FilterKind::Custom;
    const struct {
        const char *name, *displayName;
        FilterKind kind;
        const ColorRef* colors;
        int result;
    } steps[] = {
        {"zzzzzzzzzzzzzzzzzzz", "nineteen", custom, black, 1},
        {"zzzzzzzzzzzzzzzzzzzz", "twenty", custom, black, 0},
        {"d39", "ddddddddddddddddddddddddddddddddddddddd", custom, black, 1},
        {"d40", "dddddddddddddddddddddddddddddddddddddddd", custom, black, 0},
        {"", "empty name", custom, black, 0},          {"empty", "", custom, black, 0},
        {nullptr, "no name", custom, black, 0},        {"nodisplay", nullptr, custom, black, 0},
        {"kind0", "kind 0", FilterKind(0), black, 0},  {"kind6", "kind 6", FilterKind(6), black, 0},
        {"nocolours", "no colours", custom, nullptr, 0},
        // The settings keep names joined by commas and trimmed: these could not come back.
        {"a,b", "comma", custom, black, 0},   {"y ", "blank after", custom, black, 0},
        {"\ty", "tab before", custom, black, 0}, {"x y", "blank inside", custom, black, 1},
        {"gray", "grey", FilterKind::Grayscale, nullptr, 1},
        {"ZZZZZZZZZZZZZZZZZZZ", "name taken", custom, black, 0},  // only A-Z fold
        {"caf\xC9", "upper", custom, black, 1},   {"caf\xE9", "lower", custom, black, 1},
        {"shown", "NORMAL", custom, black, 0},                      // display name taken
        {"_NORMAL", "Plain", custom, black, 1},                     // kind and colours stay
        {"shown", "Normal", custom, black, 1},                      // free now
        {"_hue_brg", "GRAYSCALE", FilterKind::HueBrg, nullptr, 1},  // may share it
    };
    for (const auto& s : steps)  // a passing check allocates nothing either
        EXPECT_EQ(AddFilter(s.name, s.displayName, s.kind, s.colors), s.result) << s.displayName;
    EXPECT_EQ(AllocationCount(), before) << "the table takes nothing from the heap";
    EXPECT_EQ(filterTable.count, 11);
    const FilterRecord& normal = filterTable.records[0];
    EXPECT_EQ(std::string(normal.name) + "/" + normal.displayName, "_normal/Plain");
    EXPECT_EQ(normal.colorCube[kColorCubeSize - 1], 0xFFFFFFu);
    EXPECT_STREQ(filterTable.records[4].name, "zzzzzzzzzzzzzzzzzzz");
    EXPECT_EQ(FindFilterByName(nullptr), nullptr);
    EXPECT_EQ(FindFilterByDisplayName(nullptr), nullptr);
    EXPECT_EQ(FindFilterByDisplayName("grayscale"), &filterTable.records[1]);  // the first
    for (int i = filterTable.count; i < kMaxFilters; ++i) {
        const std::string name = std::to_string(i);
        ASSERT_EQ(AddFilter(name.c_str(), name.c_str(), custom, black), 1);
    }
    EXPECT_EQ(AddFilter("onemore", "one more", custom, black), 0);  // the table is full
    EXPECT_EQ(AddFilter("_grayscale", "renamable", FilterKind::Grayscale, nullptr), 1);
}

TEST(TrimWhiteSpace, TakesTheSixWhiteSpacesFromBothEnds)
{
    const struct { const char *text, *trimmed; } texts[] = {
        {"  name  ", "name"}, {"\t\n\v\f\r name \r\n", "name"}, {"in side", "in side"},
        {"x", "x"},           {"", ""},                         {"   ", "   "},
        {"\xA0" "a\xA0", "\xA0" "a\xA0"},  // no-break spaces stay
    };
    for (const auto& t : texts) {
        // An exact-size copy: AddressSanitizer faults on a read past the terminator.
        const auto text = std::make_unique<char[]>(std::strlen(t.text) + 1);
        std::strcpy(text.get(), t.text);
        TrimWhiteSpace(text.get());
        EXPECT_STREQ(text.get(), t.trimmed) << "text \"" << t.text << "\"";
    }
    TrimWhiteSpace(nullptr);
}
