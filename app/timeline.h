// When each step of the last preview ended, for the latency benchmark: a handful of
// integers, noted as the preview is made and asked for by another process through the main
// frame. Times are microseconds of the performance counter cut to 32 bits, which another
// process on the same machine reads from the same clock.
#pragma once

#include <cstdint>

enum PreviewStep {
    kPreviewTriggered,  // the hotkey or the hot corner arrived
    kPreviewCaptured,   // the screen is in the captured image
    kPreviewFiltered,   // the first filter has been applied
    kPreviewPainted,    // the picture has been painted into the preview window
    kPreviewPanelShown, // the operate panel is shown and has the keyboard
    kPreviewStepCount
};

// The registered window message the main frame answers: wParam a step, the result its time
// in the last preview, 0 when the step has not happened since the preview was triggered.
extern const char kPreviewTimelineMessage[];

// Now on the timeline's clock: another process of this machine reads the same.
uint32_t PreviewClockMicroseconds();

// Notes the time of `step`; a trigger forgets the steps of the preview before.
void MarkPreviewStep(PreviewStep step);

uint32_t PreviewStepTime(unsigned step);
