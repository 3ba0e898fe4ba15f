// 32-bit Windows keeps the stack only 4-byte aligned, for example in a window procedure
// it calls, where the preview re-filters. The SIMD kernels keep 16-byte values on the
// stack, so they must work whatever the alignment they are entered with.

#include "filter/frame_transform_kernels.h"
#include "tests/win32/in_process.h"

static PixelKernel* kernel;
static FilterRecord record;
static FrameBuffers frames;

// Calls `function` with the stack pointer `offset` bytes below a 16-byte boundary at the
// call, so that it is entered `offset` bytes off the alignment GCC otherwise assumes.
static void CallWithStackOffset(void (*function)(), unsigned offset)
{
    asm volatile(
        "movl %%esp, %%ebx\n\t"  // ebx survives the call
        "andl $-16, %%esp\n\t"
        "subl %[offset], %%esp\n\t"
        "call *%[function]\n\t"
        "movl %%ebx, %%esp\n\t"
        :
        : [function] "r"(function), [offset] "r"(offset)
        : "ebx", "eax", "ecx", "edx", "memory", "cc", "xmm0", "xmm1", "xmm2", "xmm3", "xmm4",
          "xmm5", "xmm6", "xmm7");
}

TEST(FrameKernelStack, EveryKernelRunsOnAnyStackAlignment)
{
    RegisterBuiltinFilters();
    record = *FindFilterByName("_grayscale");
    const int width = 333;  // rows that end in every kernel's remainder
    std::vector<uint8_t> captured(FrameStride(width) * 3), expected(captured.size());
    for (size_t i = 0; i < captured.size(); ++i)
        captured[i] = uint8_t(i * 7 + i / 5);
    frames = {width, 3, FrameStride(width), {}, captured.data(), expected.data()};
    LiteralTransform(record, frames);
    // The SSSE3 kernel only where the CPU has it.
    for (PixelKernel* k : {FilterPixelsSse2, CpuHasSsse3() ? FilterPixelsSsse3 : FilterPixelsSse2})
        for (unsigned offset = 0; offset < 16; offset += 4) {
            std::vector<uint8_t> filtered(captured.size());
            kernel = k;
            frames.filtered = filtered.data();
            CallWithStackOffset([] { ApplyFilterToFrameWith(kernel, record, frames); }, offset);
            EXPECT_EQ(filtered, expected)
                << (k == FilterPixelsSse2 ? "SSE2" : "SSSE3") << " entered " << offset << " off";
        }
}
