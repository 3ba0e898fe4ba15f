// The Option dialog's two filter lists and the rule for the buttons beside its list.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/option_lists.h"
#include "tests/support/filter_fixture.h"

namespace {

std::string Names(const EnabledList& list)
{
    std::string names;
    for (int i = 0; i < list.count; ++i)
        names += (i > 0 ? "," : "") + std::string(list.entries[i]->name);
    return names;
}

// The built-in filters, with the enabled list given by names, and the dialog opened.
class OptionLists : public EmptyFilterTable {
protected:
    static void Open(const std::vector<const char*>& enabled)
    {
        ClearFilters();
        RegisterBuiltinFilters();
        for (const char* name : enabled)
            EnableFilterByName(name);
        BuildOptionLists();
    }
};

TEST_F(OptionLists, OpenWithTheEnabledListAndTheOtherFiltersInTableOrder)
{
    Open({"_hue_brg", "_normal"});
    EXPECT_EQ(Names(workingList), "_hue_brg,_normal");
    EXPECT_EQ(Names(availableList), "_grayscale,_hue_gbr");
}

TEST_F(OptionLists, MovesKeepEveryFilterInExactlyOneList)
{
    Open({"_normal", "_hue_gbr", "_hue_brg"});
    struct Step {
        const char* move;
        int (*operation)(int);
        int index;
        int result;
        const char* working;
        const char* available;
    };
    const Step steps[] = {
        {"disable the middle", DisableEntry, 1, 1, "_normal,_hue_brg", "_grayscale,_hue_gbr"},
        {"enable the first", EnableEntry, 0, 1, "_normal,_hue_brg,_grayscale", "_hue_gbr"},
        {"disable the first", DisableEntry, 0, 1, "_hue_brg,_grayscale", "_hue_gbr,_normal"},
        {"swap the two", SwapWorkingEntries, 0, 1, "_grayscale,_hue_brg", "_hue_gbr,_normal"},
        {"swap past the end", SwapWorkingEntries, 1, 0, "_grayscale,_hue_brg", "_hue_gbr,_normal"},
        {"enable no such row", EnableEntry, 2, 0, "_grayscale,_hue_brg", "_hue_gbr,_normal"},
        {"enable the last", EnableEntry, 1, 1, "_grayscale,_hue_brg,_normal", "_hue_gbr"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.move);
        EXPECT_EQ(step.operation(step.index), step.result);
        EXPECT_EQ(Names(workingList), step.working);
        EXPECT_EQ(Names(availableList), step.available);
    }
    EXPECT_EQ(Names(enabledList), "_normal,_hue_gbr,_hue_brg") << "nothing applied before OK";
    ApplyWorkingList();
    EXPECT_EQ(Names(enabledList), "_grayscale,_hue_brg,_normal");
}

TEST_F(OptionLists, TheSelectedRowSurvivesARefillWhereItCan)
{
    struct Case {
        int rowBefore, count, rowAfter;
    };
    const Case cases[] = {{1, 3, 1}, {2, 2, 1}, {0, 0, -1}, {-1, 3, -1}, {5, 3, 2}};
    for (const Case& c : cases)
        EXPECT_EQ(RowAfterRefill(c.rowBefore, c.count), c.rowAfter)
            << "row " << c.rowBefore << " of " << c.count;
}

std::string Describe(const ListButtonStates& states)
{
    const char* const names[] = {"other", "up", "down", "disable", "enable", "no splash"};
    return std::string(states.upEnabled ? "U" : "-") + (states.downEnabled ? "D" : "-") +
           (states.disableEnabled ? "I" : "-") + (states.enableEnabled ? "E" : "-") +
           " focus " + names[static_cast<int>(states.focus)];
}

TEST_F(OptionLists, ButtonsAreGreyedWhereTheyCannotActAndTheFocusLeavesThemFirst)
{
    using C = OptionControl;
    struct Case {
        std::vector<const char*> enabled;
        int row;
        OptionControl focused;
        const char* expected;  // Up, Down, dIsable, Enable usable; where the focus goes
    };
    const std::vector<const char*> all = {"_normal", "_grayscale", "_hue_gbr", "_hue_brg"};
    const Case cases[] = {
        {{"_normal", "_hue_gbr", "_hue_brg"}, 0, C::Other, "-D-E focus other"},
        {{"_normal", "_hue_gbr", "_hue_brg"}, 1, C::Other, "UDIE focus other"},
        {{"_normal", "_hue_gbr", "_hue_brg"}, 2, C::Down, "U-IE focus disable"},
        {{"_hue_gbr", "_normal", "_hue_brg"}, 0, C::Up, "-DIE focus down"},
        {{"_hue_gbr", "_normal"}, 1, C::Disable, "U--E focus enable"},
        {{"_hue_gbr", "_normal"}, 1, C::Down, "U--E focus enable"},
        {all, 3, C::Enable, "U-I- focus no splash"},
        {all, 1, C::Up, "UDI- focus up"},
        {all, 0, C::Up, "-D-- focus down"},
        {{"_normal"}, 0, C::Up, "---E focus enable"},
        {{"_hue_gbr"}, 0, C::Up, "--IE focus disable"},
        {{}, -1, C::Down, "---E focus enable"},
        {{"_hue_gbr"}, -1, C::Disable, "---E focus enable"},
    };
    for (const Case& c : cases) {
        Open(c.enabled);
        EXPECT_EQ(Describe(DecideListButtons(c.row, c.focused)), c.expected)
            << "[" << Names(workingList) << "] row " << c.row;
    }
    // The identity filter alone, nothing to enable: the focus passes all four buttons.
    ClearFilters();
    AddFilter("_normal", "normal", FilterKind::Identity, nullptr);
    EnableFilterByName("_normal");
    BuildOptionLists();
    EXPECT_EQ(Describe(DecideListButtons(0, C::Up)), "---- focus no splash");
}

}  // namespace
