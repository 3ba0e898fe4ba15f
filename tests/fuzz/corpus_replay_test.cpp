// Every input of the committed fuzzing corpus, read again under the sanitizers: inputs
// that once found new paths through the parser must stay harmless.

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "filter/filter_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

TEST(FuzzCorpus, EveryInputIsReadWithoutHarm)
{
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PL_FUZZ_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()),
                                         bytes.size()),
                  0);
        EXPECT_GE(filterTable.count, 4);
        EXPECT_LE(filterTable.count, 5);
        ++inputs;
    }
    EXPECT_GE(inputs, 10) << "corpus folder " << PL_FUZZ_CORPUS;
    std::memset(&filterTable, 0, sizeof filterTable);
}

}  // namespace
