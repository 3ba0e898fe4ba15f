// The filter files that ship with the program, written by tools/make_filters.cpp into
// data/filter/ and measured by the tests against the models they implement.
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
