// The release as a Windows user gets it (scripts/package.sh, made for this test from the built
// tree): the installer run silently, the program started from where it put it, an update
// installed over a running copy, a silent removal; and the zip unpacked into another folder.

#include <shlobj.h>

#include "tests/e2e/driver.h"
#include "version.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Prismolenteer";
const std::string kRelease = WindowsPath(PL_PACKAGE_UNIX_DIR) + "\\Prismolenteer-" PL_VERSION_TEXT;

std::string ShellFolder(int id)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, id, nullptr, 0, path);
    return path;
}

// A text value of the user's registry, or "(missing)".
std::string UserValue(const char* key, const char* name)
{
    char value[1024] = "";
    DWORD size = sizeof value;
    return RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size)
               ? "(missing)" : value;
}

// What the shortcut starts, or "(none)".
std::string ShortcutTarget(const std::string& path)
{
    std::string target = "(none)";
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t widePath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
    char found[MAX_PATH] = "";
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(widePath, STGM_READ)) &&
        SUCCEEDED(link->GetPath(found, MAX_PATH, nullptr, 0)))
        target = found;
    if (file != nullptr)
        file->Release();
    if (link != nullptr)
        link->Release();
    return target;
}

// Runs a command line to its end; its exit code.
DWORD RunToEnd(const std::string& commandLine)
{
    std::string line = commandLine;
    PROCESS_INFORMATION process{};
    STARTUPINFOA startup{sizeof startup};
    DWORD exitCode = 12345;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process) &&
        WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

class Release : public ProgramTest {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    }

    // Starts the copy at exePath_ once no other copy runs: the second would end at once, and
    // an earlier scenario's copy can take a while to go.
    void StartAlone()
    {
        EXPECT_TRUE(WaitUntil([] { return !FindWindowA(kMainFrameClass, nullptr); }, 30000)) << "another copy runs";
        Start();
    }

    // As a user tries it: the icon in the tray, F11 with the shipped filters beside the
    // program (the default list then has six rows), Esc, Exit from the tray menu.
    void TryTheProgram(const std::string& exePath)
    {
        exePath_ = exePath;
        StartAlone();
        EXPECT_TRUE(WaitUntil([] { return FindTrayIcon(); })) << "no icon in the tray";
        PressKey(VK_F11);
        ASSERT_TRUE(WaitUntil([&] { return PreviewShown(); })) << "no preview";
        EXPECT_EQ(SendMessageA(GetDlgItem(Panel(), 1000), LB_GETCOUNT, 0, 0), 6);
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] { return PreviewGone(); }));
        Exit();
    }
};

TEST_F(Release, InstalledItRunsAnUpdateKeepsTheSettingsAndRemovalLeavesOnlyThem)
{
    const std::string folder = ShellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Prismolenteer\\";
    const std::string program = folder + "Prismolenteer.exe";
    const std::string shortcut = ShellFolder(CSIDL_PROGRAMS) + "\\Prismolenteer.lnk";
    ASSERT_EQ(RunToEnd('"' + kRelease + "-setup.exe\" /S"), 0u);
    std::vector<std::string> files = {"Prismolenteer.exe", "README.txt", "LICENSE.txt", "Uninstall.exe"};
    for (const char* filter : {"protanopia", "deutanopia", "tritanoptia", "protanomaly", "deuteranomaly", "tritanomaly"})
        files.push_back(std::string("filter\\") + filter + ".plf");
    for (const char* locale : {"1031", "1036", "3082", "1034", "2058", "1041"})
        files.push_back(std::string(locale) + "\\PLRes.dll");
#ifdef PL_WITH_CONVERTER
    files.push_back("prismolenteer-cli.exe");
#endif
    for (const std::string& file : files)
        EXPECT_NE(GetFileAttributesA((folder + file).c_str()), INVALID_FILE_ATTRIBUTES) << file;
    EXPECT_EQ(ShortcutTarget(shortcut), program);
    EXPECT_EQ(UserValue(kRunKey, "Prismolenteer"), '"' + program + '"');
    for (const auto& [name, value] : {std::pair<const char*, std::string>{"DisplayVersion", PL_VERSION_TEXT},
                                      {"Publisher", "morvask"}, {"DisplayIcon", program + ",0"},
                                      {"UninstallString", "\"" + folder + "Uninstall.exe\""}})
        EXPECT_EQ(UserValue(kUninstallKey, name), value) << name;
    Store("NoSplash", 1);  // the user's own setting
    TryTheProgram(program);

    // An update and the removal each end a running copy as Windows ends a session: it saves
    // its settings (Position comes back), and the user's stay.
    const auto gone = [](const std::string& path) { return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; };
    const auto removed = [&] {
        HKEY entry = nullptr;
        const bool registered = RegOpenKeyExA(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &entry) == ERROR_SUCCESS;
        RegCloseKey(entry);
        return std::vector<bool>{gone(folder), gone(shortcut), UserValue(kRunKey, "Prismolenteer") == "(missing)", !registered};
    };
    for (const std::string& command : {'"' + kRelease + "-setup.exe\" /S", '"' + folder + "Uninstall.exe\" /S"}) {
        StartAlone();
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kProgramKey, "Position");
        EXPECT_EQ(RunToEnd(command), 0u) << command;
        DWORD exitCode = 12345;
        EXPECT_TRUE(Ended(program_, kWaitMs, &exitCode) && exitCode == 0) << command;
        EXPECT_EQ(StoredValue("Position") + " " + StoredValue("NoSplash"), "0,0 1") << command;
    }
    // The uninstaller goes on from a copy of itself: folder, shortcut, Run entry, Apps and
    // Features entry.
    WaitUntil([&] { return removed() == std::vector<bool>(4, true); }, 30000);
    EXPECT_EQ(removed(), std::vector<bool>(4, true)) << "folder, shortcut, Run entry, Apps and Features entry gone";
}

TEST_F(Release, TheZipUnpackedIntoAnotherFolderRunsTheSameWay)
{
    TryTheProgram(WindowsPath(PL_PACKAGE_UNIX_DIR) + "\\unzipped\\Prismolenteer\\Prismolenteer.exe");
}

}  // namespace
