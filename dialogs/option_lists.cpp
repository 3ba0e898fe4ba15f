// The Option dialog's working and available filter lists, and where the focus goes before
// one of the list's buttons is greyed.

#include "dialogs/option_lists.h"

EnabledList workingList;
EnabledList availableList;

namespace {

void RemoveEntry(EnabledList& list, int index)
{
    for (int i = index; i + 1 < list.count; ++i)
        list.entries[i] = list.entries[i + 1];
    --list.count;
}

// Both lists together never hold more than the table, so the append cannot overflow.
int MoveEntry(EnabledList& from, int index, EnabledList& to)
{
    if (index < 0 || index >= from.count)
        return 0;
    to.entries[to.count++] = from.entries[index];
    RemoveEntry(from, index);
    return 1;
}

}  // namespace

void BuildOptionLists()
{
    workingList = enabledList;
    availableList.count = 0;
    for (int i = 0; i < filterTable.count; ++i)
        if (!IsFilterEnabled(&filterTable.records[i]))
            availableList.entries[availableList.count++] = &filterTable.records[i];
}

void ApplyWorkingList()
{
    enabledList = workingList;
}

int EnableEntry(int index)
{
    return MoveEntry(availableList, index, workingList);
}

int DisableEntry(int index)
{
    return MoveEntry(workingList, index, availableList);
}

int SwapWorkingEntries(int index)
{
    if (index < 0 || index + 1 >= workingList.count)
        return 0;
    const FilterRecord* first = workingList.entries[index];
    workingList.entries[index] = workingList.entries[index + 1];
    workingList.entries[index + 1] = first;
    return 1;
}

int RowAfterRefill(int rowBefore, int count)
{
    if (rowBefore < 0)
        return -1;
    return rowBefore < count ? rowBefore : count - 1;
}

ListButtonStates DecideListButtons(int selectedRow, OptionControl focused)
{
    const bool selected = selectedRow >= 0 && selectedRow < workingList.count;
    ListButtonStates states;
    states.upEnabled = selected && selectedRow != 0;
    states.downEnabled = selected && selectedRow != workingList.count - 1;
    states.disableEnabled =
        selected && workingList.entries[selectedRow]->kind != FilterKind::Identity;
    states.enableEnabled = availableList.count > 0;

    // Each step works on the result of the one before: a one-row list with the focus on
    // "&Up" passes it down the whole chain.
    OptionControl focus = focused;
    if (focus == OptionControl::Up && !states.upEnabled)
        focus = selected ? OptionControl::Down : OptionControl::Enable;
    if (focus == OptionControl::Down && !states.downEnabled)
        focus = selected ? OptionControl::Disable : OptionControl::Enable;
    if (focus == OptionControl::Disable && !states.disableEnabled)
        focus = OptionControl::Enable;
    if (focus == OptionControl::Enable && !states.enableEnabled)
        focus = OptionControl::NoSplash;
    states.focus = focus;
    return states;
}
