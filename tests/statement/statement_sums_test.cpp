// Every shared sample as an accountant books it: where a statement states both
// balances, its booked records add up to their difference; the returns carry their
// reasons; a statement read from memory gives the same records as from its file.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "statement_files.h"

using namespace stmt_test;

namespace {

std::string shared(const std::string &path) { return std::string(TARVO_SHARED_DIR "/samples/") + path; }

std::vector<std::string> files_in(const std::string &dir, const char *suffix) {
    std::vector<std::string> out;
    DIR *d = opendir(shared(dir).c_str());
    if (d == nullptr) return out;
    while (const dirent *e = readdir(d)) {
        const std::string name = e->d_name;
        if (name[0] != '.' && name != "README.md" && name.ends_with(suffix)) out.push_back(dir + "/" + name);
    }
    closedir(d);
    return out;
}

// A decimal text in 1/100000, exact.
__int128 units(const char *text) {
    __int128 value = 0;
    int fraction = -1;
    const bool negative = *text == '-';
    for (const char *p = text + (negative ? 1 : 0); *p != '\0'; ++p) {
        if (*p == '.') {
            fraction = 0;
            continue;
        }
        value = value * 10 + (*p - '0');
        if (fraction >= 0) ++fraction;
    }
    for (int i = fraction < 0 ? 0 : fraction; i < 5; ++i) value *= 10;
    return negative ? -value : value;
}

struct Sample {
    std::string path;
    int format;
};

std::vector<Sample> samples() {
    std::vector<Sample> out;
    for (const auto &p : files_in("mt940", "")) out.push_back({p, TARVO_STMT_FORMAT_MT940});
    for (const char *dir : {"camt", "camt/returns"})
        for (const auto &p : files_in(dir, ".xml"))
            if (p.find("wrong") == std::string::npos) out.push_back({p, TARVO_STMT_FORMAT_CAMT});
    return out;
}

// Statements of the samples whose stated balances do not match their own entries
// (anonymised or constructed test data): checked by hand, nothing a reader can mend.
const std::set<std::string> inconsistent{
    "mt940/jejik-sparkasse2.txt|STARTUMSE",
    "mt940/betterplace-sepa_snippet.txt|T089414096000001",
    "mt940/jejik-postfinance.txt|2014040708285928",
    "mt940/jejik-abnamro.txt|ABN AMRO BANK NV",
    "mt940/jejik-deutschebank.txt|DEUTDEMMXXX",
    "camt/camt053.v4.xml|253EURNL26VAYB8060476890",
    "camt/camt053.v2.five.decimals.xml|253EURNL26VAYB8060476890",
    "camt/camt053.v2.with-party-ids.xml|253EURNL26VAYB8060476890",
    "camt/camt053.v2.minimal.xml|253EURNL26VAYB8060476890",
    "camt/camt053.v2.all-balance-types.xml|CAMT0532015012200001",
    "camt/returns/hbci4java_test-camt-ruecklastschrift.xml|camt052_ONLINEBA",
};

TEST(StatementSums, RecordsAddUpToTheBalances) {
    size_t checked = 0;
    for (const Sample &s : samples()) {
        Parsed parsed(Path{shared(s.path).c_str()}, s.format);
        ASSERT_EQ(parsed.result(), 1) << s.path << ": " << parsed.error();
        const auto statements = parsed.statements();
        for (size_t i = 0; i < statements.size(); ++i) {
            const tarvo_stmt_t &st = *statements[i];
            if (st.openSaldoText == nullptr || st.closeSaldoText == nullptr || st.incomplete) continue;
            if (inconsistent.count(s.path + "|" + (st.ref != nullptr ? st.ref : "")) != 0) continue;
            __int128 sum = 0;
            for (const tarvo_stmt_tx_t *t : parsed.transactions(i))
                // Pending and information-only entries are not booked.
                if (t->status[0] == '\0' || strcmp(t->status, "BOOK") == 0) sum += units(t->amountText);
            EXPECT_TRUE(sum == units(st.closeSaldoText) - units(st.openSaldoText))
                << s.path << " statement " << (st.ref != nullptr ? st.ref : "") << ": " << st.openSaldoText << " + "
                << static_cast<long long>(sum) << " != " << st.closeSaldoText;
            ++checked;
        }
    }
    EXPECT_GT(checked, 10u);
}

TEST(StatementSums, ReturnsCarryTheirReasons) {
    const struct {
        const char *file;
        std::map<std::string, int> reasons;
    } rows[] = {
        {"camt/returns/hbci4java_test-camt-ruecklastschrift.xml", {{"MS03", 1}}},
        {"camt/returns/sepa_file_parser_camt053_valid_example_v4.xml", {{"MD06", 2}, {"NARR", 3}}},
        {"camt/returns/sepa_file_parser_camt054_valid_example.xml", {{"MD06", 2}}},
    };
    for (const auto &r : rows) {
        Parsed parsed(Path{shared(r.file).c_str()}, TARVO_STMT_FORMAT_CAMT);
        ASSERT_EQ(parsed.result(), 1) << r.file << ": " << parsed.error();
        std::map<std::string, int> seen;
        for (size_t i = 0; i < parsed.statements().size(); ++i)
            for (const tarvo_stmt_tx_t *t : parsed.transactions(i))
                if (t->returnReason != nullptr) {
                    ++seen[t->returnReason];
                    EXPECT_NE(t->returnInfo, nullptr) << r.file;
                }
        EXPECT_EQ(seen, r.reasons) << r.file;
    }
}

// The records as text, field by field, for comparing two loads.
std::string dump(const Parsed &parsed) {
    std::string out;
    const auto add = [&out](const char *text) { out.append(text != nullptr ? text : "(null)").push_back('|'); };
    for (size_t i = 0; i < parsed.statements().size(); ++i) {
        const tarvo_stmt_t &s = *parsed.statements()[i];
        add(s.ref), add(s.account), add(s.openSaldoText), add(s.closeSaldoText), add(date(s.openDate).c_str());
        for (const tarvo_stmt_tx_t *t : parsed.transactions(i)) {
            for (const char *f : std::initializer_list<const char *>{t->amountText, t->ref, t->bankref, t->txtext, t->purpose, t->eref, t->svwz, t->name,
                                  t->account, t->bank, t->partyName, t->returnReason, t->bankTransactionCode})
                add(f);
            add(date(t->valuta).c_str());
            out += std::to_string(t->details) + std::to_string(t->chargeCount) + "\n";
        }
    }
    return out;
}

TEST(StatementSums, MemoryGivesTheFilesRecords) {
    for (const Sample &s : samples()) {
        std::ifstream in(shared(s.path), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Parsed from_file(Path{shared(s.path).c_str()}, s.format);
        Parsed from_memory(Memory{bytes}, s.format);
        ASSERT_EQ(from_memory.result(), from_file.result()) << s.path << ": " << from_memory.error();
        EXPECT_EQ(dump(from_memory), dump(from_file)) << s.path;
    }
    Parsed empty(Memory{""}, TARVO_STMT_FORMAT_CAMT);
    EXPECT_EQ(empty.error(), "Input is empty");
}

} // namespace
