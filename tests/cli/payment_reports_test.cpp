// tarvotool pain002 and pain: the JSON keys each record has and may have, the input
// from a file or standard input, and the exit codes with where the reason goes.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "run_tool.h"

using cli_test::run;
using json = nlohmann::json;

namespace {

std::string sample(const std::string &name) { return TARVO_SHARED_DIR "/samples/pain002/" + name; }

std::vector<json> lines_of(const std::string &out) {
    std::vector<json> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(json::parse(line));
    return lines;
}

// Keys the JSON of a status record may have: exactly those, none other.
const std::set<std::string> status_keys = {"level", "originalMessageId", "originalPaymentInformationId",
                                           "originalEndToEndId", "originalInstructionId", "status", "reasons",
                                           "additionalInfo", "counts", "originalUETR", "version"};

TEST(Pain002Command, JsonLinesWithTheNamedKeysOnly) {
    struct Case {
        std::string file;
        std::vector<std::string> levels;
        std::string version;
    };
    const Case cases[] = {
        {"hbci4java_test-pain-parse-0020110-01.xml", {"group", "payment", "transaction"}, "unversioned"},
        {"sepa_file_parser_pain002_valid_example_001.03.xml", {"group"}, "pain.002.001.03.ch.02"},
        {"sepa_file_parser_pain002_valid_example.xml", {"group", "payment", "transaction"}, "pain.002.001.03"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const auto r = run("C", {"pain002", "--json", sample(c.file)});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        const std::vector<json> lines = lines_of(r.out);
        ASSERT_EQ(lines.size(), c.levels.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i]["level"], c.levels[i]);
            EXPECT_EQ(lines[i]["version"], c.version);
            for (const auto &[key, value] : lines[i].items()) EXPECT_EQ(status_keys.count(key), 1U) << key;
        }
    }
    const json vop = lines_of(run("C", {"pain002", "--json", sample(cases[0].file)}).out)[0];
    EXPECT_EQ(vop["counts"], json::parse(R"({"RCVC":0,"RVNM":1,"RVMC":0,"RVNA":0,"PDNG":0})"));
    const json rejected = lines_of(run("C", {"pain002", "--json", sample(cases[2].file)}).out)[2];
    EXPECT_EQ(rejected["reasons"], json::array({"AC01"}));
    EXPECT_FALSE(rejected.contains("originalUETR"));
}

TEST(Pain002Command, StandardInputAndExitCodes) {
    struct Case {
        std::vector<std::string> words;
        std::string input;
        int status;
        bool reason_on_stderr;
    };
    const std::string ok = sample("sepa_file_parser_pain002_valid_example_001.03.xml");
    const Case cases[] = {
        {{"pain002", "--json", "-"}, ok, 0, false},
        {{"pain002", "-"}, ok, 0, false},
        {{"pain002", "--json", "/nonexistent.xml"}, "", 1, true},
        {{"pain002", "/nonexistent.xml"}, "", 1, false},
        {{"pain002", "--json", "-"}, TARVO_SHARED_DIR "/samples/camt/README.md", 1, true},
        {{"pain", "--json", sample("sepa_file_parser_pain002_valid_example.xml")}, "", 1, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.words.back());
        cli_test::Output r;
        if (c.words.size() == 3)
            r = run("C", {c.words[0], c.words[1], c.words[2]}, "", c.input);
        else
            r = run("C", {c.words[0], c.words[1]}, "", c.input);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(!r.err.empty(), c.reason_on_stderr) << r.err;
        if (c.status == 1 && !c.reason_on_stderr) {
            EXPECT_NE(r.out.find(": "), std::string::npos) << r.out;
        }
    }
    EXPECT_EQ(run("C", {"pain002", "--json", ok}, "", "").out, run("C", {"pain002", "--json", "-"}, "", ok).out);
}

} // namespace
