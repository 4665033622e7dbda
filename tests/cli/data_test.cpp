// tarvotool data build / data info and TARVO_DATA: the tool's side of bank data files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "run_tool.h"

namespace {

using cli_test::Output;
using cli_test::run;

const std::string older_edition = std::string(TARVO_SHARED_DIR) + "/data/de/blz_2025_06_09.txt";

class DataCommand : public ::testing::Test {
protected:
    std::string file = "/tmp/tarvotool-data-test." + std::to_string(getpid()) + ".tdat";
    void TearDown() override { std::filesystem::remove(file); }
};

TEST_F(DataCommand, BuildsAFileThatEveryCommandUsesThroughTarvoData_SharedEdition) {
    const Output built = run("C", {"data", "build", "--out", file, "--blz", older_edition});
    ASSERT_EQ(built.status, 0) << built.err;
    // The newer edition withdrew this bank's BIC; the older one names it.
    const Output compiled = run("C", {"bankid", "DE", "70010588"});
    const Output loaded = run("C", {"bankid", "DE", "70010588"}, "TARVO_DATA=" + file);
    EXPECT_EQ(loaded.err, "");
    EXPECT_EQ(compiled.out.find("SCABDEMMXXX"), std::string::npos) << compiled.out;
    EXPECT_NE(loaded.out.find("SCABDEMMXXX"), std::string::npos) << loaded.out;

    const Output info = run("C", {"data", "info", "--json"}, "TARVO_DATA=" + file);
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.out.substr(0, info.out.find('\n')),
              "{\"source\":\"bundesbank\",\"edition\":\"2025-06-09\",\"validUntil\":\"2025-09-07\",\"origin\":\"file\","
              "\"path\":\"" + file + "\"}");
    // The file's edition ran out long ago.
    EXPECT_NE(info.err.find("tarvotool: warning: bank codes valid until 2025-09-07: "), std::string::npos) << info.err;
}

TEST_F(DataCommand, ARefusedTarvoDataIsReportedAndTheCompiledInDataAnswers) {
    const Output r = run("C", {"data", "info", "--json"}, "TARVO_DATA=/");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              "tarvotool: TARVO_DATA: /: not a file: a directory; using the compiled-in bank data");
    EXPECT_EQ(r.out.find("\"origin\":\"file\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"origin\":\"compiled-in\""), std::string::npos) << r.out;
}

TEST_F(DataCommand, WrongBuildOptionsNameTheOption) {
    const struct {
        std::initializer_list<std::string> words;
        const char *message;
    } cases[] = {
        {{"data", "build", "--blz", older_edition}, "tarvotool data build: --out FILE is required\n"},
        {{"data", "build", "--out", file, "--scl-edition", "2016-13"},
         "tarvotool data build: --scl-edition 2016-13: not a date (YYYY-MM-DD)\n"},
        {{"data", "build", "--out", file, "--blz", "/dev/null"},
         "tarvotool data build: /dev/null: the name carries no edition date; give --blz-edition YYYY-MM-DD\n"},
        {{"data", "build", "--out", file, "--colour", "red"}, "tarvotool data build: --colour: unknown option\n"},
        {{"data", "build", "--out"}, "tarvotool data build: --out: missing value\n"},
    };
    for (const auto &c : cases) {
        const Output r = run("C", c.words);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.message);
        EXPECT_FALSE(std::filesystem::exists(file));
    }
}

} // namespace
