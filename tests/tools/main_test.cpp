// The generator program as the build runs it: exit codes, messages, and byte-identical
// output for the same reference data.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "input.h"
#include "temp_dir.h"

namespace {

class GeneratorProgram : public TempDir {
protected:
    // Exit status of the program with these arguments; its error output lands in err.
    int run(const std::string &args) {
        const std::string command = std::string(TARVOGEN_PROGRAM) + " " + args + " >" + (dir() / "out.txt").string() +
                                    " 2>" + (dir() / "err.txt").string();
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string read(const std::filesystem::path &path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(GeneratorProgram, MissingDataFolderStopsWithAMessage) {
    EXPECT_EQ(run((dir() / "no-data").string() + " " + (dir() / "gen").string()), 1);
    EXPECT_NE(read(dir() / "err.txt").find("the reference data folder is missing"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir() / "gen" / "directory_data.cpp"));
}

TEST_F(GeneratorProgram, UsageAndUnknownModules) {
    EXPECT_EQ(run(""), 2);
    EXPECT_NE(read(dir() / "err.txt").find("usage: tarvogen DATA_DIR OUT_DIR"), std::string::npos);
    EXPECT_EQ(run(std::string(TARVO_SHARED_DIR "/data ") + (dir() / "gen").string() + " nosuchmodule"), 2);
    EXPECT_NE(read(dir() / "err.txt").find("no module \"nosuchmodule\""), std::string::npos);
}

TEST_F(GeneratorProgram, SameReferenceDataGivesTheSameBytes) {
    const std::string data = TARVO_SHARED_DIR "/data";
    ASSERT_EQ(run(data + " " + (dir() / "a").string() + " directory"), 0) << read(dir() / "err.txt");
    ASSERT_EQ(run(data + " " + (dir() / "b").string() + " directory"), 0) << read(dir() / "err.txt");
    for (const char *file : {"directory_data.h", "directory_data.cpp"}) {
        const std::string a = read(dir() / "a" / file);
        EXPECT_GT(a.size(), 0u) << file;
        EXPECT_EQ(a, read(dir() / "b" / file)) << file;
    }
    // Only the named module ran.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir() / "a"), std::filesystem::directory_iterator()), 2);
    EXPECT_NE(read(dir() / "out.txt").find("tarvogen: directory: "), std::string::npos);
}

} // namespace
