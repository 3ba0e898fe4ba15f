// Writing a file so that nothing is ever left half-written: the bytes go to a temporary
// file beside it, which is then renamed over it. And the one rule for whether a path may be
// written at all, which callers ask before any long work.
#pragma once

#include <cstddef>

#include "app/file_result.h"

// Bytes to write, one piece after another.
struct FilePiece {
    const void* bytes;
    size_t size;
};

// Done when `path` names a file that may be written: not a folder, not a device, and not
// an existing file unless `replace` is set.
ImageResult CheckOutputFile(const wchar_t* path, bool replace);

// Writes the pieces, in order, to a temporary file in the folder of `path` and renames it to
// `path`, under CheckOutputFile's rule. On failure no file is left behind.
ImageResult WriteFileSafely(const wchar_t* path, const FilePiece* pieces, int count, bool replace);
