// Only one copy of the program runs at a time, and a second start leaves the first as it was.

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

namespace {

const char kMutexName[] = "singleinstance.mutex.prismolenteer.morvask";

bool MutexExists()
{
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, kMutexName);
    if (mutex == nullptr)
        return false;
    CloseHandle(mutex);
    return true;
}

// True when nobody holds F11, the default hotkey: this process could take it.
bool HotkeyIsFree()
{
    if (!RegisterHotKey(nullptr, 9, 0, VK_F11))
        return false;
    UnregisterHotKey(nullptr, 9);
    return true;
}

TEST(SingleInstance, SecondStartExitsAtOnceAndShowsNothing)
{
    const std::string program = e2e::ProgramPath();
    ASSERT_FALSE(MutexExists()) << "a copy of the program is already running";

    e2e::DeleteRegistryKey(e2e::kProgramKey);
    e2e::Process first;
    ASSERT_TRUE(first.Start(program));
    ASSERT_TRUE(e2e::WaitUntil(MutexExists, 10000)) << "the first copy never took the mutex";
    HWND frame = e2e::WaitForWindow(e2e::kMainFrameClass, first.Id(), 15000);
    ASSERT_NE(frame, nullptr) << "the first copy has no main frame";
    // The frame can be found while its creation, which registers the hotkey, still runs.
    ASSERT_TRUE(e2e::WaitUntil([] { return !HotkeyIsFree(); }, 10000))
        << "the first copy did not take F11";

    e2e::Process second;
    ASSERT_TRUE(second.Start(program));
    DWORD exitCode = 12345;
    bool showedWindow = false;
    const bool ended = e2e::WaitUntil(
        [&] {
            if (!e2e::TopLevelWindows(second.Id(), true).empty())
                showedWindow = true;
            return second.WaitForExit(0, &exitCode);
        },
        10000);
    ASSERT_TRUE(ended) << "the second copy did not exit";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(showedWindow);

    EXPECT_TRUE(first.IsRunning());
    EXPECT_FALSE(first.WaitForExit(500)) << "the first copy ended with the second";
    EXPECT_TRUE(MutexExists());
    EXPECT_EQ(e2e::WaitForWindow(e2e::kMainFrameClass, 0, 1000), frame)
        << "the first copy's main frame changed";
    EXPECT_FALSE(HotkeyIsFree()) << "the first copy lost its hotkey";

    e2e::ChooseExit(frame);
    EXPECT_TRUE(first.WaitForExit(10000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(MutexExists());
    e2e::DeleteRegistryKey(e2e::kProgramKey);
}

}  // namespace
