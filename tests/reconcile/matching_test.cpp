// Matching on plain records: which evidence decides a state, which keys join, and what
// is refused or warned about.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reconcile/reconcile.h"

using namespace tarvo::reconcile;

namespace {

constexpr Kind CT = Kind::CreditTransfer;
constexpr Kind DD = Kind::DirectDebit;

// Two files: a credit transfer message of two blocks and a direct debit message whose
// last two transactions have open end-to-end ids.
std::vector<Payment> payments() {
    return {
        {"M1", "M1-P1", "E1", "", "DE01", "EUR", "a.xml", 10000, CT},
        {"M1", "M1-P1", "E2", "", "DE02", "EUR", "a.xml", 5000, CT},
        {"M1", "M1-P2", "E3", "", "DE03", "EUR", "a.xml", 2000, CT},
        {"M2", "M2-P1", "D1", "", "DE04", "EUR", "b.xml", 3000, DD},
        {"M2", "M2-P1", "NOTPROVIDED", "U9", "DE09", "EUR", "b.xml", 4000, DD},
        {"M2", "M2-P1", "NOTPROVIDED", "", "DE08", "EUR", "b.xml", 4000, DD},
    };
}

Status group(std::string_view msg, std::string_view status, std::string_view reasons = {}) {
    Status s;
    s.level = Level::Group;
    s.message_id = msg;
    s.status = status;
    s.reasons = reasons;
    s.source = "s.xml";
    s.element = "OrgnlGrpInfAndSts";
    return s;
}

Status block(std::string_view msg, std::string_view pmtinf, std::string_view status) {
    Status s = group(msg, status);
    s.level = Level::Payment;
    s.payment_information_id = pmtinf;
    s.element = "OrgnlPmtInfAndSts[1]";
    return s;
}

Status tx(std::string_view msg, std::string_view e2e, std::string_view status, std::string_view reasons = {}) {
    Status s = group(msg, status, reasons);
    s.level = Level::Transaction;
    s.end_to_end_id = e2e;
    s.element = "TxInfAndSts[1]";
    return s;
}

Entry entry(std::string_view e2e, int64_t cents, bool credit, std::string_view element = "entry 1") {
    Entry e;
    e.end_to_end_id = e2e;
    e.cents = cents;
    e.credit = credit;
    e.currency = "EUR";
    e.source = "k.xml";
    e.element = element;
    return e;
}

Entry returned(Entry e, std::string_view reason) {
    e.return_reason = reason;
    return e;
}

Entry batch(std::string_view pmtinf, std::string_view msg, int64_t cents, bool credit) {
    Entry e = entry({}, cents, credit, "entry 9");
    e.batch = true;
    e.batch_payment_information_id = pmtinf;
    e.batch_message_id = msg;
    return e;
}

Entry details(std::string_view ids, int64_t cents) {
    Entry e = batch({}, {}, cents, false);
    e.detail_ids = ids;
    return e;
}

Entry open_id(std::string_view uetr, std::string_view pmtinf, std::string_view iban, int64_t cents) {
    Entry e = entry("NOTPROVIDED", cents, true);
    e.uetr = uetr;
    e.batch_payment_information_id = pmtinf;
    e.iban = iban;
    return e;
}

struct Scenario {
    const char *name;
    std::vector<Status> statuses;
    std::vector<Entry> entries;
    size_t payment; // whose row is checked
    const char *state;
    const char *evidence;
    const char *reason = "";
    const char *vop = "";
};

Reconciliation reconcile(const std::vector<Status> &statuses, const std::vector<Entry> &entries) {
    Reconciliation r;
    r.payments = payments();
    r.statuses = statuses;
    r.entries = entries;
    EXPECT_TRUE(r.run()) << r.error;
    return r;
}

Entry reversal(Entry e) {
    e.reversal = true;
    return e;
}

Entry gvc(Entry e, uint32_t code) {
    e.gvc = code;
    return e;
}

Entry pending(Entry e) {
    e.pending = true;
    return e;
}

TEST(Reconcile, EvidenceDecidesTheState) {
    const Scenario scenarios[] = {
        {"no evidence", {}, {}, 0, "unknown", ""},
        {"accepted transaction", {tx("M1", "E1", "ACCP")}, {}, 0, "accepted", "s.xml TxInfAndSts[1]"},
        {"rejected transaction", {tx("M1", "E1", "RJCT", "AC01")}, {}, 0, "rejected", "s.xml TxInfAndSts[1]",
         "AC01 Incorrect account number"},
        {"rejection of another transaction", {tx("M1", "E2", "RJCT", "AC01")}, {}, 0, "unknown", ""},
        {"rejected block", {block("M1", "M1-P1", "RJCT")}, {}, 1, "rejected", "s.xml OrgnlPmtInfAndSts[1]"},
        {"rejected block leaves the other block", {block("M1", "M1-P1", "RJCT")}, {}, 2, "unknown", ""},
        {"rejected file", {group("M1", "RJCT", "FF01")}, {}, 2, "rejected", "s.xml OrgnlGrpInfAndSts",
         "FF01 Invalid file format"},
        {"partial block without own status", {block("M1", "M1-P1", "PART"), tx("M1", "E2", "RJCT", "AM04")}, {}, 0,
         "accepted", "s.xml OrgnlPmtInfAndSts[1]"},
        {"partial block with own rejection", {block("M1", "M1-P1", "PART"), tx("M1", "E2", "RJCT", "AM04")}, {}, 1,
         "rejected", "s.xml TxInfAndSts[1]", "AM04 Insufficient funds"},
        {"accepted file, rejected transaction", {group("M1", "ACTC"), tx("M1", "E1", "RJCT", "AC04")}, {}, 0,
         "rejected", "s.xml TxInfAndSts[1]", "AC04 Closed account number"},
        {"pending decides nothing", {tx("M1", "E1", "PDNG")}, {}, 0, "unknown", ""},
        {"transfer booked by a debit", {}, {entry("E1", 10000, false)}, 0, "booked", "k.xml entry 1"},
        {"direct debit booked by a credit", {}, {entry("D1", 3000, true)}, 3, "booked", "k.xml entry 1"},
        {"transfer not booked by a credit", {}, {entry("E1", 10000, true)}, 0, "unknown", ""},
        {"booking outranks rejection", {tx("M1", "E1", "RJCT", "AC01")}, {entry("E1", 10000, false)}, 0, "booked",
         "k.xml entry 1"},
        {"booking outranks acceptance", {group("M1", "ACCP")}, {entry("E1", 10000, false)}, 0, "booked",
         "k.xml entry 1"},
        {"pending entry books nothing", {tx("M1", "E1", "ACSP")}, {pending(entry("E1", 10000, false))}, 0, "accepted",
         "s.xml TxInfAndSts[1]"},
        {"return with reason", {},
         {entry("E1", 10000, false), returned(entry("E1", 10000, true, "entry 2"), "AC04")}, 0, "returned",
         "k.xml entry 2", "AC04 Closed account number"},
        {"return before booking in the file", {},
         {returned(entry("D1", 3000, false, "entry 2"), "MD06"), entry("D1", 3000, true)}, 3, "returned",
         "k.xml entry 2", "MD06 Refund request by end customer"},
        {"reversal", {}, {reversal(entry("D1", 3000, false, "entry 3"))}, 3, "returned", "k.xml entry 3"},
        {"return transaction code 159", {}, {gvc(entry("E3", 2000, true, "entry 4"), 159)}, 2, "returned",
         "k.xml entry 4"},
        {"return transaction code 109", {}, {gvc(entry("D1", 3000, false, "entry 4"), 109)}, 3, "returned",
         "k.xml entry 4"},
        {"other transaction code is no return", {}, {gvc(entry("D1", 3000, false), 105)}, 3, "unknown", ""},
        {"batch booking by block id", {}, {batch("M1-P1", "", 15000, false)}, 1, "booked", "k.xml entry 9"},
        {"batch booking by message id", {}, {batch("", "M1", 17000, false)}, 2, "booked", "k.xml entry 9"},
        {"batch of the wrong sum", {}, {batch("M1-P1", "", 15001, false)}, 0, "unknown", ""},
        {"batch return", {}, {returned(batch("M2-P1", "M2", 11000, false), "MS03")}, 5, "returned", "k.xml entry 9",
         "MS03 Not specified reason agent generated"},
        {"batch booking by its details' ids", {}, {details("E1\nE3\n", 12000)}, 2, "booked",
         "k.xml entry 9"},
        {"batch whose details are not all ours", {}, {details("E1\nX7\n", 12000)}, 0, "unknown", ""},
        {"open id by UETR", {}, {open_id("U9", "", "", 4000)}, 4, "booked", "k.xml entry 1"},
        {"open id by block, IBAN and amount", {}, {open_id("", "M2-P1", "DE08", 4000)}, 5, "booked",
         "k.xml entry 1"},
        {"open id with another IBAN", {}, {open_id("", "M2-P1", "DE07", 4000)}, 5, "unknown", ""},
        {"open id is no key", {}, {entry("NOTPROVIDED", 4000, true)}, 4, "unknown", ""},
        {"amounts disagree", {}, {entry("E1", 9999, false)}, 0, "unknown", ""},
        {"verification by transaction", {group("M1", "RCVC"), tx("M1", "E1", "RVMC")}, {}, 0, "unknown", "", "",
         "RVMC"},
        {"verification by file", {group("M1", "RCVC"), tx("M1", "E1", "RVMC")}, {}, 1, "unknown", "", "", "RCVC"},
    };
    for (const Scenario &s : scenarios) {
        SCOPED_TRACE(s.name);
        const Reconciliation r = reconcile(s.statuses, s.entries);
        ASSERT_GT(r.outcomes.size(), s.payment);
        const Row row = r.row(s.payment);
        EXPECT_EQ(row.state, s.state);
        EXPECT_EQ(row.evidence, s.evidence);
        EXPECT_EQ(row.reason, s.reason);
        EXPECT_EQ(row.vop, s.vop);
    }
}

TEST(Reconcile, CloseMatchKeepsThePayeeBanksName) {
    Status s = tx("M1", "E1", "RVMC");
    s.vop_name = "Erika Mustermann";
    EXPECT_EQ(reconcile({s}, {}).row(0).vop, "RVMC (Erika Mustermann)");
}

TEST(Reconcile, WhatMatchesNothingIsListedAndWarnedAbout) {
    struct Case {
        const char *name;
        std::vector<Status> statuses;
        std::vector<Entry> entries;
        const char *warning; // empty: none
        const char *unmatched_state_reason;
    };
    const Case cases[] = {
        {"foreign entry", {}, {entry("X9", 100, true)}, "", ""},
        {"amounts disagree", {}, {entry("E1", 9999, false)},
         "statement entry k.xml entry 1 for end-to-end id \"E1\" has the amount 99.99 EUR, the payment in a.xml "
         "100.00 EUR; not matched",
         ""},
        {"batch sum disagrees", {}, {batch("M1-P1", "", 15001, false)},
         "statement entry k.xml entry 9 for payment-information id \"M1-P1\" has the amount 150.01 EUR, its payments "
         "in a.xml add up to 150.00; not matched",
         ""},
        {"details that do not add up", {}, {details("E1\nE3\n", 12001)},
         "statement entry k.xml entry 9 for 2 transactions has the amount 120.01 EUR, they add up to 120.00; not "
         "matched",
         ""},
        {"wrong direction", {}, {entry("E1", 10000, true)},
         "statement entry k.xml entry 1 for end-to-end id \"E1\" is a credit, which neither books nor returns the "
         "credit transfer in a.xml; not matched",
         ""},
        {"report of an unknown message", {tx("M7", "E1", "RJCT", "AC01")}, {},
         "status report s.xml refers to message id \"M7\", which no payment file has",
         "RJCT AC01 Incorrect account number"},
        {"report of an unknown transaction", {tx("M1", "E9", "ACCP")}, {},
         "status report s.xml TxInfAndSts[1] refers to end-to-end id \"E9\", which no payment file has", "ACCP"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Reconciliation r = reconcile(c.statuses, c.entries);
        ASSERT_EQ(r.outcomes.size(), payments().size() + 1);
        const Row last = r.row(r.outcomes.size() - 1);
        EXPECT_TRUE(last.unmatched);
        EXPECT_EQ(last.state, "unmatched");
        EXPECT_EQ(last.reason, c.unmatched_state_reason);
        const std::vector<std::string> expected =
            *c.warning == '\0' ? std::vector<std::string>{} : std::vector<std::string>{c.warning};
        EXPECT_EQ(r.warnings, expected);
    }
}

TEST(Reconcile, ContradictingPaymentFilesAreRefused) {
    struct Case {
        Payment extra;
        const char *error; // empty: accepted
    };
    const Case cases[] = {
        {{"M3", "M3-P1", "E2", "", "DE01", "EUR", "c.xml", 100, CT}, "end-to-end id \"E2\" is in both a.xml and c.xml"},
        {{"M1", "M1-P3", "E7", "", "DE01", "EUR", "c.xml", 100, CT}, "message id \"M1\" is in both a.xml and c.xml"},
        {{"M2", "M2-P2", "D1", "", "DE01", "EUR", "b.xml", 100, DD}, "end-to-end id \"D1\" is twice in b.xml"},
        {{"M3", "M3-P1", "NOTPROVIDED", "", "DE08", "EUR", "c.xml", 4000, CT}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.error);
        Reconciliation r;
        r.payments = payments();
        r.payments.push_back(c.extra);
        EXPECT_EQ(r.run(), *c.error == '\0');
        EXPECT_EQ(r.error, c.error);
        if (*c.error != '\0') {
            EXPECT_TRUE(r.outcomes.empty());
        }
    }
}

TEST(Reconcile, AmountsAreReadExactly) {
    struct Case {
        const char *text;
        bool ok;
        int64_t cents;
    };
    const Case cases[] = {
        {"12.34", true, 1234}, {"12,3", true, 1230},   {"7", true, 700},        {"0.10000", true, 10},
        {"0.001", false, 0},   {"-1.00", false, 0},    {"1e5", false, 0},       {"", false, 0},
        {".5", false, 0},      {"1.2.3", false, 0},    {"999999999999999.99", true, 99999999999999999},
        {"1000000000000000.00", false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        int64_t cents = 0;
        EXPECT_EQ(read_cents(c.text, cents), c.ok);
        if (c.ok) {
            EXPECT_EQ(cents, c.cents);
        }
    }
}

} // namespace
