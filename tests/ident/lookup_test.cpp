// Lookups by bank code and IBAN: result codes, the returned bank block, and the BIC
// overrides of the German IBAN rules.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ident/ident.h"
#include "shared_ibans.h"

namespace {

struct bank_deleter {
    void operator()(tarvo_bank_t *bank) const { free(bank); }
};
using bank_ptr = std::unique_ptr<tarvo_bank_t, bank_deleter>;

std::string text(const char *s) { return s == nullptr ? "(null)" : s; }

TEST(BankidCheck, GermanRecord) {
    tarvo_bank_t *raw = nullptr;
    ASSERT_EQ(tarvo_bankid_check("DE", "37040044", &raw), 1);
    bank_ptr bank(raw);
    EXPECT_EQ(text(bank->name), "Commerzbank");
    EXPECT_EQ(text(bank->zip), "50447");
    EXPECT_EQ(text(bank->city), "K\xC3\xB6ln");
    EXPECT_EQ(text(bank->country), "DE");
    EXPECT_EQ(text(bank->bic), "COBADEFFXXX");
    EXPECT_EQ(bank->flags, 0);
}

TEST(BankidCheck, OnlyTheFourDirectoryCountries) {
    tarvo_bank_t *bank = reinterpret_cast<tarvo_bank_t *>(&bank);
    tarvo_bank_t *const untouched = bank;
    for (const char *country : {"de", "FR", "D", "DEU", "", "De"}) {
        EXPECT_EQ(tarvo_bankid_check(country, "37040044", &bank), 0) << country;
        EXPECT_EQ(bank, untouched);
    }
    EXPECT_EQ(tarvo_bankid_check(nullptr, "37040044", &bank), 0);
    EXPECT_EQ(tarvo_bankid_check(nullptr, "37040044", nullptr), 0);
    EXPECT_EQ(bank, untouched);
}

TEST(BankidCheck, NotFound) {
    tarvo_bank_t *bank = reinterpret_cast<tarvo_bank_t *>(&bank);
    tarvo_bank_t *const untouched = bank;
    EXPECT_EQ(tarvo_bankid_check("DE", "123", &bank), -2);        // looked up as 00000123
    EXPECT_EQ(tarvo_bankid_check("DE", "370400440", &bank), -2);  // nine digits
    EXPECT_EQ(tarvo_bankid_check("DE", "3704004", &bank), -2);    // 03704004
    EXPECT_EQ(tarvo_bankid_check("DE", "", &bank), -2);
    EXPECT_EQ(tarvo_bankid_check("DE", nullptr, &bank), -2);
    EXPECT_EQ(tarvo_bankid_check("DE", "3704 044", &bank), -2);
    EXPECT_EQ(tarvo_bankid_check("AT", "123456", &bank), -2);
    EXPECT_EQ(bank, untouched);
}

// The bank of a code that must be in the directory, or null after a failure.
bank_ptr found_bank(const char *country, const char *code) {
    tarvo_bank_t *bank = nullptr;
    EXPECT_EQ(tarvo_bankid_check(country, code, &bank), 1) << country << " " << code;
    return bank_ptr(bank);
}

// All texts of a result, for comparing two of them whole.
std::string fields(const bank_ptr &bank) {
    if (!bank) return "(no bank)";
    return text(bank->name) + "|" + text(bank->zip) + "|" + text(bank->city) + "|" + text(bank->country) + "|" +
           text(bank->bic) + "|" + std::to_string(bank->flags);
}

TEST(BankidCheck, ExistenceTestAndShortCodes) {
    EXPECT_EQ(tarvo_bankid_check("DE", "37040044", nullptr), 1);
    EXPECT_EQ(tarvo_bankid_check("DE", "12345678", nullptr), -2);
    // Short Swiss codes are padded: 100 is 00100.
    EXPECT_EQ(fields(found_bank("CH", "100")), fields(found_bank("CH", "00100")));
}

TEST(BankidCheck, LiechtensteinUsesTheSwissDirectoryAndKeepsItsCountry) {
    const bank_ptr swiss = found_bank("CH", "00100");
    ASSERT_TRUE(swiss);
    EXPECT_NE(text(swiss->country), "LI");
    EXPECT_EQ(fields(found_bank("LI", "00100")), fields(swiss));
}

TEST(BankidCheck, BlockIsOneAllocationWithItsStringsInside) {
    tarvo_bank_t *raw = nullptr;
    ASSERT_EQ(tarvo_bankid_check("DE", "37040044", &raw), 1);
    bank_ptr bank(raw);
    const char *begin = reinterpret_cast<const char *>(raw);
    for (const char *field : {raw->name, raw->zip, raw->city, raw->country, raw->bic}) {
        ASSERT_NE(field, nullptr);
        EXPECT_GT(field, begin);
        EXPECT_LT(field, begin + sizeof(tarvo_bank_t) + 256);
    }
}

// ---- By IBAN -------------------------------------------------------------------------

TEST(IbanGetBank, ChecksTheIbanFirst) {
    tarvo_bank_t *bank = reinterpret_cast<tarvo_bank_t *>(&bank);
    tarvo_bank_t *const untouched = bank;
    EXPECT_EQ(tarvo_iban_getBank("FR1420041010050500013M02606", &bank), 0);
    EXPECT_EQ(tarvo_iban_getBank("DE88370400440532013000", &bank), -1);
    EXPECT_EQ(tarvo_iban_getBank("DE08370400440532013100", &bank), -1); // account fails its method
    EXPECT_EQ(tarvo_iban_getBank(nullptr, &bank), -1);
    EXPECT_EQ(tarvo_iban_getBank("AT089999900000012345", &bank), -2); // valid, bank unknown
    EXPECT_EQ(bank, untouched);
}

TEST(IbanGetBank, FindsTheBankOfTheIban) {
    tarvo_bank_t *raw = nullptr;
    ASSERT_EQ(tarvo_iban_getBank("DE89370400440532013000", &raw), 1);
    bank_ptr bank(raw);
    EXPECT_EQ(text(bank->name), "Commerzbank");
    EXPECT_EQ(text(bank->bic), "COBADEFFXXX");
    EXPECT_EQ(tarvo_iban_getBank("DE89370400440532013000", nullptr), 1);
    // Clearing number 100 in a Swiss and a Liechtenstein IBAN.
    for (const char *iban : {"CH7600100000012345678", "LI8900100000012345678"}) {
        tarvo_bank_t *by_iban = nullptr;
        EXPECT_EQ(tarvo_iban_getBank(iban, &by_iban), 1) << iban;
        EXPECT_EQ(fields(bank_ptr(by_iban)), fields(found_bank(iban[0] == 'C' ? "CH" : "LI", "00100")));
    }
}

class IbanGetBic : public ::testing::Test {
protected:
    char bic[12];
    void SetUp() override { memset(bic, 'x', sizeof bic); }
    std::string result() const { return std::string(bic, strnlen(bic, sizeof bic)); }
    // A cleared buffer: twelve zero bytes.
    bool cleared() const {
        for (char c : bic)
            if (c != '\0') return false;
        return true;
    }
};

TEST_F(IbanGetBic, DirectoryBic) {
    EXPECT_EQ(tarvo_iban_getBIC("DE89370400440532013000", bic), 1);
    EXPECT_EQ(result(), "COBADEFFXXX");
    EXPECT_EQ(bic[11], '\0');
    // No check-digit validation here.
    EXPECT_EQ(tarvo_iban_getBIC("DE00370400440532013000", bic), 1);
    EXPECT_EQ(result(), "COBADEFFXXX");
}

TEST_F(IbanGetBic, ResultCodesLeaveAnEmptyBuffer) {
    EXPECT_EQ(tarvo_iban_getBIC("DE1234567890123456789", bic), -1); // DE + 19
    EXPECT_TRUE(cleared());
    memset(bic, 'x', sizeof bic);
    EXPECT_EQ(tarvo_iban_getBIC("NL91ABNA0417164300", bic), 0);
    EXPECT_TRUE(cleared());
    memset(bic, 'x', sizeof bic);
    EXPECT_EQ(tarvo_iban_getBIC("de89370400440532013000", bic), 0); // exact comparison
    EXPECT_TRUE(cleared());
    memset(bic, 'x', sizeof bic);
    EXPECT_EQ(tarvo_iban_getBIC("DE00123456780532013000", bic), -3);
    EXPECT_TRUE(cleared());
    memset(bic, 'x', sizeof bic);
    EXPECT_EQ(tarvo_iban_getBIC("AT0299999000000123450", bic), -1); // 21 characters
    EXPECT_EQ(tarvo_iban_getBIC("LI02999990000123456780", bic), -1); // 22 characters
    EXPECT_EQ(tarvo_iban_getBIC("", bic), 0);
    EXPECT_EQ(tarvo_iban_getBIC(nullptr, bic), -1);
    EXPECT_TRUE(cleared());
    EXPECT_EQ(tarvo_iban_getBIC("DE89370400440532013000", nullptr), -1);
}

TEST_F(IbanGetBic, SwissAndLiechtensteinShareTheDirectory) {
    const bank_ptr swiss = found_bank("CH", "00100");
    ASSERT_TRUE(swiss);
    ASSERT_EQ(tarvo_iban_getBIC("CH7600100000012345678", bic), 1);
    EXPECT_EQ(result(), text(swiss->bic));
    ASSERT_EQ(tarvo_iban_getBIC("LI8900100000012345678", bic), 1);
    EXPECT_EQ(result(), text(swiss->bic));
}

} // namespace

