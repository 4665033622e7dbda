// A scratch folder for generator tests, removed with the fixture.
#ifndef TARVO_TESTS_TOOLS_TEMP_DIR_H
#define TARVO_TESTS_TOOLS_TEMP_DIR_H

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = std::filesystem::temp_directory_path() /
               ("tarvogen_test_" + std::to_string(rd()) + "_" + std::to_string(rd()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    // Writes bytes exactly as given (no line-end translation) and returns the path.
    std::filesystem::path write(const std::string &name, std::string_view bytes) {
        auto path = dir_ / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary);
        out << bytes;
        return path;
    }
    const std::filesystem::path &dir() const { return dir_; }

private:
    std::filesystem::path dir_;
};

// The message of the InputError that fn throws, or "" when it throws none.
template <typename Fn>
std::string error_of(Fn fn) {
    try {
        fn();
    } catch (const tarvogen::InputError &e) {
        return e.what();
    }
    return "";
}

#endif
