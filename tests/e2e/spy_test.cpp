// The message spy itself: it must see what the program's thread takes from its queue, or
// a test that finds "nothing posted" proves nothing.

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"
#include "tests/e2e/driver_spy.h"

namespace {

TEST(Harness, MessageSpyCountsWhatTheProgramTakesFromItsQueue)
{
    e2e::Process program;
    ASSERT_TRUE(program.Start(e2e::ProgramPath()));
    e2e::MessageSpy spy;
    // The thread can be hooked once it has a message queue.
    ASSERT_TRUE(e2e::WaitUntil([&] { return spy.Attach(program.ThreadId()); }, 10000))
        << "error " << GetLastError();
    const UINT kProbe = WM_APP + 77;
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            PostThreadMessageA(program.ThreadId(), kProbe, 0, 0);
            Sleep(50);
            return spy.Retrieved(kProbe) > 0;
        },
        10000))
        << "the hook never ran inside the program";
}

}  // namespace
