// The registry side of the settings. Every read and write opens and closes the key for
// itself; no handle is held between values.

#include "settings/settings_store.h"

#include <cstdio>
#include <cstring>

#include "filter/filter_table.h"
#include "settings/settings.h"

const char kSettingsKey[] = "Software\\morvask\\Prismolenteer";

namespace {

void CopyText(char* buffer, DWORD bufferSize, const char* text)
{
    if (bufferSize > 0)
        std::snprintf(buffer, bufferSize, "%s", text);
}

// True when `buffer` now holds the stored text, NUL-terminated. A REG_SZ need not have been
// stored with its NUL; one that fills the whole buffer without it counts as too long.
bool QueryText(HKEY key, const char* valueName, char* buffer, DWORD bufferSize)
{
    DWORD type = 0, size = bufferSize;
    if (RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ || bufferSize == 0)
        return false;
    if (size > 0 && buffer[size - 1] == '\0')
        return true;
    if (size >= bufferSize)
        return false;
    buffer[size] = '\0';
    return true;
}

// Creates the key (and its parents) when missing. Only the right to set values is asked
// for: full access may be refused where that is granted.
void WriteValue(const char* subKey, const char* valueName, DWORD type, const void* data,
                DWORD size)
{
    HKEY key;
    char emptyClass[] = "";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, emptyClass, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

}  // namespace

// Reads ask only for query rights, so that a key the user may read but not change still
// gives its values.
void RegReadString(const char* subKey, const char* valueName, char* buffer, DWORD bufferSize,
                   const char* defaultText)
{
    HKEY key;
    bool read = false;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        read = QueryText(key, valueName, buffer, bufferSize);
        RegCloseKey(key);
    }
    if (!read)
        CopyText(buffer, bufferSize, defaultText);
}

void RegReadDword(const char* subKey, const char* valueName, DWORD* value, DWORD defaultValue)
{
    HKEY key;
    DWORD stored = 0, type = 0, size = sizeof stored;
    bool read = false;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        read = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&stored),
                                &size) == ERROR_SUCCESS &&
               type == REG_DWORD && size == sizeof stored;
        RegCloseKey(key);
    }
    *value = read ? stored : defaultValue;
}

void RegWriteString(const char* subKey, const char* valueName, const char* text)
{
    // With the terminating NUL.
    WriteValue(subKey, valueName, REG_SZ, text, static_cast<DWORD>(lstrlenA(text) + 1));
}

void RegWriteDword(const char* subKey, const char* valueName, DWORD value)
{
    WriteValue(subKey, valueName, REG_DWORD, &value, sizeof value);
}

void LoadSettings()
{
    char text[kSettingsTextSize];
    RegReadString(kSettingsKey, "Position", text, sizeof text, "0,0");
    ScanPosition(text, &settings.PositionX, &settings.PositionY);

    for (const NumberSetting& number : kNumberSettings) {
        DWORD stored = 0;
        RegReadDword(kSettingsKey, number.valueName, &stored, number.defaultValue);
        settings.*number.field = NumberFromStored(number.rule, stored);
    }

    RegReadString(kSettingsKey, "EnableFilters", text, sizeof text, "");
    EnableFiltersFromText(text);

    char size[kSettingsTextSize];
    RegReadString(kSettingsKey, "LiveViewPosition", text, sizeof text, "");
    RegReadString(kSettingsKey, "LiveViewSize", size, sizeof size, "");
    ScanLivePlacement(text, size, &liveViewSettings);
    RegReadString(kSettingsKey, "LiveViewFilter", text, sizeof text, "");
    // A name too long for a filter names none.
    std::snprintf(liveViewSettings.filter, sizeof liveViewSettings.filter, "%s",
                  std::strlen(text) < sizeof liveViewSettings.filter ? text : "");
    DWORD stored = 0;
    RegReadDword(kSettingsKey, "LiveViewZoom", &stored, 1);
    liveViewSettings.zoom = LiveZoomFromStored(stored);
    RegReadDword(kSettingsKey, "LiveViewMode", &stored, kLiveFollowPointer);
    liveViewSettings.mode = LiveModeFromStored(stored);
}

void SaveSettings()
{
    char text[kSettingsTextSize];
    FormatPosition(settings.PositionX, settings.PositionY, text, sizeof text);
    RegWriteString(kSettingsKey, "Position", text);

    for (const NumberSetting& number : kNumberSettings)
        RegWriteDword(kSettingsKey, number.valueName,
                      NumberToStore(number.rule, settings.*number.field));

    // An empty list is written too: the next start turns it into the default list.
    JoinEnabledFilterNames(text, sizeof text);
    RegWriteString(kSettingsKey, "EnableFilters", text);

    const LiveViewSettings& live = liveViewSettings;
    if (!live.placed)
        return;
    FormatPosition(live.x, live.y, text, sizeof text);
    RegWriteString(kSettingsKey, "LiveViewPosition", text);
    FormatPosition(live.width, live.height, text, sizeof text);
    RegWriteString(kSettingsKey, "LiveViewSize", text);
    RegWriteString(kSettingsKey, "LiveViewFilter", live.filter);
    RegWriteDword(kSettingsKey, "LiveViewZoom", live.zoom);
    RegWriteDword(kSettingsKey, "LiveViewMode", live.mode);
}
