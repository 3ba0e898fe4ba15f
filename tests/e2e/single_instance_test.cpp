// Only one copy of the program runs at a time.

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

TEST(SingleInstance, SecondStartExitsAtOnceAndShowsNothing)
{
    const std::string program = e2e::ProgramPath();
    ASSERT_FALSE(MutexExists()) << "a copy of the program is already running";

    e2e::Process first;
    ASSERT_TRUE(first.Start(program));
    ASSERT_TRUE(e2e::WaitUntil(MutexExists, 10000)) << "the first copy never took the mutex";

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
}

}  // namespace
