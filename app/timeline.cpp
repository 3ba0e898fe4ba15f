// The last preview's timeline.

#include "app/timeline.h"

#include <windows.h>

const char kPreviewTimelineMessage[] = "timeline.prismolenteer.morvask";

namespace {

uint32_t stepTimes[kPreviewStepCount];

}  // namespace

uint32_t PreviewClockMicroseconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    // Whole seconds and the rest apart, so that nothing overflows 64 bits.
    const int64_t seconds = now.QuadPart / frequency.QuadPart;
    const int64_t rest = now.QuadPart % frequency.QuadPart;
    return static_cast<uint32_t>(seconds * 1000000 + rest * 1000000 / frequency.QuadPart);
}

void MarkPreviewStep(PreviewStep step)
{
    if (step == kPreviewTriggered)
        for (uint32_t& time : stepTimes)
            time = 0;
    stepTimes[step] = PreviewClockMicroseconds();
}

uint32_t PreviewStepTime(unsigned step)
{
    return step < kPreviewStepCount ? stepTimes[step] : 0;
}
