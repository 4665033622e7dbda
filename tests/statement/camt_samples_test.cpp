// The camt samples read as the JSON beside each of them says. The JSON is another
// library's parse, dumped with "__RECURSIVITY__" in place of objects it had shown
// before; what it does not show is not compared.
#include <gtest/gtest.h>
#include <math.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "statement_files.h"

using namespace stmt_test;
using json = nlohmann::json;

namespace {

std::string sample(const std::string &name) { return std::string(TARVO_SHARED_DIR "/samples/camt/") + name; }

json read_json(const std::string &path) {
    std::ifstream in(path);
    return json::parse(in);
}

bool has_class(const json &j, std::string_view suffix) {
    if (!j.is_object() || !j.contains("__CLASS__")) return false;
    const std::string c = j["__CLASS__"];
    return c.size() >= suffix.size() && c.compare(c.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Every object of a class anywhere in the dump.
void collect(const json &j, std::string_view suffix, std::vector<const json *> &out) {
    if (has_class(j, suffix)) out.push_back(&j);
    if (j.is_structured())
        for (const json &child : j) collect(child, suffix, out);
}

// Element i of a list getter; the dump shows the first one under the singular getter
// when that came first.
const json *item(const json &owner, const char *list, size_t i, const char *single) {
    const json &l = owner[list];
    if (!l.is_array() || i >= l.size()) return nullptr;
    if (l[i].is_object()) return &l[i];
    if (i == 0 && owner.contains(single) && owner[single].is_object()) return &owner[single];
    return nullptr;
}

std::string text_or_empty(const json &j) { return j.is_string() ? j.get<std::string>() : std::string(); }

// "2014-12-31T00:00:00+00:00" -> "2014-12-31"; a missing date reads as the zero record.
std::string day_of(const json &date) {
    if (!date.is_object()) return "1900-01-00";
    return date["0"].get<std::string>().substr(0, 10);
}

// Digits after the point of a currency's minor unit.
int exponent_of(const std::string &currency) {
    static const std::map<std::string, int> exceptions{{"JPY", 0}};
    const auto found = exceptions.find(currency);
    return found != exceptions.end() ? found->second : 2;
}

// An amount as written in minor units; empty when it has significant digits beyond them.
std::optional<long long> minor_units(std::string_view text, int exponent) {
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    const size_t point = text.find('.');
    std::string digits(text.substr(0, point));
    std::string fraction(point == std::string_view::npos ? "" : text.substr(point + 1));
    while (fraction.size() > static_cast<size_t>(exponent)) {
        if (fraction.back() != '0') return std::nullopt;
        fraction.pop_back();
    }
    fraction.resize(static_cast<size_t>(exponent), '0');
    const long long value = std::stoll(digits + fraction);
    return negative ? -value : value;
}

struct Money {
    long long minor;
    std::string currency;
};

Money money_of(const json &m) {
    return Money{std::stoll(m["getAmount"].get<std::string>()), m["getCurrency"]["getCode"].get<std::string>()};
}

void expect_money(const char *text, double value, const char *currency, const Money &expected) {
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(currency, expected.currency.c_str());
    const int exponent = exponent_of(expected.currency);
    EXPECT_EQ(minor_units(text, exponent), expected.minor) << text;
    EXPECT_NEAR(value, static_cast<double>(expected.minor) / pow(10, exponent), 1e-9) << text;
}

// The one sample whose transaction names a direction of its own, against its entry's;
// the other library reports the entry's for both. The reader books the transaction as
// it says, which makes its counterparty the debtor.
const std::map<std::string, std::string> transaction_direction{{"camt052.v6.Amt-zero", "CRDT"}};

void check_statement(const tarvo_stmt_t &s, const json &record) {
    EXPECT_EQ(text(s.ref), record["getId"].get<std::string>());
    EXPECT_EQ(text(s.account), record["getAccount"]["getIdentification"].get<std::string>());
    const json &number =
        record["getLegalSequenceNumber"].is_string() ? record["getLegalSequenceNumber"] : record["getElectronicSequenceNumber"];
    EXPECT_EQ(s.number, number.is_string() ? std::stoul(number.get<std::string>()) : 0u);
    if (!record.contains("getBalances")) return;
    bool opening = false, closing = false;
    for (const json &b : record["getBalances"]) {
        const std::string type = b["getType"];
        if (type == "opening" && !opening) {
            opening = true;
            expect_money(s.openSaldoText, s.openSaldo, s.openCurrency, money_of(b["getAmount"]));
            EXPECT_EQ(date(s.openDate), day_of(b["getDate"]));
        } else if (type == "closing" && !closing) {
            closing = true;
            expect_money(s.closeSaldoText, s.closeSaldo, s.closeCurrency, money_of(b["getAmount"]));
            EXPECT_EQ(date(s.closeDate), day_of(b["getDate"]));
        }
    }
    if (!opening) {
        EXPECT_EQ(s.openSaldoText, nullptr);
    }
    if (!closing) {
        EXPECT_EQ(s.closeSaldoText, nullptr);
    }
}

// The counterparty of one side: "Debtor" or "Creditor", and its bank's agent.
void check_counterparty(const tarvo_stmt_tx_t &tx, const json &detail, const std::string &direction) {
    const std::string side = direction == "CRDT" ? "\\Debtor" : "\\Creditor";
    std::string name, account;
    for (size_t i = 0; i < detail["getRelatedParties"].size(); ++i) {
        const json *party = item(detail, "getRelatedParties", i, "getRelatedParty");
        if (party == nullptr) return;
        if (!has_class((*party)["getRelatedPartyType"], side)) continue;
        name = text_or_empty((*party)["getRelatedPartyType"]["getName"]);
        if ((*party)["getAccount"].is_object()) account = (*party)["getAccount"]["getIdentification"];
    }
    EXPECT_STREQ(tx.name, name.c_str());
    EXPECT_EQ(tx.partyName != nullptr ? tx.partyName : "", name);
    EXPECT_STREQ(tx.account, account.c_str());
    const json &agents = detail["getRelatedAgents"];
    for (size_t i = 0; agents.is_array() && i < agents.size(); ++i) {
        const json *agent = item(detail, "getRelatedAgents", i, "getRelatedAgent");
        if (agent != nullptr && has_class((*agent)["getRelatedAgentType"], side + "Agent")) {
            EXPECT_EQ(tx.bank, (*agent)["getRelatedAgentType"]["getBIC"].get<std::string>());
        }
    }
}

void check_remittance(const tarvo_stmt_tx_t &tx, const json &detail) {
    const json &info = detail["getRemittanceInformation"];
    if (!info.is_object()) {
        EXPECT_EQ(tx.svwz, nullptr);
        EXPECT_EQ(tx.creditorRef, nullptr);
        return;
    }
    std::string lines;
    bool complete = true;
    for (size_t i = 0; i < info["getUnstructuredBlocks"].size(); ++i) {
        const json *block = item(info, "getUnstructuredBlocks", i, "getUnstructuredBlock");
        if (block == nullptr) {
            complete = false;
            continue;
        }
        if (i > 0) lines += '\n';
        lines += (*block)["getMessage"].get<std::string>();
    }
    if (complete) {
        EXPECT_EQ(text(tx.svwz), lines.empty() ? "(null)" : lines);
    }
    const json *structured = item(info, "getStructuredBlocks", 0, "getStructuredBlock");
    if (structured != nullptr && (*structured)["getCreditorReferenceInformation"].is_object()) {
        EXPECT_EQ(text(tx.creditorRef), (*structured)["getCreditorReferenceInformation"]["getRef"].get<std::string>());
    }
}

// Whether an entry's details carry amounts in its currency that add up to it: only then
// does each become a record of its own.
bool details_add_up(const json &entry) {
    const json &details = entry["getTransactionDetails"];
    if (details.size() < 2) return false;
    const Money total = money_of(entry["getAmount"]);
    long long sum = 0;
    for (size_t i = 0; i < details.size(); ++i) {
        const json *detail = item(entry, "getTransactionDetails", i, "getTransactionDetail");
        if (detail == nullptr || !(*detail)["getAmount"].is_object()) return false;
        const Money m = money_of((*detail)["getAmount"]);
        if (m.currency != total.currency) return false;
        sum += m.minor;
    }
    return sum == total.minor;
}

void check_transaction(const tarvo_stmt_tx_t &tx, const json &entry, const json *detail, const std::string &sample_name) {
    const json &amount = details_add_up(entry) ? (*detail)["getAmount"] : entry["getAmount"];
    expect_money(tx.amountText, tx.amount, tx.currency, money_of(amount));
    EXPECT_EQ(date(tx.booked), day_of(entry["getBookingDate"]));
    EXPECT_EQ(date(tx.valuta), day_of(entry["getValueDate"]));
    EXPECT_EQ(tx.reversal, entry["getReversalIndicator"].get<bool>() ? 1 : 0);

    const json &code = entry["getBankTransactionCode"]["getProprietary"];
    const std::string proprietary = code.is_object() ? code["getCode"].get<std::string>() : "";
    if (proprietary.size() > 8 && proprietary[4] == '+') {
        EXPECT_EQ(tx.code, proprietary.substr(1, 3));
        EXPECT_EQ(tx.gvc, std::stoul(proprietary.substr(5, 3)));
    } else {
        EXPECT_STREQ(tx.code, "");
    }
    const std::string info = text_or_empty(entry["getAdditionalInfo"]);
    if (detail == nullptr) {
        EXPECT_EQ(text(tx.txtext), info.empty() ? "(null)" : info);
        EXPECT_EQ(text(tx.bankref), entry["getAccountServicerReference"].is_string()
                                        ? entry["getAccountServicerReference"].get<std::string>()
                                        : "(null)");
        return;
    }
    const json &additional = (*detail)["getAdditionalTransactionInformation"];
    EXPECT_EQ(text(tx.txtext), additional.is_string() ? additional.get<std::string>() : info.empty() ? "(null)" : info);
    const json &ref = (*detail)["getReference"];
    const json &bankref = ref.is_object() && ref["getAccountServicerReference"].is_string()
                              ? ref["getAccountServicerReference"]
                              : entry["getAccountServicerReference"];
    EXPECT_EQ(text(tx.bankref), bankref.is_string() ? bankref.get<std::string>() : "(null)");
    if (ref.is_object()) {
        const auto optional = [](const json &j) { return j.is_string() ? j.get<std::string>() : "(null)"; };
        EXPECT_EQ(text(tx.eref), optional(ref["getEndToEndId"]));
        EXPECT_EQ(text(tx.mref), optional(ref["getMandateId"]));
        EXPECT_EQ(text(tx.uetr), optional(ref["getUuidEndToEndReference"]));
    }
    const auto own = transaction_direction.find(sample_name);
    check_counterparty(tx, *detail,
                       own != transaction_direction.end() ? own->second : (*detail)["getCreditDebitIndicator"].get<std::string>());
    check_remittance(tx, *detail);
}

class CamtSamples : public testing::TestWithParam<std::string> {};

TEST_P(CamtSamples, ReadAsTheirJsonSays) {
    const std::string name = GetParam();
    const json expected = read_json(sample(name + ".json"));
    const std::string path = sample(name + ".xml");
    Parsed parsed(Path{path.c_str()}, TARVO_STMT_FORMAT_CAMT);
    ASSERT_EQ(parsed.result(), 1) << parsed.error();
    EXPECT_EQ(parsed.error(), "");
    const auto statements = parsed.statements();
    ASSERT_EQ(statements.size(), expected["getRecords"].size());

    std::vector<const json *> records;
    for (const char *kind : {"\\Statement", "\\Report", "\\Notification"}) collect(expected, kind, records);
    ASSERT_FALSE(records.empty());
    std::map<std::string, size_t> index_of;
    for (size_t i = 0; i < statements.size(); ++i) index_of[text(statements[i]->ref)] = i;
    for (const json *record : records) {
        SCOPED_TRACE("statement " + (*record)["getId"].get<std::string>());
        ASSERT_EQ(index_of.count((*record)["getId"]), 1u);
        check_statement(*statements[index_of[(*record)["getId"]]], *record);
    }

    std::vector<const json *> entries;
    collect(expected, "\\Entry", entries);
    ASSERT_FALSE(entries.empty());
    for (const json *entry : entries) {
        // Entries of a statement the dump shows only by reference belong to the one record.
        const json &owner = (*entry)["getRecord"].is_object() ? (*entry)["getRecord"] : *records.front();
        ASSERT_EQ((*entry)["getIndex"], 0) << "the samples hold one entry per statement";
        const auto tx = parsed.transactions(index_of[owner["getId"]]);
        const json &details = (*entry)["getTransactionDetails"];
        if (details.size() > 1 && !details_add_up(*entry)) {
            // One record for the whole entry, counting its details.
            ASSERT_EQ(tx.size(), 1u);
            expect_money(tx[0]->amountText, tx[0]->amount, tx[0]->currency, money_of((*entry)["getAmount"]));
            EXPECT_EQ(tx[0]->details, details.size());
            continue;
        }
        ASSERT_EQ(tx.size(), std::max<size_t>(details.size(), 1));
        for (size_t i = 0; i < tx.size(); ++i) {
            SCOPED_TRACE("transaction " + std::to_string(i + 1));
            check_transaction(*tx[i], *entry, item(*entry, "getTransactionDetails", i, "getTransactionDetail"), name);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Camt, CamtSamples,
                         testing::Values("camt052.v2", "camt052.v6.Amt-zero", "camt053.v2.all-balance-types",
                                         "camt053.v2.five.decimals", "camt053.v2.minimal", "camt053.v2.multi.statement",
                                         "camt053.v2.with-party-ids", "camt053.v4", "camt054.v2", "camt054.v8-with-UETR"),
                         [](const testing::TestParamInfo<std::string> &info) {
                             std::string n;
                             for (char c : info.param) n += isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return n;
                         });

TEST(CamtSamples, InvalidSampleIsRefusedWithoutStatements) {
    const std::string path = sample("camt053.v2.wrong.xml");
    Parsed parsed(Path{path.c_str()}, TARVO_STMT_FORMAT_CAMT);
    EXPECT_EQ(parsed.result(), 0);
    EXPECT_EQ(parsed.error(), "Missing <Stmt> in <BkToCstmrStmt> (line 8)");
    EXPECT_TRUE(parsed.statements().empty());
}

} // namespace
