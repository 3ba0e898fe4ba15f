// The user's settings: the process-wide record, its defaults, and the rules that turn
// stored values into settings and back. Portable: no windows.h; the registry is read and
// written by settings_store.
#pragma once

#include <cstddef>
#include <cstdint>

// Nine 32-bit fields, copied as a whole (the Option command compares a copy afterwards).
// From the end of LoadSettings on, each holds a value of the range noted.
struct Settings {
    int32_t PositionX;             // operate panel's top-left corner when it last closed
    int32_t PositionY;
    uint32_t NoSplash;             // 0 or 1
    uint32_t EnableHotkeyAction;   // 0 or 1
    uint32_t HotkeyCtrl;           // 0 or 1
    uint32_t HotkeyAlt;            // 0 or 1
    uint32_t HotkeyVKey;           // 112 to 123: F1 to F12
    uint32_t EnableMouseAction;    // 0 or 1: the hot corner
    uint32_t MouseActionPosition;  // 0 left up, 1 left down, 2 right up, 3 right down
};

extern Settings settings;

// Stored texts are read into buffers of this size: at most 255 characters.
const size_t kSettingsTextSize = 256;

const uint32_t kVkF1 = 112, kVkF11 = 122, kVkF12 = 123;

// How a stored number becomes a field.
enum class NumberRule {
    Flag,        // set only when the stored number is exactly 1
    FunctionKey, // 112 to 123, anything else becomes F11
    Corner,      // 0 to 3, anything else becomes 0
};

// One of the seven numbers, in the order they are read and written.
struct NumberSetting {
    const char* valueName;
    uint32_t Settings::*field;
    uint32_t defaultValue;  // taken when the stored value is missing or not a number
    NumberRule rule;
};
extern const NumberSetting kNumberSettings[7];

// The field value for a stored number, by the rule.
uint32_t NumberFromStored(NumberRule rule, uint32_t stored);
// The number to store for a field: flags as 0 or 1, other numbers unchanged.
uint32_t NumberToStore(NumberRule rule, uint32_t field);

// The "Position" value. Scans "x,y" as two decimal integers (white space allowed before
// each number, the comma right after the first). Anything else, a number outside the
// 32-bit range included, gives (0, 0) and returns 0.
int ScanPosition(const char* text, int32_t* x, int32_t* y);
// "x,y" in decimal, no spaces.
void FormatPosition(int32_t x, int32_t y, char* buffer, size_t size);

// The filters enabled when no stored name survives, in this order.
extern const char* const DefaultEnabledFilters[6];

// Appends the filters named in `text` (names separated by ",", white space around each
// ignored, case ignored, unknown names and repeats dropped) to the enabled list, and
// the default filters when none of them is known.
void EnableFiltersFromText(const char* text);

// The names of the enabled list joined by "," into `buffer` (NUL-terminated). When they do
// not all fit, only the leading whole names that fit are kept; never a cut name. Returns
// the number of names written.
int JoinEnabledFilterNames(char* buffer, size_t size);

// The live view: where its window was and what it showed, under the same key as the
// settings above ("LiveViewPosition" and "LiveViewSize" as "x,y" and "w,h", "LiveViewFilter",
// "LiveViewZoom", "LiveViewMode"). Written once the live view has been placed.
struct LiveViewSettings {
    bool placed;             // the four numbers below are usable
    int32_t x, y;            // the window's top-left corner, in screen pixels
    int32_t width, height;   // the window's size, in pixels
    char filter[20];         // the filter's name; empty for the first enabled filter
    uint32_t zoom;           // 1, 2 or 4
    uint32_t mode;           // kLiveFollowPointer or kLiveUnderWindow
};

extern LiveViewSettings liveViewSettings;

const uint32_t kLiveFollowPointer = 0;  // the area around the mouse pointer
const uint32_t kLiveUnderWindow = 1;    // the area under the window, where Windows allows it
// A window's width and height are kept from kLiveMinSize to kLiveMaxSize pixels.
const int32_t kLiveMinSize = 120, kLiveMaxSize = 8192;

// A stored zoom: 1, 2 or 4, anything else becomes 1.
uint32_t LiveZoomFromStored(uint32_t stored);
// A stored mode: kLiveUnderWindow when exactly that, else kLiveFollowPointer.
uint32_t LiveModeFromStored(uint32_t stored);

// The stored "x,y" and "w,h" as a placement: placed when both are two integers and the size
// lies within kLiveMinSize to kLiveMaxSize; otherwise not placed.
void ScanLivePlacement(const char* position, const char* size, LiveViewSettings* live);
