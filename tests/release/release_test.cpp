// The release as a Windows user gets it, made from the built tree: installed silently, run,
// updated and removed over a running copy; and the zip unpacked into another folder.

#include <fstream>

#include "tests/e2e/driver.h"
#include "version.h"

namespace {

// The zip and the installer of this build: Prismolenteer-<version>-win32 or -win64.
const std::string kRelease = WindowsPath(PL_PACKAGE_UNIX_DIR) + "\\Prismolenteer-" PL_VERSION_TEXT "-" PL_PACKAGE_BUILD;
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Prismolenteer";

class Release : public ProgramTest {
protected:
    void SetUp() override  // an earlier scenario's copy may still be going; a second copy would end at once
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
        ASSERT_TRUE(WaitUntil([] { return !FindWindowA(kMainFrameClass, nullptr); }, 30000)) << "another copy runs";
    }

    // As a user tries it: the tray icon, F11 over the shipped filters (six rows by default), Esc, Exit.
    void TryTheProgram(const std::string& exePath)
    {
        exePath_ = Widen(exePath);
        Start();
        EXPECT_TRUE(WaitUntil([] { return FindTrayIcon(); })) << "no icon in the tray";
        PressKey(VK_F11);
        ASSERT_TRUE(WaitUntil([&] { return PreviewShown(); })) << "no preview";
        EXPECT_EQ(SendMessageA(GetDlgItem(Panel(), kPanelListId), LB_GETCOUNT, 0, 0), 6);
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] { return PreviewGone(); }));
        Exit();
    }
};

TEST_F(Release, InstalledItRunsAnUpdateKeepsTheSettingsAndRemovalLeavesOnlyThem)
{
    const std::string folder = std::string(std::getenv("LOCALAPPDATA")) + "\\Programs\\Prismolenteer\\";
    const std::string program = folder + "Prismolenteer.exe", uninstaller = folder + "Uninstall.exe";
    const std::string shortcut = std::string(std::getenv("APPDATA")) + "\\Microsoft\\Windows\\Start Menu\\Programs\\Prismolenteer.lnk";
    DWORD exitCode = 12345;
    ASSERT_TRUE(Ended(StartProgram(kRelease + "-setup.exe", "/S"), 60000, &exitCode) && exitCode == 0);
    for (const char* file : {"Prismolenteer.exe", "README.txt", "LICENSE.txt", "Uninstall.exe", "filter\\protanopia.plf",
                             "1031\\PLRes.dll", "1036\\PLRes.dll", "3082\\PLRes.dll", "1034\\PLRes.dll", "2058\\PLRes.dll",
#ifdef PL_WITH_CONVERTER
                             "prismolenteer-cli.exe",
#endif
                             "1041\\PLRes.dll"})
        EXPECT_NE(GetFileAttributesA((folder + file).c_str()), INVALID_FILE_ATTRIBUTES) << file;
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(std::ifstream(shortcut, std::ios::binary).rdbuf()), {}).find(program),
              std::string::npos) << "the shortcut does not start " << program;
    EXPECT_EQ(StoredValue("Prismolenteer", kRunKey), '"' + program + '"');
    EXPECT_EQ(StoredValue("DisplayVersion", kUninstallKey) + "|" + StoredValue("Publisher", kUninstallKey) + "|" +
                  StoredValue("DisplayIcon", kUninstallKey) + "|" + StoredValue("UninstallString", kUninstallKey),
              PL_VERSION_TEXT "|morvask|" + program + ",0|\"" + uninstaller + '"');
    Store("NoSplash", 1);  // the user's own setting
    TryTheProgram(program);

    // An update and the removal each end a running copy as Windows ends a session: it saves
    // its settings (Position comes back), and the user's stay.
    for (const std::string& installer : {kRelease + "-setup.exe", uninstaller}) {
        Start();
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kProgramKey, "Position");
        EXPECT_TRUE(Ended(StartProgram(installer, "/S"), 60000, &exitCode) && exitCode == 0) << installer;
        EXPECT_TRUE(Ended(program_, kWaitMs, &exitCode) && exitCode == 0) << installer;
        EXPECT_EQ(StoredValue("Position") + " " + StoredValue("NoSplash"), "0,0 1") << installer;
    }
    // The uninstaller goes on from a copy of itself; the uninstall entry goes after the rest.
    WaitUntil([] { return StoredValue("DisplayName", kUninstallKey) == "(missing)"; }, 30000);
    EXPECT_EQ(StoredValue("DisplayName", kUninstallKey) + StoredValue("Prismolenteer", kRunKey), "(missing)(missing)");
    EXPECT_TRUE(GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES &&
                GetFileAttributesA(shortcut.c_str()) == INVALID_FILE_ATTRIBUTES) << "the folder or the shortcut stayed";
}

TEST_F(Release, TheZipUnpackedIntoAnotherFolderRunsTheSameWay)
{
    TryTheProgram(WindowsPath(PL_PACKAGE_UNIX_DIR) + "\\unzipped\\Prismolenteer\\Prismolenteer.exe");
}

}  // namespace
