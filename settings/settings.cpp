// The settings record and the rules between stored values and settings.

#include "settings/settings.h"

#include <cstdio>
#include <cstring>

#include "filter/filter_table.h"
#include "filter/text.h"

Settings settings;
LiveViewSettings liveViewSettings;

const NumberSetting kNumberSettings[7] = {
    {"NoSplash", &Settings::NoSplash, 0, NumberRule::Flag},
    {"EnableHotkeyAction", &Settings::EnableHotkeyAction, 1, NumberRule::Flag},
    // A missing key code reads as 0, which the range rule turns into F11.
    {"HotkeyVKey", &Settings::HotkeyVKey, 0, NumberRule::FunctionKey},
    {"HotkeyCtrl", &Settings::HotkeyCtrl, 0, NumberRule::Flag},
    {"HotkeyAlt", &Settings::HotkeyAlt, 0, NumberRule::Flag},
    {"EnableMouseAction", &Settings::EnableMouseAction, 0, NumberRule::Flag},
    {"MouseActionPosition", &Settings::MouseActionPosition, 0, NumberRule::Corner},
};

// "protanopia", "deutanopia" and "tritanoptia" are spelled as the shipped filter files
// name them.
const char* const DefaultEnabledFilters[6] = {"_normal",  "protanopia", "deutanopia",
                                              "tritanoptia", "_hue_gbr", "_hue_brg"};

uint32_t NumberFromStored(NumberRule rule, uint32_t stored)
{
    switch (rule) {
    case NumberRule::Flag:
        return stored == 1 ? 1 : 0;
    case NumberRule::FunctionKey:
        return stored >= kVkF1 && stored <= kVkF12 ? stored : kVkF11;
    case NumberRule::Corner:
        return stored <= 3 ? stored : 0;
    }
    return stored;
}

uint32_t NumberToStore(NumberRule rule, uint32_t field)
{
    return rule == NumberRule::Flag ? (field != 0 ? 1 : 0) : field;
}

namespace {

// Reads one integer the way "%d" does (white space, an optional sign, at least one digit),
// but refuses a number outside the 32-bit range instead of leaving its value undefined.
const char* ScanInt32(const char* p, int32_t* value)
{
    while (IsAsciiSpace(*p))
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (*p < '0' || *p > '9')
        return nullptr;
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = 10 * magnitude + (*p - '0');
        if (magnitude > limit)
            return nullptr;
    }
    *value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return p;
}

}  // namespace

int ScanPosition(const char* text, int32_t* x, int32_t* y)
{
    int32_t first = 0, second = 0;
    const char* p = ScanInt32(text, &first);
    if (p != nullptr && *p == ',')
        p = ScanInt32(p + 1, &second);
    else
        p = nullptr;
    if (p == nullptr) {
        *x = *y = 0;
        return 0;
    }
    *x = first;
    *y = second;
    return 1;
}

void FormatPosition(int32_t x, int32_t y, char* buffer, size_t size)
{
    std::snprintf(buffer, size, "%d,%d", static_cast<int>(x), static_cast<int>(y));
}

void EnableFiltersFromText(const char* text)
{
    const char* listed = nullptr;
    size_t length = 0;
    for (const char* cursor = text; NextListedName(&cursor, &listed, &length);) {
        // A piece too long for the buffer cannot name a filter (names have 19 characters).
        char piece[kSettingsTextSize];
        if (length == 0 || length >= sizeof piece)
            continue;
        std::memcpy(piece, listed, length);
        piece[length] = '\0';
        EnableFilterByName(piece);
    }

    if (enabledList.count == 0)
        for (const char* name : DefaultEnabledFilters)
            EnableFilterByName(name);
}

int JoinEnabledFilterNames(char* buffer, size_t size)
{
    return JoinFilterNames(enabledList.entries, enabledList.count, buffer, size);
}

uint32_t LiveZoomFromStored(uint32_t stored)
{
    return stored == 2 || stored == 4 ? stored : 1;
}

uint32_t LiveModeFromStored(uint32_t stored)
{
    return stored == kLiveUnderWindow ? kLiveUnderWindow : kLiveFollowPointer;
}

void ScanLivePlacement(const char* position, const char* size, LiveViewSettings* live)
{
    int32_t x = 0, y = 0, width = 0, height = 0;
    live->placed = ScanPosition(position, &x, &y) && ScanPosition(size, &width, &height) &&
                   width >= kLiveMinSize && width <= kLiveMaxSize && height >= kLiveMinSize &&
                   height <= kLiveMaxSize;
    live->x = live->placed ? x : 0;
    live->y = live->placed ? y : 0;
    live->width = live->placed ? width : 0;
    live->height = live->placed ? height : 0;
}