namespace ident_test {
// Bank codes of the Bundesbank's file, for finding banks with a given property in the
// compiled-in directory (also used by iban_test.cpp).
std::vector<std::string> german_bank_codes() {
    std::ifstream in(TARVO_SHARED_DIR "/data/de/blz_2025_09_08.txt", std::ios::binary);
    std::set<std::string> codes;
    for (std::string line; std::getline(in, line);)
        if (line.size() >= 8) codes.insert(line.substr(0, 8));
    return {codes.begin(), codes.end()};
}
} // namespace ident_test

namespace {

TEST_F(IbanGetBic, IbanRulesOverrideTheDirectory) {
    int head_office = 0;   // rule 5, routed to COBADEFFXXX against the directory's BIC
    int own_bic = 0;       // rule 5, digits 5 and 6 are 11: the directory's BIC stands
    int apotheker = 0;     // rule 14
    int unchanged = 0;     // any other rule
    for (const std::string &code : ident_test::german_bank_codes()) {
        tarvo::bank_record record;
        if (tarvo::lookup_bank("DE", code.c_str(), &record) != 1) continue;
        const std::string directory_bic = text(record.bic);
        const std::string iban = "DE00" + code + "0000000001";
        ASSERT_EQ(tarvo_iban_getBIC(iban.c_str(), bic), 1) << code;
        const int rule = record.iban_rule / 100;
        if (rule == 5 && code[3] == '4') {
            if (code.substr(4, 2) == "11") {
                EXPECT_EQ(result(), directory_bic) << code;
                ++own_bic;
            } else {
                EXPECT_EQ(result(), "COBADEFFXXX") << code;
                head_office += directory_bic != "COBADEFFXXX";
            }
        } else if (rule == 14) {
            EXPECT_EQ(result(), "DAAEDEDDXXX") << code;
            ++apotheker;
        } else {
            EXPECT_EQ(result(), directory_bic) << code;
            ++unchanged;
        }
    }
    EXPECT_GT(head_office, 0);
    EXPECT_GT(own_bic, 0);
    EXPECT_GT(apotheker, 0);
    EXPECT_GT(unchanged, 1000);
}

} // namespace

