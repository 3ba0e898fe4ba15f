// The table of every filter the program knows, and the enabled list the operate
// panel offers. Portable: no windows.h. Only the GUI thread touches either.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filter/color_cube.h"

enum class FilterKind : int32_t {
    Identity = 1,   // _normal: pixels are copied unchanged
    Grayscale = 2,  // _grayscale
    HueGbr = 3,     // _hue_gbr: output red, green, blue = input green, blue, red
    HueBrg = 4,     // _hue_brg: output red, green, blue = input blue, red, green
    Custom = 5,     // from a filter file
};

const int kMaxFilterNameLength = 19;
const int kMaxDisplayNameLength = 39;
const int kMaxFilters = 128;

struct FilterRecord {
    char name[21];         // unique ignoring ASCII case; built-in names start with '_'
    char displayName[41];  // what the panel and the Option dialog show
    FilterKind kind;
    ControlCube controlCube;
    ColorCube colorCube;
};

// Records are only ever appended, so pointers to them stay valid for the whole run.
struct FilterTable {
    FilterRecord records[kMaxFilters];
    int32_t count;
};

// Distinct records of the table, in the order the operate panel lists them. Entries are
// distinct records of a table of at most kMaxFilters, so the list cannot overflow.
struct EnabledList {
    const FilterRecord* entries[kMaxFilters];
    int32_t count;
};

extern FilterTable filterTable;
extern EnabledList enabledList;

// The four filters the program brings itself. Their names start with '_', which no filter
// file may use for a filter of its own; a file of one of these names only renames it.
struct BuiltinFilter {
    const char* name;
    const char* displayName;
    FilterKind kind;
};

// The built-in filter of that name (ASCII case ignored), or null.
const BuiltinFilter* FindBuiltinFilter(const char* name);

// Adds the four built-in filters to the table: _normal, _grayscale, _hue_gbr, _hue_brg.
void RegisterBuiltinFilters();

// Adds a filter, or gives a built-in filter a new display name when `name` is one of the
// four built-in names. `controlColors` (216 colours in ControlCube order) is required for
// FilterKind::Custom and ignored otherwise. A name with a comma or with white space at
// either end is refused, since the settings could not keep it. Non-zero on success;
// refusals are silent.
int AddFilter(const char* name, const char* displayName, FilterKind kind,
              const ColorRef* controlColors);

// The first record whose name (display name) equals `text` ignoring ASCII case, or null.
FilterRecord* FindFilterByName(const char* name);
FilterRecord* FindFilterByDisplayName(const char* displayName);

// Appends the named filter to the enabled list. Zero when no filter bears the name or it
// is already listed.
int EnableFilterByName(const char* name);

// Non-zero when the enabled list holds this very record.
int IsFilterEnabled(const FilterRecord* record);

// The names of `count` filters joined by "," into `buffer` (NUL-terminated). When they do
// not all fit, only the leading whole names that fit are kept; never a cut name. Returns
// the number of names written.
int JoinFilterNames(const FilterRecord* const* filters, int count, char* buffer, size_t size);
