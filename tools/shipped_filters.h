// The filter files that ship with the program, written by tools/make_filters.cpp into
// data/filter/ and measured by the tests against the models they implement, and the files
// that name the built-in filters.
#pragma once

#include <cstdint>

#include "tools/color_science.h"

struct LocalizedName {
    uint32_t locale;   // Windows locale identifier: the file's key is name(<locale>)
    const char* text;  // in the ANSI code page of that locale's users
};

const int kShippedLocales = 6;  // German, French, three Spanish, Japanese

struct ShippedFilter {
    const char* fileName;  // its base name is the filter name the settings refer to
    CvdModel model;
    const char* source;    // the model and its publication, for the file's comment
    const char* displayName;
    LocalizedName localized[kShippedLocales];
};

const int kShippedFilterCount = 6;
extern const ShippedFilter kShippedFilters[kShippedFilterCount];

// A file named after a built-in filter only renames it and needs no colours: these give the
// four built-in filters their names in the shipped languages. The English name is the
// program's own.
struct ShippedRename {
    const char* fileName;
    const char* what;  // what the built-in filter does, for the file's comment
    const char* displayName;
    LocalizedName localized[kShippedLocales];
};

const int kShippedRenameCount = 4;
extern const ShippedRename kShippedRenames[kShippedRenameCount];
