// Reconciliation through the C interface on documents the library writes itself, with
// status reports and camt.054 notifications written to fit them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "reconcile/reconcile_documents.h"
#include "tarvo.h"

namespace {

using namespace reconcile_test;

struct FreeReconciliation {
    void operator()(tarvo_reconcile_t *r) const { tarvo_reconcile_free(r); }
};
using Handle = std::unique_ptr<tarvo_reconcile_t, FreeReconciliation>;

struct Expected {
    std::string state, reason, vop, evidence;
};

// The rows by end-to-end id (open ids by amount).
std::map<std::string, Expected> run(tarvo_reconcile_t *r) {
    EXPECT_EQ(tarvo_reconcile_run(r), 1) << tarvo_reconcile_getError(r);
    std::map<std::string, Expected> rows;
    for (size_t i = 0; i < tarvo_reconcile_count(r); ++i) {
        const tarvo_reconcile_row_t *row = tarvo_reconcile_row(r, i);
        const auto text = [](const char *t) { return std::string(t != nullptr ? t : ""); };
        std::string key = text(row->endToEndId);
        if (key == "NOTPROVIDED") key.append(" ").append(text(row->amount));
        if (row->unmatched != 0) key = std::string("unmatched ").append(text(row->evidence));
        rows[key] = {row->state, text(row->reason), text(row->vop), text(row->evidence)};
    }
    return rows;
}

TEST(ReconcileDocuments, OneScenarioPerState) {
    Handle r(tarvo_reconcile_new());
    const std::string march_file = transfers("RC-2026-03", march);
    const std::string april_file = transfers("RC-2026-04", {{"E2E-APRIL", "30.00", "DE02120300000000202051"}});
    ASSERT_EQ(tarvo_reconcile_addPaymentsMemory(r.get(), march_file.data(), march_file.size(), "march.xml"), 1);
    ASSERT_EQ(tarvo_reconcile_addPaymentsMemory(r.get(), april_file.data(), april_file.size(), "april.xml"), 1);
    const std::string status = report(group("RC-2026-03", "PART") + rejected("RC-2026-03-P1", "E2E-RJCT", "AC01"));
    ASSERT_EQ(tarvo_reconcile_addStatusMemory(r.get(), status.data(), status.size(), "status.xml"), 1)
        << tarvo_reconcile_getError(r.get());
    const std::string camt =
        notification(entry("100.00", "DBIT", "E2E-BOOK") + entry("20.00", "DBIT", "E2E-RTRN") +
                     entry("20.00", "CRDT", "E2E-RTRN", returned_with("AC04")) +
                     entry("7.00", "DBIT", "NOTPROVIDED", counterparty("DE02370502990000684712"),
                           "<Btch><PmtInfId>RC-2026-03-P1</PmtInfId><NbOfTxs>1</NbOfTxs></Btch>") +
                     entry("99.00", "CRDT", "SOMEONE-ELSE"));
    ASSERT_EQ(tarvo_reconcile_addStatementsMemory(r.get(), camt.data(), camt.size(), "camt.xml"), 1)
        << tarvo_reconcile_getError(r.get());

    const std::map<std::string, Expected> expected = {
        {"E2E-BOOK", {"booked", "", "", "camt.xml statement 1 entry 1"}},
        {"E2E-RJCT", {"rejected", "AC01 Incorrect account number", "", "status.xml OrgnlPmtInfAndSts[1]/TxInfAndSts[1]"}},
        {"E2E-RTRN", {"returned", "AC04 Closed account number", "", "camt.xml statement 1 entry 3"}},
        {"E2E-ACCP", {"accepted", "", "", "status.xml OrgnlGrpInfAndSts[1]"}},
        {"NOTPROVIDED 7.00", {"booked", "", "", "camt.xml statement 1 entry 4"}},
        {"E2E-APRIL", {"unknown", "", "", ""}},
        {"unmatched camt.xml statement 1 entry 5", {"unmatched", "", "", "camt.xml statement 1 entry 5"}},
    };
    const std::map<std::string, Expected> rows = run(r.get());
    ASSERT_EQ(rows.size(), expected.size());
    for (const auto &[key, want] : expected) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(rows.count(key));
        const Expected &got = rows.at(key);
        EXPECT_EQ(got.state, want.state);
        EXPECT_EQ(got.reason, want.reason);
        EXPECT_EQ(got.evidence, want.evidence);
    }
    EXPECT_EQ(tarvo_reconcile_warningCount(r.get()), 0u);
}

