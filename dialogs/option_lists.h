// The Option dialog's two filter lists while it runs, and the rule for the buttons beside
// its list. Every filter of the table is in exactly one of the two lists, so neither can
// hold more than the table. Portable: no windows.h.
#pragma once

#include <cstdint>

#include "filter/filter_table.h"

// The working copy of the enabled list: what the dialog's list shows, in that order. Of the
// enabled list's own type, so that OK copies it back as a whole.
extern EnabledList workingList;
// The filters that are not in the working list, in the order they left it.
extern EnabledList availableList;

// The dialog opens: the working list becomes a copy of the enabled list, and the available
// list holds every other filter in table order.
void BuildOptionLists();

// OK: the enabled list becomes a copy of the working list.
void ApplyWorkingList();

// Moves available entry `index` to the end of the working list; the entries after it move
// up one place. Zero, and nothing moves, when there is no such entry.
int EnableEntry(int index);

// Moves working entry `index` to the end of the available list, not back to its place in
// table order. Zero, and nothing moves, when there is no such entry.
int DisableEntry(int index);

// Swaps working entries `index` and `index` + 1. Zero when either does not exist.
int SwapWorkingEntries(int index);

// The row to select after the list has been filled anew: the row selected before, or the
// new last row when the list got shorter. -1 (no selection) for -1 and for an empty list.
int RowAfterRefill(int rowBefore, int count);

// The controls the list's rule knows about. Other: the focus is anywhere else.
enum class OptionControl : int32_t { Other, Up, Down, Disable, Enable, NoSplash };

struct ListButtonStates {
    bool upEnabled;
    bool downEnabled;
    bool disableEnabled;
    bool enableEnabled;
    // Where the focus belongs: `focused` itself, or the control it must move to because
    // `focused` is about to be greyed. Other when it was elsewhere to begin with.
    OptionControl focus;
};

// The states of "&Up", "&Down", "D&isable" and "&Enable..." for the working list with
// `selectedRow` selected (-1: none), and where the focus goes when it is on one of them.
// The identity filter can be moved but never disabled, and the focus never stays on a
// greyed button.
ListButtonStates DecideListButtons(int selectedRow, OptionControl focused);