namespace {

// The bank's own method decides: the same account passes at one bank and fails at another.
TEST(AccountCheckBank, RunsTheMethodTheDirectoryNames) {
    const struct {
        const char *account, *bankid;
        int result;
    } cases[] = {
        {"532013000", "37040044", 1},   // Commerzbank, method 13
        {"9290702", "37040044", -1},
        {"9290702", "10020890", 1},     // the same account at a bank with another method
        {"532013000", "10020890", -1},
        {"0532013000", "37040044", 1},  // leading zeros as the account check reads them
        {"532013000", "37040045", -3},  // not a bank code
        {"532013000", "3704004", -3},   // short code is not padded to another bank's
        {"532013000", "370400440", -3},
        {"532013000", "3704004x", -3},
        {"532013000", nullptr, -3},
        {nullptr, "37040044", -1},
        {"53201300a", "37040044", -1},
        {"", "37040044", -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tarvo_account_check_bank(c.account, c.bankid), c.result)
            << (c.account ? c.account : "(null)") << " @ " << (c.bankid ? c.bankid : "(null)");
}

TEST(AccountCheckBank, AgreesWithTheGermanIbanCheck) {
    // Every German IBAN of the published list: its account passes at its bank exactly
    // when the IBAN check does not refuse the account.
    std::ifstream in(TARVO_SHARED_DIR "/testdata/ibans.csv");
    ASSERT_TRUE(in) << "testdata/ibans.csv";
    std::string line;
    int compared = 0;
    while (std::getline(in, line)) {
        if (line.rfind("DE,DE", 0) != 0) continue;
        const std::string iban = line.substr(3, 22);
        char bankid[9], account[11];
        memcpy(bankid, iban.c_str() + 4, 8);
        bankid[8] = '\0';
        memcpy(account, iban.c_str() + 12, 10);
        account[10] = '\0';
        const char *message = nullptr;
        if (tarvo::iban_check(iban.c_str(), &message) == 1) {
            EXPECT_GE(tarvo_account_check_bank(account, bankid), 0) << iban;
            ++compared;
        } else if (std::string(message) == "Invalid account number in IBAN") {
            EXPECT_EQ(tarvo_account_check_bank(account, bankid), -1) << iban;
            ++compared;
        } else if (std::string(message) == "Invalid bank ID (BLZ) in IBAN") {
            EXPECT_EQ(tarvo_account_check_bank(account, bankid), -3) << iban;
            ++compared;
        }
    }
    EXPECT_GT(compared, 0);
}

} // namespace

namespace {

// One call must say what the check, the BIC lookup and the bank lookup say one by one.
TEST(IbanInspect, AgreesWithTheSeparateCalls) {
    const auto ibans = shared_ibans();
    ASSERT_GT(ibans.size(), 100u);
    int with_bank = 0;
    for (const std::string &iban : ibans) {
        tarvo_iban_info_t info;
        memset(&info, 'x', sizeof info);
        const int valid = tarvo_iban_check(iban.c_str());
        ASSERT_EQ(tarvo_iban_inspect(iban.c_str(), &info), valid) << iban;
        EXPECT_EQ(info.error == nullptr, valid == 1) << iban;
        char bic[12] = "";
        const bool bic_known = valid == 1 && tarvo_iban_getBIC(iban.c_str(), bic) == 1;
        EXPECT_EQ(std::string(info.bic), bic_known ? bic : "") << iban;
        tarvo_bank_t *raw = nullptr;
        const bool bank_known = valid == 1 && tarvo_iban_getBank(iban.c_str(), &raw) == 1;
        const bank_ptr bank(raw);
        EXPECT_EQ(std::string(info.name), bank_known ? text(bank->name) : "") << iban;
        EXPECT_TRUE(!bank_known || info.bankid[0] != '\0') << iban;
        with_bank += bank_known;
    }
    EXPECT_GT(with_bank, 0);
}

TEST(IbanInspect, SaysWhyAnIbanIsInvalid) {
    struct Case {
        const char *iban;
        const char *error;
    };
    constexpr Case cases[] = {
        {"DE89370400440532013001", "Invalid IBAN checksum"},
        {"XX89370400440532013000", "Invalid or unknown IBAN country code"},
        {"DE8937040044053201300", "Wrong IBAN length"},
        {"DE8937040044053201300A", "Invalid IBAN format"},
        {"de89370400440532013000", "Invalid IBAN format"},
    };
    for (const Case &c : cases) {
        tarvo_iban_info_t info;
        EXPECT_EQ(tarvo_iban_inspect(c.iban, &info), -1) << c.iban;
        EXPECT_EQ(text(info.error), c.error) << c.iban;
        EXPECT_STREQ(info.bankid, "") << c.iban;
        EXPECT_STREQ(info.bic, "") << c.iban;
    }
    tarvo_iban_info_t info;
    EXPECT_EQ(tarvo_iban_inspect(nullptr, &info), -1);
    EXPECT_NE(info.error, nullptr);
    EXPECT_EQ(tarvo_iban_inspect("DE89370400440532013000", nullptr), -1);
}

TEST(IbanInspect, GermanBankFromTheCheckItself) {
    tarvo_iban_info_t info;
    ASSERT_EQ(tarvo_iban_inspect("DE89370400440532013000", &info), 1);
    EXPECT_STREQ(info.bankid, "37040044");
    EXPECT_STREQ(info.bic, "COBADEFFXXX");
    EXPECT_STREQ(info.name, "Commerzbank");
}

} // namespace