TEST(ReconcileDocuments, PayeeVerificationIsItsOwnColumn) {
    Handle r(tarvo_reconcile_new());
    const std::string file = transfers("RC-VOP", {{"E2E-V1", "12.00", "DE02120300000000202051"},
                                                  {"E2E-V2", "13.00", "DE02500105170137075030"}});
    ASSERT_EQ(tarvo_reconcile_addPaymentsMemory(r.get(), file.data(), file.size(), "vop.xml"), 1);
    const std::string status =
        report(group("RC-VOP", "RVMC") + "<OrgnlPmtInfAndSts><OrgnlPmtInfId>RC-VOP-P1</OrgnlPmtInfId><TxInfAndSts>"
                                         "<OrgnlEndToEndId>E2E-V2</OrgnlEndToEndId><TxSts>RVNM</TxSts></TxInfAndSts>"
                                         "</OrgnlPmtInfAndSts>");
    ASSERT_EQ(tarvo_reconcile_addStatusMemory(r.get(), status.data(), status.size(), "vop-report.xml"), 1)
        << tarvo_reconcile_getError(r.get());
    const std::map<std::string, Expected> rows = run(r.get());
    EXPECT_EQ(rows.at("E2E-V1").vop, "RVMC");
    EXPECT_EQ(rows.at("E2E-V2").vop, "RVNM");
    EXPECT_EQ(rows.at("E2E-V2").state, "unknown"); // a verification result is no acceptance
}

TEST(ReconcileDocuments, BadInput) {
    struct Case {
        const char *name;
        std::string second_payments;
        std::string status;
        std::string statements;
        int run;
        const char *message; // the error, or the one warning
    };
    const std::string march_file = transfers("RC-2026-03", march);
    const Case cases[] = {
        {"end-to-end id in two files", transfers("RC-OTHER", {{"E2E-RTRN", "1.00", "DE02120300000000202051"}}), "",
         "", -1, "end-to-end id \"E2E-RTRN\" is in both march.xml and second.xml"},
        {"report for another file", "", report(group("RC-1999-01", "ACCP")), "", 1,
         "status report status.xml refers to message id \"RC-1999-01\", which no payment file has"},
        {"amounts disagree", "", "", notification(entry("100.01", "DBIT", "E2E-BOOK")), 1,
         "statement entry camt.xml statement 1 entry 1 for end-to-end id \"E2E-BOOK\" has the amount 100.01 EUR, "
         "the payment in march.xml 100.00 EUR; not matched"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Handle r(tarvo_reconcile_new());
        ASSERT_EQ(tarvo_reconcile_addPaymentsMemory(r.get(), march_file.data(), march_file.size(), "march.xml"), 1);
        if (!c.second_payments.empty()) {
            ASSERT_EQ(tarvo_reconcile_addPaymentsMemory(r.get(), c.second_payments.data(), c.second_payments.size(),
                                                        "second.xml"),
                      1);
        }
        if (!c.status.empty()) {
            ASSERT_EQ(tarvo_reconcile_addStatusMemory(r.get(), c.status.data(), c.status.size(), "status.xml"), 1);
        }
        if (!c.statements.empty()) {
            ASSERT_EQ(
                tarvo_reconcile_addStatementsMemory(r.get(), c.statements.data(), c.statements.size(), "camt.xml"), 1);
        }
        ASSERT_EQ(tarvo_reconcile_run(r.get()), c.run);
        if (c.run == -1) {
            EXPECT_STREQ(tarvo_reconcile_getError(r.get()), c.message);
            EXPECT_EQ(tarvo_reconcile_count(r.get()), 0u);
        } else {
            ASSERT_EQ(tarvo_reconcile_warningCount(r.get()), 1u);
            EXPECT_STREQ(tarvo_reconcile_warning(r.get(), 0), c.message);
            // Whatever matched nothing is still listed after the payments.
            const tarvo_reconcile_row_t *last = tarvo_reconcile_row(r.get(), tarvo_reconcile_count(r.get()) - 1);
            EXPECT_EQ(last->unmatched, 1);
        }
    }
}

TEST(ReconcileDocuments, RefusedDocumentLeavesTheHandleAsItWas) {
    struct Case {
        const char *name;
        int (*add)(tarvo_reconcile_t *, const char *, size_t, const char *);
        std::string document;
    };
    const Case cases[] = {
        {"payments that are a statement", tarvo_reconcile_addPaymentsMemory, notification(entry("1.00", "DBIT", "X"))},
        {"status report cut off", tarvo_reconcile_addStatusMemory, report(group("RC-2026-03", "ACCP")).substr(0, 120)},
        {"statement that is no statement", tarvo_reconcile_addStatementsMemory, "hello\n"},
    };
    const std::string march_file = transfers("RC-2026-03", march);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Handle r(tarvo_reconcile_new());
        ASSERT_EQ(tarvo_reconcile_addPaymentsMemory(r.get(), march_file.data(), march_file.size(), "march.xml"), 1);
        EXPECT_EQ(c.add(r.get(), c.document.data(), c.document.size(), "bad.xml"), -1);
        ASSERT_NE(tarvo_reconcile_getError(r.get()), nullptr);
        EXPECT_EQ(std::string(tarvo_reconcile_getError(r.get())).rfind("bad.xml: ", 0), 0u);
        ASSERT_EQ(tarvo_reconcile_run(r.get()), 1);
        EXPECT_EQ(tarvo_reconcile_count(r.get()), march.size());
    }
}

} // namespace
