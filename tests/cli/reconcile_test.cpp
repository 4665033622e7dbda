// tarvotool reconcile: the JSON keys, the listing's columns and sections, and the exit
// codes and messages of bad input.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "reconcile/reconcile_documents.h"
#include "run_tool.h"
#include "statement/statement_files.h"

using namespace cli_test;
using namespace reconcile_test;
using nlohmann::json;

namespace {

struct Files {
    stmt_test::TempFile payments{transfers("RC-2026-03", march)};
    stmt_test::TempFile other{transfers("RC-OTHER", {{"E2E-BOOK", "1.00", "DE02120300000000202051"}})};
    stmt_test::TempFile status{report(group("RC-2026-03", "PART") + rejected("RC-2026-03-P1", "E2E-RJCT", "AC01"))};
    stmt_test::TempFile stranger{report(group("RC-1999-01", "RJCT"))};
    stmt_test::TempFile camt{notification(entry("100.00", "DBIT", "E2E-BOOK") + entry("99.00", "CRDT", "ELSEWHERE"))};
};

TEST(ReconcileTool, JsonLinesWithTheNamedKeys) {
    const Files f;
    const Output r = run("C", {"reconcile", "--json", "--payments", f.payments.path(), "--status", f.status.path(),
                               "--statements", f.camt.path()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::set<std::string> allowed = {"messageId", "paymentInformationId", "endToEndId", "amount",
                                           "state",     "reason",               "vop",        "evidence"};
    std::vector<json> lines;
    size_t start = 0;
    for (size_t end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(json::parse(r.out.substr(start, end - start)));
    ASSERT_EQ(lines.size(), march.size() + 1);
    for (const json &line : lines)
        for (const auto &[key, value] : line.items()) EXPECT_TRUE(allowed.count(key)) << key;
    EXPECT_EQ(lines[0].value("state", ""), "booked");
    EXPECT_EQ(lines[0].value("evidence", ""), std::string(f.camt.path()).append(" statement 1 entry 1"));
    EXPECT_EQ(lines[1].value("state", ""), "rejected");
    EXPECT_EQ(lines[1].value("reason", ""), "AC01 Incorrect account number");
    EXPECT_EQ(lines[1].value("messageId", ""), "RC-2026-03");
    EXPECT_EQ(lines[1].value("paymentInformationId", ""), "RC-2026-03-P1");
    EXPECT_EQ(lines[1].value("amount", ""), "50.00");
    EXPECT_EQ(lines.back().value("state", ""), "unmatched");
    EXPECT_EQ(lines.back().value("endToEndId", ""), "ELSEWHERE");
}

TEST(ReconcileTool, ExitCodesAndMessages) {
    const Files f;
    struct Case {
        const char *name;
        std::vector<std::string> words;
        int status;
        bool output; // something on standard output
        std::string in_err;
        std::string in_out;
    };
    const Case cases[] = {
        {"listing", {"--payments", f.payments.path(), "--statements", f.camt.path()}, 0, true, "",
         "\nunmatched:\n"},
        {"listing has the verification column", {"--payments", f.payments.path()}, 0, true, "", "VOP"},
        {"end-to-end id in two files", {"--json", "--payments", f.payments.path(), f.other.path()}, 1, false,
         std::string("end-to-end id \"E2E-BOOK\" is in both ").append(f.payments.path()).append(" and ").append(
             f.other.path()),
         ""},
        {"report for another file", {"--json", "--payments", f.payments.path(), "--status", f.stranger.path()}, 0,
         true, std::string("warning: status report ").append(f.stranger.path()).append(" refers to message id \"RC-1999-01\""),
         "\"messageId\":\"RC-1999-01\""},
        {"unreadable payment file", {"--payments", f.camt.path()}, 1, false, f.camt.path(), ""},
        {"no payment file", {"--statements", f.camt.path()}, 1, false, "Usage:", ""},
        {"file before any option", {f.payments.path()}, 1, false, "Usage:", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> words{"reconcile"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        const Output r = run("C", words);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(!r.out.empty(), c.output) << r.out;
        EXPECT_NE(r.err.find(c.in_err), std::string::npos) << r.err;
        EXPECT_NE(r.out.find(c.in_out), std::string::npos) << r.out;
    }
}

} // namespace
