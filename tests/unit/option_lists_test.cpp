// The Option dialog's two filter lists, the buttons beside its list and where the focus goes.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/option_lists.h"
#include "tests/support/filter_fixture.h"

static std::string Names(const EnabledList& list)
{
    std::string names;
    for (int i = 0; i < list.count; ++i)
        names += (i > 0 ? "," : "") + std::string(list.entries[i]->name);
    return names;
}

// The built-in filters with these enabled, and the dialog opened.
static void Open(const std::vector<const char*>& enabled)
{
    EmptyFilterTable::ResetToBuiltins();
    for (const char* name : enabled)
        EnableFilterByName(name);
    BuildOptionLists();
}

using OptionLists = EmptyFilterTable;

TEST_F(OptionLists, MovesKeepEveryFilterInExactlyOneListUntilOk)
{
    Open({"_normal", "_hue_gbr", "_hue_brg"});
    const struct {
        int (*move)(int);
        int index, result;
        const char *working, *available;
    } steps[] = {
        {DisableEntry, 1, 1, "_normal,_hue_brg", "_grayscale,_hue_gbr"},
        {EnableEntry, 0, 1, "_normal,_hue_brg,_grayscale", "_hue_gbr"},
        {DisableEntry, 0, 1, "_hue_brg,_grayscale", "_hue_gbr,_normal"},
        {SwapWorkingEntries, 0, 1, "_grayscale,_hue_brg", "_hue_gbr,_normal"},
        {SwapWorkingEntries, 1, 0, "_grayscale,_hue_brg", "_hue_gbr,_normal"},
        {SwapWorkingEntries, -1, 0, "_grayscale,_hue_brg", "_hue_gbr,_normal"},
        {EnableEntry, 2, 0, "_grayscale,_hue_brg", "_hue_gbr,_normal"},
        {DisableEntry, -1, 0, "_grayscale,_hue_brg", "_hue_gbr,_normal"},
        {EnableEntry, 1, 1, "_grayscale,_hue_brg,_normal", "_hue_gbr"},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(step.move(step.index), step.result) << "towards " << step.working;
        EXPECT_EQ(Names(workingList) + " | " + Names(availableList),
                  step.working + std::string(" | ") + step.available);
    }
    EXPECT_EQ(Names(enabledList), "_normal,_hue_gbr,_hue_brg");
    ApplyWorkingList();
    EXPECT_EQ(Names(enabledList), "_grayscale,_hue_brg,_normal");

    // Every filter not enabled is offered, the table's first one too.
    Open({"_hue_gbr"});
    EXPECT_EQ(Names(workingList) + " | " + Names(availableList), "_hue_gbr | _normal,_grayscale,_hue_brg");
}

TEST_F(OptionLists, ButtonsAreGreyedWhereTheyCannotActAndTheFocusLeavesThemFirst)
{
    using C = OptionControl;
    const std::vector<const char*> all = {"_normal", "_grayscale", "_hue_gbr", "_hue_brg"};
    const std::vector<const char*> three = {"_normal", "_hue_gbr", "_hue_brg"};
    const std::vector<const char*> two = {"_hue_gbr", "_normal"};
    // Which of Up, Down, dIsable and Enable can act, and where the focus goes.
    const struct {
        std::vector<const char*> enabled;
        int row;
        C focused;
        const char* expected;
    } cases[] = {
        {three, 0, C::Other, "-D-E other"},     {three, 1, C::Other, "UDIE other"},
        {three, 2, C::Down, "U-IE disable"},    {two, 0, C::Up, "-DIE down"},
        {two, 1, C::Disable, "U--E enable"},    {two, 1, C::Down, "U--E enable"},
        {all, 3, C::Enable, "U-I- no splash"},  {all, 1, C::Up, "UDI- up"},
        {all, 0, C::Up, "-D-- down"},           {all, 4, C::Disable, "---- no splash"},
        {{"_normal"}, 0, C::Up, "---E enable"}, {{"_hue_gbr"}, 0, C::Up, "--IE disable"},
        {{}, -1, C::Down, "---E enable"},       {{"_hue_gbr"}, -1, C::Disable, "---E enable"},
    };
    const char* const names[] = {"other", "up", "down", "disable", "enable", "no splash"};
    for (const auto& c : cases) {
        Open(c.enabled);
        const ListButtonStates got = DecideListButtons(c.row, c.focused);
        EXPECT_EQ(std::string(got.upEnabled ? "U" : "-") + (got.downEnabled ? "D" : "-") +
                      (got.disableEnabled ? "I" : "-") + (got.enableEnabled ? "E" : "-") + " " +
                      names[static_cast<int>(got.focus)],
                  c.expected) << "[" << Names(workingList) << "] row " << c.row;
    }
    // After a refill the row selected before, or the new last one when the list got shorter.
    const struct { int before, count, after; } rows[] = {
        {1, 3, 1}, {2, 2, 1}, {0, 0, -1}, {-1, 3, -1},
    };
    for (const auto& r : rows)
        EXPECT_EQ(RowAfterRefill(r.before, r.count), r.after) << r.before << " of " << r.count;
}
