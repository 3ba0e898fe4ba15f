// The committed fuzzing corpus read again under the sanitizers: every input stays harmless.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "filter/filter_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(FuzzCorpus, EveryInputIsReadWithoutHarm)
{
    for (const auto& entry : std::filesystem::directory_iterator(PL_FUZZ_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        EXPECT_TRUE(filterTable.count == 4 || filterTable.count == 5) << entry.path().filename();
    }
}
