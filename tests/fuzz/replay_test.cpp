// Replays the inputs kept for one fuzz target (its seeds, every input that once made it
// fail, and the shared samples it starts from) through the target's own entry point: a
// crash or a failed invariant of the target aborts the test.
#include <stdint.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

TEST(FuzzReplay, KeptInputs) {
    size_t replayed = 0;
    for (const char *dir : {FUZZ_SEEDS_DIR, FUZZ_REGRESSIONS_DIR, FUZZ_SAMPLES_DIR}) {
        if (*dir == '\0' || !std::filesystem::is_directory(dir)) continue;
        for (const auto &entry : std::filesystem::directory_iterator(dir)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream file(entry.path(), std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
            SCOPED_TRACE(entry.path().string());
            EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size()), 0);
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0u) << "no seeds kept for this target";
}

} // namespace
