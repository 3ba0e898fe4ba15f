// The settings in the registry. Each test deletes the program's key before and after.

#include "tests/win32/in_process.h"

class Registry : public EmptyFilterTable {
protected:
    void SetUp() override { ClearFilters(), RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey); }
};

TEST_F(Registry, ReadersTakeTheDefaultUnlessTypeAndSizeAreRight)
{
    const std::string a255(255, 'a'), nul(1, '\0');
    // What is stored (REG_NONE: nothing), and what RegReadString and RegReadDword give,
    // "d" and 5 being the defaults.
    const struct { DWORD type; std::string bytes, text; DWORD number; } rows[] = {
        {REG_NONE, "", "d", 5},  // first, while the key does not exist
        {REG_SZ, "10,20" + nul, "10,20", 5},
        {REG_SZ, a255 + nul, a255, 5},
        {REG_SZ, a255 + "a" + nul, "d", 5},  // 256 characters do not fit
        {REG_SZ, "abc", "abc", 5},            // stored without its NUL
        {REG_SZ, a255 + "a", "d", 5},         // without its NUL and filling the buffer
        {REG_EXPAND_SZ, "x" + nul, "d", 5},
        {REG_DWORD, "\xFF\xFF\xFF\xFF", "d", 0xFFFFFFFF},
        {REG_DWORD, "\x07" + nul, "d", 5},
        {REG_BINARY, "\x07" + nul + nul + nul, "d", 5},
    };
    for (const auto& row : rows) {
        if (row.type != REG_NONE)
            RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Value", row.type, row.bytes.data(),
                            static_cast<DWORD>(row.bytes.size()));
        char text[256];
        std::memset(text, 'j', sizeof text);
        RegReadString(kSettingsKey, "Value", text, sizeof text, "d");
        DWORD number = 0xDEADBEEF;
        RegReadDword(kSettingsKey, "Value", &number, 5);
        EXPECT_EQ(std::string(text, strnlen(text, sizeof text)), row.text) << "row " << &row - rows;
        EXPECT_EQ(number, row.number) << "row " << &row - rows;
    }
}

// The live view's values as the program holds them.
static std::string Live()
{
    const LiveViewSettings& live = liveViewSettings;
    return std::to_string(live.placed) + " " + std::to_string(live.x) + "," + std::to_string(live.y) + " " +
           std::to_string(live.width) + "x" + std::to_string(live.height) + " " + live.filter + " " +
           std::to_string(live.zoom) + " " + std::to_string(live.mode);
}

// The nine fields, the enabled filters and the live view's values, to compare and print.
static std::string Saved()
{
    char names[256] = "";
    JoinEnabledFilterNames(names, sizeof names);
    const Settings& s = settings;
    return testing::PrintToString(std::vector<int64_t>{s.PositionX, s.PositionY, s.NoSplash,
        s.EnableHotkeyAction, s.HotkeyCtrl, s.HotkeyAlt, s.HotkeyVKey, s.EnableMouseAction,
        s.MouseActionPosition}) + " " + names + " " + Live();
}

TEST_F(Registry, SavedSettingsComeBackUnchanged)
{
    RegisterBuiltinFilters();
    settings.PositionX = -1366;
    settings.PositionY = 2147483647;
    settings.NoSplash = 1;
    settings.EnableHotkeyAction = 0;
    settings.HotkeyCtrl = settings.HotkeyAlt = 1;
    settings.HotkeyVKey = 112;
    settings.EnableMouseAction = 1;
    settings.MouseActionPosition = 3;
    for (const char* name : {"_hue_gbr", "_grayscale", "_normal"})
        EnableFilterByName(name);
    liveViewSettings = {true, -1500, 20, 640, 480, "_hue_brg", 4, kLiveUnderWindow};
    const std::string saved = Saved();
    SaveSettings();
    settings = Settings{};
    liveViewSettings = {};
    enabledList.count = 0;
    LoadSettings();
    EXPECT_EQ(Saved(), saved);
}

TEST_F(Registry, TheLiveViewsOddValuesFallBackAndAViewNeverPlacedWritesNone)
{
    RegisterBuiltinFilters();

    // Values a user or another version may have left (the rules themselves are tested natively).
    const struct { const char *position, *size, *filter; DWORD zoom, mode; const char* loaded; } rows[] = {
        {"5,6", "119,300", "x", 3, 2, "0 0,0 0x0 x 1 0"},          // too narrow; no such zoom or mode
        {"5", "300,300", "a_name_of_twenty_chr", 0, 1, "0 0,0 0x0  1 1"},  // no y; a name too long
    };
    for (const auto& row : rows) {
        RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "LiveViewPosition", REG_SZ, row.position, DWORD(std::strlen(row.position) + 1));
        RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "LiveViewSize", REG_SZ, row.size, DWORD(std::strlen(row.size) + 1));
        RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "LiveViewFilter", REG_SZ, row.filter, DWORD(std::strlen(row.filter) + 1));
        RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "LiveViewZoom", REG_DWORD, &row.zoom, sizeof row.zoom);
        RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "LiveViewMode", REG_DWORD, &row.mode, sizeof row.mode);
        enabledList.count = 0;
        LoadSettings();
        EXPECT_EQ(Live(), row.loaded) << row.position << " " << row.size;
    }

    // A live view never placed writes none of its values.
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    liveViewSettings = {};
    SaveSettings();
    EXPECT_NE(RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, "LiveViewZoom", RRF_RT_ANY, nullptr, nullptr, nullptr), 0);
}
