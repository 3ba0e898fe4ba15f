// The settings in the registry. HKEY_CURRENT_USER is redirected to a scratch key for every
// test, deleted before and after, so the program's real key is never touched.

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filter/filter_table.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tests/support/filter_fixture.h"

namespace {

const char kScratch[] = "Software\\PrismolenteerTests\\Scratch";
const char kSubKey[] = "Software\\morvask\\Prismolenteer";

class Registry : public EmptyFilterTable {
protected:
    void SetUp() override
    {
        EmptyFilterTable::SetUp();
        std::memset(&settings, 0, sizeof settings);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &scratch_, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, scratch_), ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(scratch_);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        RegDeleteKeyA(HKEY_CURRENT_USER, kScratch);
        EmptyFilterTable::TearDown();
    }

    static void Store(const char* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kSubKey, name, type, data, size),
                  ERROR_SUCCESS)
            << name;
    }
    static void StoreText(const char* name, const std::string& text)
    {
        Store(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    static void StoreNumber(const char* name, DWORD number)
    {
        Store(name, REG_DWORD, &number, sizeof number);
    }

    // What the registry holds for `name`: its type and bytes.
    static bool Stored(const char* name, DWORD* type, std::vector<BYTE>* data)
    {
        DWORD size = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, kSubKey, name, RRF_RT_ANY | RRF_NOEXPAND, type,
                         nullptr, &size) != ERROR_SUCCESS)
            return false;
        data->resize(size);
        return RegGetValueA(HKEY_CURRENT_USER, kSubKey, name, RRF_RT_ANY | RRF_NOEXPAND, type,
                            data->data(), &size) == ERROR_SUCCESS;
    }

    static std::vector<std::string> EnabledNames()
    {
        std::vector<std::string> names;
        for (int i = 0; i < enabledList.count; ++i)
            names.push_back(enabledList.entries[i]->name);
        return names;
    }

    HKEY scratch_ = nullptr;
};

std::string ReadText(const char* name, const char* fallback)
{
    char buffer[256];
    std::memset(buffer, 'j', sizeof buffer);
    RegReadString(kSubKey, name, buffer, sizeof buffer, fallback);
    return std::string(buffer, strnlen(buffer, sizeof buffer));
}

DWORD ReadNumber(const char* name, DWORD fallback)
{
    DWORD value = 0xDEADBEEF;
    RegReadDword(kSubKey, name, &value, fallback);
    return value;
}

TEST_F(Registry, ReadersTakeTheDefaultUnlessTypeAndSizeAreRight)
{
    EXPECT_EQ(ReadText("Position", "0,0"), "0,0") << "no key";
    EXPECT_EQ(ReadNumber("HotkeyVKey", 122), 122u) << "no key";

    StoreText("Text", "10,20");
    StoreText("Longest", std::string(255, 'a'));
    StoreText("TooLong", std::string(256, 'a'));
    Store("Unterminated", REG_SZ, "abc", 3);  // stored without its NUL
    Store("UnterminatedFull", REG_SZ, std::string(256, 'b').c_str(), 256);
    Store("Expandable", REG_EXPAND_SZ, "x", 2);
    StoreNumber("Number", 0xFFFFFFFF);
    Store("ShortNumber", REG_DWORD, "\x07\x00", 2);
    Store("Binary", REG_BINARY, "\x01\x00\x00\x00", 4);

    EXPECT_EQ(ReadText("Text", "d"), "10,20");
    EXPECT_EQ(ReadText("Longest", "d"), std::string(255, 'a'));
    EXPECT_EQ(ReadText("TooLong", "d"), "d");
    EXPECT_EQ(ReadText("Unterminated", "d"), "abc");
    EXPECT_EQ(ReadText("UnterminatedFull", "d"), "d");
    EXPECT_EQ(ReadText("Expandable", "d"), "d");
    EXPECT_EQ(ReadText("Number", "d"), "d");
    EXPECT_EQ(ReadText("Missing", ""), "");

    EXPECT_EQ(ReadNumber("Number", 5), 0xFFFFFFFFu);
    EXPECT_EQ(ReadNumber("ShortNumber", 5), 5u);
    EXPECT_EQ(ReadNumber("Binary", 5), 5u);
    EXPECT_EQ(ReadNumber("Text", 5), 5u);
    EXPECT_EQ(ReadNumber("Missing", 5), 5u);
}

