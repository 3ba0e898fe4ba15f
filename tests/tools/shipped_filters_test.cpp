// The filter files in data/filter/ as the program reads them: their names in every
// language they carry, and how faithfully they reproduce their models. The recorded
// figures are those in the README; a file that measures worse has regressed.

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "filter/filter_file.h"
#include "filter/filter_table.h"
#include "tests/support/filter_fixture.h"
#include "tools/filter_fidelity.h"
#include "tools/shipped_filters.h"

namespace {

// Goals for every shipped file, against the model it implements.
const double kGridMeanGoal = 1.75;
const double kGridP95Goal = 4.1;
const double kChartMeanGoal = 1.6;
const double kChartMaxGoal = 4.5;

struct Recorded {
    const char* fileName;
    FidelityFigures figures;  // as measured when the file was made (README)
    bool meetsGridMeanGoal;
};
// Tritanomaly misses the grid-mean goal, and no file could meet it: Machado's model at 0.6
// keeps most colour differences, so 16 levels cost it nearly as much as the identity, and
// even a cube whose 4096 cells were each given their best colour scores 1.851 on the grid
// (tools/cube_bound.h; the identity's floor is 1.973).
const Recorded kRecorded[] = {
    {"protanopia.plf", {1.703, 4.027, 1.229, 3.887}, true},
    {"deutanopia.plf", {1.631, 3.817, 1.225, 3.827}, true},
    {"tritanoptia.plf", {1.712, 3.753, 1.437, 3.986}, true},
    {"protanomaly.plf", {1.748, 3.845, 1.306, 3.956}, true},
    {"deuteranomaly.plf", {1.688, 3.698, 1.285, 3.622}, true},
    {"tritanomaly.plf", {1.923, 4.080, 1.425, 3.694}, false},
};

class ShippedFilterTest : public EmptyFilterTable {
protected:
    // Reads a shipped file as the program would for a user of `locale`. Null when the
    // file added no filter.
    const FilterRecord* Load(const char* fileName, uint32_t locale)
    {
        const std::string path = std::string(PL_FILTER_DATA) + "/" + fileName;
        std::FILE* file = std::fopen(path.c_str(), "r");
        EXPECT_NE(file, nullptr) << path;
        if (file == nullptr)
            return nullptr;
        const int before = filterTable.count;
        EXPECT_NE(ReadFilterFile(file, fileName, locale), 0) << path;
        std::fclose(file);
        return filterTable.count > before ? &filterTable.records[filterTable.count - 1] : nullptr;
    }
};

TEST_F(ShippedFilterTest, DefaultListNamesAreAmongTheFiles)
{
    // The default enabled list names these three without an underscore, spelled so.
    for (const char* name : {"protanopia", "deutanopia", "tritanoptia"}) {
        bool found = false;
        for (const ShippedFilter& shipped : kShippedFilters)
            found = found || std::string(shipped.fileName) == std::string(name) + ".plf";
        EXPECT_TRUE(found) << name;
    }
}

TEST_F(ShippedFilterTest, EveryLanguageSeesAllSixUnderDistinctNames)
{
    const uint32_t locales[] = {1033, 1031, 1036, 1034, 1041, 2057};
    for (uint32_t locale : locales) {
        ClearFilters();
        RegisterBuiltinFilters();
        for (const ShippedFilter& shipped : kShippedFilters) {
            const FilterRecord* record = Load(shipped.fileName, locale);
            // AddFilter refuses a display name that another filter already shows
            // (ignoring case) or that has 40 or more characters.
            ASSERT_NE(record, nullptr) << shipped.fileName << " for locale " << locale;
            std::string expected = shipped.displayName;
            for (const LocalizedName& name : shipped.localized)
                if (name.locale == locale)
                    expected = name.text;
            EXPECT_EQ(std::string(record->displayName), expected)
                << shipped.fileName << " for locale " << locale;
            EXPECT_EQ(record->kind, FilterKind::Custom);
        }
        EXPECT_EQ(filterTable.count, 4 + kShippedFilterCount) << "locale " << locale;
    }
}

TEST_F(ShippedFilterTest, JapaneseNamesAreWholeCodePage932Characters)
{
    for (const ShippedFilter& shipped : kShippedFilters) {
        for (const LocalizedName& name : shipped.localized) {
            if (name.locale != 1041)
                continue;
            const unsigned char* p = reinterpret_cast<const unsigned char*>(name.text);
            int doubleByte = 0;
            while (*p != 0) {
                const bool lead = (*p >= 0x81 && *p <= 0x9F) || (*p >= 0xE0 && *p <= 0xFC);
                if (!lead) {
                    EXPECT_LT(*p, 0x80) << shipped.fileName;  // no half-width katakana
                    ++p;
                    continue;
                }
                const unsigned trail = p[1];
                EXPECT_TRUE((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC))
                    << shipped.fileName << ": lead byte without a trail byte";
                if (trail == 0)
                    break;
                p += 2;
                ++doubleByte;
            }
            EXPECT_GE(doubleByte, 4) << shipped.fileName;
        }
    }
}

TEST_F(ShippedFilterTest, EachFileComesCloseToItsModelThroughTheProgramsOwnLookup)
{
    ASSERT_EQ(sizeof kRecorded / sizeof kRecorded[0], static_cast<size_t>(kShippedFilterCount));
    RegisterBuiltinFilters();
    for (int i = 0; i < kShippedFilterCount; ++i) {
        const ShippedFilter& shipped = kShippedFilters[i];
        const Recorded& recorded = kRecorded[i];
        ASSERT_STREQ(shipped.fileName, recorded.fileName);
        const FilterRecord* record = Load(shipped.fileName, 1033);
        ASSERT_NE(record, nullptr) << shipped.fileName;
        const FidelityFigures figures = MeasureFidelity(*record, shipped.model);
        std::printf("| %s | %.3f | %.3f | %.3f | %.3f |\n", shipped.fileName, figures.gridMean,
                    figures.gridP95, figures.chartMean, figures.chartMax);

        SCOPED_TRACE(shipped.fileName);
        const double slack = 0.001;  // the recorded figures are rounded to three decimals
        EXPECT_LE(figures.gridMean, recorded.figures.gridMean + slack);
        EXPECT_LE(figures.gridP95, recorded.figures.gridP95 + slack);
        EXPECT_LE(figures.chartMean, recorded.figures.chartMean + slack);
        EXPECT_LE(figures.chartMax, recorded.figures.chartMax + slack);
        if (recorded.meetsGridMeanGoal) {
            EXPECT_LE(figures.gridMean, kGridMeanGoal);
        }
        EXPECT_LE(figures.gridP95, kGridP95Goal);
        EXPECT_LE(figures.chartMean, kChartMeanGoal);
        EXPECT_LE(figures.chartMax, kChartMaxGoal);
    }
}

TEST(FilterFidelity, TheIdentityWrittenAsAFileScoresTheQuantizationAlone)
{
    // The identity's control colours expand to exactly 17 * level in every cell, so the
    // figures are the cost of 16 levels alone: about 2 CIEDE2000 on average, and never more
    // than the difference between a grid value and the nearest multiple of 17.
    FilterRecord record{};
    for (int a = 0; a < 6; ++a)
        for (int b = 0; b < 6; ++b)
            for (int c = 0; c < 6; ++c)
                record.controlCube[ControlCubeIndex(a, b, c)] = MakeColorRef(51 * a, 51 * b, 51 * c);
    ExpandColorCube(record);
    const CvdModel identity = {CvdModelKind::Machado2009, Deficiency::Protan, 0.0};
    const FidelityFigures figures = MeasureFidelity(record, identity);
    EXPECT_GT(figures.gridMean, 1.8);
    EXPECT_LT(figures.gridMean, 2.2);
    // Grey 0x80 shows as 0x88. By hand: L* 53.59 against 56.71, and CIEDE2000 divides the
    // difference by S_L = 1.058 at L* 55.15: 2.95.
    const ColorRef grey = LookupColor(0x00808080, record);
    EXPECT_EQ(grey, 0x00888888u);
    EXPECT_NEAR(Ciede2000(ColorRefLab(grey), ColorRefLab(0x00808080)), 2.95, 0.01);
}

}  // namespace
