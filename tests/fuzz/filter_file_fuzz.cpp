// Arbitrary bytes as a filter file, read by the program's own parser on a fresh filter table.
// Bytes before a NUL are the file's path (so base names are fuzzed too), the rest the file.
// A libFuzzer target for scripts/fuzz.sh, replayed over the corpus by corpus_replay_test.cpp.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "filter/filter_file.h"
#include "filter/filter_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const char* nul = static_cast<const char*>(std::memchr(bytes, 0, size));
    const std::string path = nul ? std::string(bytes, nul) : "C:\\Prismolenteer\\filter\\fuzz.plf";
    // An exact-size copy, so that AddressSanitizer sees any read past the file's end.
    std::string content = nul ? std::string(nul + 1, bytes + size) : std::string(bytes, size);

    std::memset(&filterTable, 0, sizeof filterTable);
    RegisterBuiltinFilters();
    if (std::FILE* file = fmemopen(content.empty() ? nullptr : &content[0], content.size(), "r")) {
        ReadFilterFile(file, path.c_str(), 1041);
        std::fclose(file);
    }
    return 0;
}
