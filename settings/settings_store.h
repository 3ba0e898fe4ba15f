// The settings in the registry: HKEY_CURRENT_USER\Software\morvask\Prismolenteer.
#pragma once

#include <windows.h>

extern const char kSettingsKey[];

// Reads every setting, the enabled filters and the live view's values; missing or unusable
// values take their defaults. Needs the filter table complete and the enabled list empty.
void LoadSettings();

// Writes the nine values and the enabled filters, and the live view's values once it has
// been placed. A value that cannot be written does not stop the others; nothing is
// reported.
void SaveSettings();

// One value under HKEY_CURRENT_USER\subKey. The readers store the default when the key or
// the value is missing, of another type, or does not fit.
void RegReadString(const char* subKey, const char* valueName, char* buffer, DWORD bufferSize,
                   const char* defaultText);
void RegReadDword(const char* subKey, const char* valueName, DWORD* value, DWORD defaultValue);
void RegWriteString(const char* subKey, const char* valueName, const char* text);
void RegWriteDword(const char* subKey, const char* valueName, DWORD value);
