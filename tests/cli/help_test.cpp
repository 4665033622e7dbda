// tarvotool --help, <command> --help, --version, and IBANs as typed in check.
#include <gtest/gtest.h>

#include <string>

#include "run_tool.h"
#include "tarvo.h"

using namespace cli_test;

namespace {

const std::string program = TARVOTOOL_PATH;

TEST(Help, VersionIsTheLibrarysVersionWithTheBankDataEditions) {
    const Output r = run("C", {"--version"});
    EXPECT_EQ(r.status, 0);
    const std::string head = std::string("tarvotool ") + tarvo_version_str + "\nbank data:\n";
    EXPECT_EQ(r.out.substr(0, head.size()), head);
    EXPECT_NE(r.out.find("\nbundesbank  "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nsix  "), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST(Help, ListsEveryCommandOnStandardOutput) {
    const Output r = run("C", {"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("Usage: " + program + " <command> <arguments>\n", 0), 0u) << r.out;
    for (const char *command : {"bankid <country> <bank_id>", "convert <country> <bank_id> <account>", "getbic <iban>",
                                "check <iban>", "bic <bic>", "mt940 [--json] <file>", "camt053 [--json] <file>",
                                "pain002 [--json] <file|->", "pain [--json] <file|->",
                                "check-batch [--json] [-j N] <file|->", "convert-batch [--json] [-j N] <file|->"})
        EXPECT_NE(r.out.find(std::string("\n  ") + command + " "), std::string::npos) << command;
}

TEST(Help, EachCommandHasItsOwn) {
    for (const char *command : {"bankid", "check", "mt940", "check-batch", "convert-batch"}) {
        const Output r = run("C", {command, "--help"});
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_EQ(r.out.rfind("Usage: " + program + " " + command + " ", 0), 0u) << r.out;
        EXPECT_EQ(r.err, "");
    }
    EXPECT_NE(run("C", {"mt940", "--help"}).out.find("--json"), std::string::npos);
    EXPECT_NE(run("C", {"convert-batch", "--help"}).out.find("Exit code: 0 every line valid"), std::string::npos);
}

TEST(Check, AcceptsTheIbanAsTyped) {
    struct Case {
        const char *typed;
        const char *out;
        int status;
    };
    constexpr Case cases[] = {
        {"DE89 3704 0044 0532 0130 00", "IBAN ok.\n", 0},
        {"iban: de89370400440532013000", "IBAN ok.\n", 0},
        {"DE89 3704 0044 0532 0130 01", "Invalid IBAN: Invalid IBAN checksum\n", 1},
        {"DE89-3704-0044-0532-0130-00", "Invalid IBAN: Wrong IBAN length\n", 1},
    };
    for (const Case &c : cases) {
        const Output r = run("C", {"check", c.typed});
        EXPECT_EQ(r.out, c.out) << c.typed;
        EXPECT_EQ(r.status, c.status) << c.typed;
    }
}

} // namespace
