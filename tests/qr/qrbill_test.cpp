// Swiss QR-bill payloads: the shared payloads read to their decoded fields and written back
// byte for byte from those fields, and the line-end variants a scanner may deliver.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "tarvo.h"

namespace {

using nlohmann::json;

std::string text(const char *value) { return value == nullptr ? std::string{} : value; }

json shared_payloads() {
    std::ifstream in(TARVO_SHARED_DIR "/samples/qr/swiss/payloads.json");
    EXPECT_TRUE(in) << "payloads.json not found";
    return in ? json::parse(in)["cases"] : json::array();
}

// The record the decoded fields describe; texts point into fields.
tarvo_qrbill_t record_from(const json &f, std::string &amount) {
    auto s = [&f](const char *key) { return f.contains(key) ? f[key].get_ref<const std::string &>().c_str() : ""; };
    auto address = [&s](const std::string &who) {
        return tarvo_qr_address_t{s((who + ".Name").c_str()), s((who + ".StrtNmOrAdrLine1").c_str()),
                                  s((who + ".BldgNbOrAdrLine2").c_str()), s((who + ".PstCd").c_str()),
                                  s((who + ".TwnNm").c_str()), s((who + ".Ctry").c_str())};
    };
    tarvo_qrbill_t b{};
    b.iban = s("IBAN");
    b.creditor = address("Cdtr");
    amount = s("Amt");
    b.hasAmount = !amount.empty();
    if (b.hasAmount) b.amount = std::llround(std::stod(amount) * 100);
    b.currency = s("Ccy");
    b.ultimateDebtor = address("UltmtDbtr");
    b.referenceType = s("RmtInf.Tp");
    b.reference = s("RmtInf.Ref");
    b.message = s("AddInf.Ustrd");
    b.billInformation = s("AddInf.StrdBkgInf");
    b.alternativeSchemes[0] = s("AltPmtInf.AltPmt1");
    b.alternativeSchemes[1] = s("AltPmtInf.AltPmt2");
    return b;
}

void expect_address(const tarvo_qr_address_t &got, const tarvo_qr_address_t &want, const std::string &who) {
    EXPECT_EQ(text(got.name), text(want.name)) << who;
    EXPECT_EQ(text(got.street), text(want.street)) << who;
    EXPECT_EQ(text(got.buildingNumber), text(want.buildingNumber)) << who;
    EXPECT_EQ(text(got.postalCode), text(want.postalCode)) << who;
    EXPECT_EQ(text(got.town), text(want.town)) << who;
    EXPECT_EQ(text(got.country), text(want.country)) << who;
}

void expect_bill(const tarvo_qrbill_t &got, const tarvo_qrbill_t &want, const std::string &id) {
    EXPECT_EQ(text(got.iban), text(want.iban)) << id;
    expect_address(got.creditor, want.creditor, id + " creditor");
    EXPECT_EQ(got.hasAmount, want.hasAmount) << id;
    EXPECT_EQ(got.amount, want.amount) << id;
    EXPECT_EQ(text(got.currency), text(want.currency)) << id;
    expect_address(got.ultimateDebtor, want.ultimateDebtor, id + " debtor");
    EXPECT_EQ(text(got.referenceType), text(want.referenceType)) << id;
    EXPECT_EQ(text(got.reference), text(want.reference)) << id;
    EXPECT_EQ(text(got.message), text(want.message)) << id;
    EXPECT_EQ(text(got.billInformation), text(want.billInformation)) << id;
    EXPECT_EQ(text(got.alternativeSchemes[0]), text(want.alternativeSchemes[0])) << id;
    EXPECT_EQ(text(got.alternativeSchemes[1]), text(want.alternativeSchemes[1])) << id;
}

TEST(QrBill, SharedPayloadsReadToTheirFieldsAndAreWrittenBackByteForByte) {
    const json cases = shared_payloads();
    ASSERT_EQ(cases.size(), 14u);
    for (const json &c : cases) {
        const std::string id = c["id"], payload = c["payload"];
        std::string amount;
        const tarvo_qrbill_t want = record_from(c["decoded_fields_by_position"], amount);
        tarvo_qrbill_t *got = nullptr;
        char error[256];
        ASSERT_EQ(tarvo_qrbill_parse(payload.data(), payload.size(), &got, error, sizeof error), 1) << id << ": " << error;
        expect_bill(*got, want, id);
        free(got);
        char *written = tarvo_qrbill_make(&want, error, sizeof error);
        ASSERT_NE(written, nullptr) << id << ": " << error;
        EXPECT_EQ(std::string(written), payload) << id;
        free(written);
    }
}

// Scanners hand over what the code holds, and some add or convert line ends.
TEST(QrBill, LineEndVariantsReadAlike) {
    const json cases = shared_payloads();
    ASSERT_FALSE(cases.empty());
    const std::string payload = cases[2]["payload"]; // the full set: every kind of line
    auto crlf = [](std::string s, bool every_other) {
        std::string out;
        int n = 0;
        for (char ch : s) {
            if (ch == '\n' && (!every_other || n++ % 2 == 0)) out += '\r';
            out += ch;
        }
        return out;
    };
    const std::string variants[] = {payload + "\n", crlf(payload, false), crlf(payload, true),
                                    crlf(payload, false) + "\r\n"};
    tarvo_qrbill_t *plain = nullptr;
    ASSERT_EQ(tarvo_qrbill_parse(payload.data(), payload.size(), &plain, nullptr, 0), 1);
    for (const std::string &v : variants) {
        tarvo_qrbill_t *got = nullptr;
        char error[256];
        ASSERT_EQ(tarvo_qrbill_parse(v.data(), v.size(), &got, error, sizeof error), 1) << error;
        expect_bill(*got, *plain, json(v).dump());
        free(got);
    }
    free(plain);
    // A second line end is an empty line, which the last field (an alternative scheme) cannot be.
    const std::string twice = payload + "\n\n";
    tarvo_qrbill_t *got = nullptr;
    EXPECT_EQ(tarvo_qrbill_parse(twice.data(), twice.size(), &got, nullptr, 0), -1);
    EXPECT_EQ(got, nullptr);
}

} // namespace
