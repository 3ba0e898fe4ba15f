// 32-bit Windows keeps the stack only 4-byte aligned, for example in a window procedure
// it calls, where the preview re-filters. The SIMD kernels keep 16-byte values on the
// stack, so they must work whatever the alignment they are entered with.

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "filter/filter_table.h"
#include "filter/frame_transform.h"
#include "filter/frame_transform_kernels.h"
#include "tests/support/literal_transform.h"

namespace {

PixelKernel* kernelUnderTest;
FilterRecord record;
FrameBuffers frames;

void RunKernel()
{
    ApplyFilterToFrameWith(kernelUnderTest, record, frames);
}

// Calls `function` with the stack pointer `offset` bytes below a 16-byte boundary at the
// call, so that it is entered `offset` bytes off the alignment GCC otherwise assumes.
void CallWithStackOffset(void (*function)(), unsigned offset)
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
    const struct {
        const char* name;
        PixelKernel* kernel;
        bool available;
    } kernels[] = {
        {"SSE2", FilterPixelsSse2, true},
        {"SSSE3", FilterPixelsSsse3, CpuHasSsse3() != 0},
    };
    RegisterBuiltinFilters();
    record = *FindFilterByName("_grayscale");
    const int width = 333, height = 3;
    std::vector<uint8_t> captured(FrameStride(width) * height), filtered(captured.size()),
        expected(captured.size());
    for (size_t i = 0; i < captured.size(); ++i)
        captured[i] = static_cast<uint8_t>(i * 7 + i / 5);
    frames = FrameBuffers{width, height, FrameStride(width), {}, captured.data(), filtered.data()};
    FrameBuffers literal = frames;
    literal.filtered = expected.data();
    LiteralTransform(record, literal);

    for (const auto& kernel : kernels) {
        if (!kernel.available)
            continue;
        kernelUnderTest = kernel.kernel;
        for (unsigned offset = 0; offset < 16; offset += 4) {
            std::memset(filtered.data(), 0, filtered.size());
            CallWithStackOffset(RunKernel, offset);
            EXPECT_EQ(filtered, expected) << kernel.name << " entered " << offset
                                          << " bytes off alignment";
        }
    }
}

}  // namespace
