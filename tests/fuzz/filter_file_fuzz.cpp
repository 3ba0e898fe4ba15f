// Arbitrary bytes as a filter file, read by the program's own parser on a fresh filter
// table. When the input holds a NUL byte, the bytes before it are the file's path (so
// base names are fuzzed too) and the rest is the file; otherwise the whole input is the
// file. Built by scripts/fuzz.sh as a libFuzzer target, and replayed over the committed
// corpus by corpus_replay_test.cpp in the native test tree.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "filter/filter_file.h"
#include "filter/filter_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const void* nul = std::memchr(data, 0, size);
    std::string path = "C:\\Prismolenteer\\filter\\fuzz.plf";
    size_t fileStart = 0;
    if (nul != nullptr) {
        fileStart = static_cast<size_t>(static_cast<const uint8_t*>(nul) - data) + 1;
        path.assign(bytes, fileStart - 1);
    }

    std::memset(&filterTable, 0, sizeof filterTable);
    std::memset(&enabledList, 0, sizeof enabledList);
    RegisterBuiltinFilters();

    // An exact-size copy, so that AddressSanitizer sees any read past the file's end.
    std::string content(bytes + fileStart, size - fileStart);
    std::FILE* file = fmemopen(content.empty() ? nullptr : &content[0], content.size(), "r");
    if (file == nullptr)
        return 0;
    ReadFilterFile(file, path.c_str(), 1041);
    std::fclose(file);
    return 0;
}
