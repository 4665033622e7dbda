// The parser handle: its life cycle, the one-load rule and the file errors.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "statement_files.h"

using namespace stmt_test;

namespace {

const std::string one_statement = crlf(":20:REF1\n"
                                       ":25:12345678/0001\n"
                                       ":28C:1\n"
                                       ":60F:C240101EUR10,00\n"
                                       ":61:240102C5,00NTRFNONREF\n"
                                       ":62F:C240102EUR15,00\n"
                                       "-\n");

TEST(ParserHandle, NullHandleIsRefusedEverywhere) {
    EXPECT_STREQ(tarvo_stmt_parser_getError(nullptr), "invalid tarvo_stmt_parser_t handle");
    EXPECT_EQ(tarvo_stmt_parser_getStatement(nullptr), nullptr);
    EXPECT_EQ(tarvo_stmt_parser_load(nullptr, TARVO_STMT_FORMAT_MT940, "/dev/null"), 0);
    tarvo_stmt_parser_free(nullptr);
}

TEST(ParserHandle, FreshHandleHasNoErrorAndNoStatement) {
    tarvo_stmt_parser_t *p = tarvo_stmt_parser_new();
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(tarvo_stmt_parser_getError(p), "");
    EXPECT_EQ(tarvo_stmt_parser_getStatement(p), nullptr);
    tarvo_stmt_parser_free(p);
}

TEST(ParserHandle, ErrorTextLiesAtTheHandleAddress) {
    Parsed parsed("", 2);
    EXPECT_EQ(static_cast<const void *>(tarvo_stmt_parser_getError(parsed.parser())),
              static_cast<const void *>(parsed.parser()));
}

TEST(ParserHandle, OtherFormatIsRefusedAndUsesTheHandle) {
    TempFile file(one_statement);
    tarvo_stmt_parser_t *p = tarvo_stmt_parser_new();
    EXPECT_EQ(tarvo_stmt_parser_load(p, 2, file.path()), 0);
    EXPECT_STREQ(tarvo_stmt_parser_getError(p), "Format not (yet) supported");
    EXPECT_EQ(tarvo_stmt_parser_load(p, TARVO_STMT_FORMAT_MT940, file.path()), 0);
    EXPECT_STREQ(tarvo_stmt_parser_getError(p), "Parser already used");
    EXPECT_EQ(tarvo_stmt_parser_getStatement(p), nullptr);
    tarvo_stmt_parser_free(p);
}

TEST(ParserHandle, SecondLoadKeepsTheFirstRecords) {
    TempFile file(one_statement);
    Parsed parsed(Path{file.path()});
    ASSERT_EQ(parsed.result(), 1);
    EXPECT_EQ(parsed.error(), "");
    const tarvo_stmt_t *before = tarvo_stmt_parser_getStatement(parsed.parser());
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(tarvo_stmt_parser_load(parsed.parser(), TARVO_STMT_FORMAT_MT940, file.path()), 0);
    EXPECT_EQ(parsed.error(), "Parser already used");
    EXPECT_EQ(tarvo_stmt_parser_getStatement(parsed.parser()), before);
    EXPECT_EQ(text(before->ref), "REF1");
}

TEST(LoadErrors, MissingFile) {
    Parsed parsed(Path{"/nonexistent/dir/statement.sta"});
    EXPECT_EQ(parsed.result(), 0);
    EXPECT_EQ(parsed.error(), "Can't open input file: No such file or directory");
}

TEST(LoadErrors, NullPath) {
    Parsed parsed(Path{nullptr});
    EXPECT_EQ(parsed.result(), 0);
    EXPECT_EQ(parsed.error().rfind("Can't open input file: ", 0), 0u) << parsed.error();
}

// Both formats open their file through the same checks.
constexpr int file_formats[] = {TARVO_STMT_FORMAT_MT940, TARVO_STMT_FORMAT_CAMT};

TEST(LoadErrors, EmptyFile) {
    for (const int format : file_formats) {
        Parsed parsed("", format);
        EXPECT_EQ(parsed.result(), 0) << format;
        EXPECT_EQ(parsed.error(), "Input file is empty") << format;
    }
}

TEST(LoadErrors, DirectoryCannotBeRead) {
    for (const int format : file_formats) {
        Parsed parsed(Path{"/"}, format);
        EXPECT_EQ(parsed.result(), 0) << format;
        EXPECT_EQ(parsed.error(), "Input is not a regular file") << format;
        EXPECT_EQ(tarvo_stmt_parser_getStatement(parsed.parser()), nullptr);
    }
}

// A FIFO without a writer would block the open, /dev/zero would be read without end and
// /dev/null looked like an empty file: all are refused at once, before any read.
TEST(LoadErrors, OnlyRegularFilesAreRead) {
    char dir[] = "/tmp/tarvo-fifo-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string fifo = std::string(dir) + "/statement.sta";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const int format : file_formats) {
        for (const std::string &path : {fifo, std::string("/dev/zero"), std::string("/dev/null")}) {
            Parsed parsed(Path{path.c_str()}, format);
            EXPECT_EQ(parsed.result(), 0) << path << " " << format;
            EXPECT_EQ(parsed.error(), "Input is not a regular file") << path << " " << format;
            EXPECT_EQ(tarvo_stmt_parser_getStatement(parsed.parser()), nullptr);
        }
    }
    unlink(fifo.c_str());
    rmdir(dir);
}

TEST(LoadErrors, LeadingNulByteFails) {
    Parsed parsed(std::string("\0:20:X\r\n", 8));
    EXPECT_EQ(parsed.result(), 0);
    EXPECT_NE(parsed.error(), "");
    EXPECT_EQ(tarvo_stmt_parser_getStatement(parsed.parser()), nullptr);
}

// Files of the kernel's sysfs claim a size of a whole page but hold a few bytes: the
// same situation as a statement file cut short while it is read.
TEST(LoadErrors, FileShorterThanItsSizeIsNotParsedInPart) {
    const char *candidates[] = {"/sys/kernel/mm/transparent_hugepage/enabled", "/sys/devices/system/cpu/online",
                                "/sys/kernel/uevent_seqnum", "/sys/power/state"};
    for (const char *path : candidates) {
        struct stat st;
        if (stat(path, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) continue;
        std::ifstream in(path);
        std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (content.empty() || static_cast<off_t>(content.size()) >= st.st_size) continue;
        Parsed parsed(Path{path});
        EXPECT_EQ(parsed.result(), 0);
        EXPECT_EQ(parsed.error(), "Error while reading from file: file changed size while it was read");
        return;
    }
    GTEST_SKIP() << "no file that reports more bytes than it holds";
}

TEST(LoadErrors, FileWithoutStatementIsRefused) {
    Parsed parsed(crlf("ABNANL2A\n940\nno statement here :20: inline\n"));
    EXPECT_EQ(parsed.result(), 0);
    EXPECT_EQ(parsed.error(), "No MT940 statement found");
    EXPECT_EQ(tarvo_stmt_parser_getStatement(parsed.parser()), nullptr);
}

} // namespace
