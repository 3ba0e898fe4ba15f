// The pixel kernels behind ApplyFilterToFrame, for the transform itself and for the tests
// and the benchmark that run each one on purpose. Portable: no windows.h.
//
// A kernel maps `pixels` consecutive three-byte pixels (blue, green, red) from `in` to
// `out` through a cube stored in output byte order (see OutputCube). Whatever its step,
// it reads and writes only those 3 * pixels bytes at each end.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filter/color_cube.h"
#include "filter/frame_buffers.h"
#include "filter/frame_transform.h"

struct FilterRecord;

// A colour cube whose cells hold blue in bits 0-7, green 8-15, red 16-23 and zero on top:
// the pixel's bytes as they are stored, so a cell can be written out without reordering
// and ORed into a word next to its neighbour.
typedef uint32_t OutputCube[kColorCubeSize];

void FillOutputCube(const ColorCube& cube, OutputCube& output);

typedef void PixelKernel(const uint32_t* cube, const uint8_t* in, uint8_t* out, size_t pixels);

// Plain C++, four pixels at a time: runs anywhere, and finishes the rows of the others.
PixelKernel FilterPixelsPortable;

#if defined(__SSE2__)
#define PL_HAVE_X86_KERNELS 1
// Sixteen pixels at a time with SSE2, the baseline of the Windows build.
PixelKernel FilterPixelsSse2;
// Sixteen pixels at a time with SSSE3 byte shuffles; only on a CPU that has them.
PixelKernel FilterPixelsSsse3;
int CpuHasSsse3();
#endif

// The kernel ApplyFilterToFrame uses on this CPU.
PixelKernel* ChooseFrameKernel();

// ApplyFilterToFrame with the given kernel for every filter but the identity.
void ApplyFilterToFrameWith(PixelKernel* kernel, const FilterRecord& record,
                            const FrameBuffers& frames);

// MakeRowFilter with the given kernel.
void MakeRowFilterWith(PixelKernel* kernel, const FilterRecord& record, RowFilter* filter);