TEST_F(Registry, WritersCreateTheKeyAndStoreTextWithItsNul)
{
    RegWriteString(kSubKey, "Text", "a,b");
    RegWriteString(kSubKey, "Empty", "");
    RegWriteDword(kSubKey, "Number", 0xFFFFFFFF);

    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(Stored("Text", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, (std::vector<BYTE>{'a', ',', 'b', 0}));
    ASSERT_TRUE(Stored("Empty", &type, &data));
    EXPECT_EQ(data, (std::vector<BYTE>{0}));
    ASSERT_TRUE(Stored("Number", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, (std::vector<BYTE>{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(Registry, WithoutTheKeyEverySettingTakesItsDefault)
{
    RegisterBuiltinFilters();
    LoadSettings();
    const Settings expected = {0, 0, 0, 1, 0, 0, 122, 0, 0};
    EXPECT_EQ(std::memcmp(&settings, &expected, sizeof settings), 0);
    EXPECT_EQ(EnabledNames(), (std::vector<std::string>{"_normal", "_hue_gbr", "_hue_brg"}));
}

TEST_F(Registry, SavedSettingsLoadBackUnchanged)
{
    RegisterBuiltinFilters();
    settings = {-1366, 2147483647, 1, 0, 1, 1, 112, 1, 3};
    for (const char* name : {"_hue_gbr", "_grayscale", "_normal"})
        EnableFilterByName(name);
    SaveSettings();

    struct Value {
        const char* name;
        DWORD type;
        std::vector<BYTE> data;
    };
    auto dword = [](DWORD n) {
        return std::vector<BYTE>{BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24)};
    };
    auto text = [](const std::string& s) {
        std::vector<BYTE> bytes(s.begin(), s.end());
        bytes.push_back(0);
        return bytes;
    };
    const Value values[] = {
        {"Position", REG_SZ, text("-1366,2147483647")},
        {"NoSplash", REG_DWORD, dword(1)},
        {"EnableHotkeyAction", REG_DWORD, dword(0)},
        {"HotkeyVKey", REG_DWORD, dword(112)},
        {"HotkeyCtrl", REG_DWORD, dword(1)},
        {"HotkeyAlt", REG_DWORD, dword(1)},
        {"EnableMouseAction", REG_DWORD, dword(1)},
        {"MouseActionPosition", REG_DWORD, dword(3)},
        {"EnableFilters", REG_SZ, text("_hue_gbr,_grayscale,_normal")},
    };
    for (const Value& value : values) {
        DWORD type = 0;
        std::vector<BYTE> data;
        ASSERT_TRUE(Stored(value.name, &type, &data)) << value.name;
        EXPECT_EQ(type, value.type) << value.name;
        EXPECT_EQ(data, value.data) << value.name;
    }

    const Settings saved = settings;
    std::memset(&settings, 0, sizeof settings);
    enabledList.count = 0;
    LoadSettings();
    EXPECT_EQ(std::memcmp(&settings, &saved, sizeof settings), 0);
    EXPECT_EQ(EnabledNames(), (std::vector<std::string>{"_hue_gbr", "_grayscale", "_normal"}));
}

TEST_F(Registry, AnEmptyListIsSavedAndComesBackAsTheDefaults)
{
    RegisterBuiltinFilters();
    SaveSettings();
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(Stored("EnableFilters", &type, &data));
    EXPECT_EQ(data, (std::vector<BYTE>{0}));
    LoadSettings();
    EXPECT_EQ(EnabledNames(), (std::vector<std::string>{"_normal", "_hue_gbr", "_hue_brg"}));
}

}  // namespace
