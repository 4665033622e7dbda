// What a QR-bill reader and writer refuse, and that each refusal names the field at fault.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "tarvo.h"

namespace {

// A valid bill with every optional part used, one line per field.
const std::vector<std::string> full_bill = {
    "SPC", "0200", "1", "CH4431999123000889012",
    "S", "Robert Schneider AG", "Rue du Lac", "1268", "2501", "Biel", "CH",
    "", "", "", "", "", "", "",
    "1949.75", "CHF",
    "S", "Pia-Maria Rutschmann-Schnyder", "Grosse Marktgasse", "28", "9400", "Rorschach", "CH",
    "QRR", "210000000003139471430009017", "Order of 15 June 2020", "EPD",
    "//S1/10/10201409/11/200701", "eBill/B/peter@sample.ch"};

std::string join(const std::vector<std::string> &lines) {
    std::string out;
    for (const std::string &l : lines) out += l + "\n";
    out.pop_back();
    return out;
}

struct Change {
    size_t line;
    std::string value;
};

struct Refused {
    const char *what;
    std::vector<Change> changes;
    const char *field; // the start of the error text
};

const Refused refusals[] = {
    {"not a QR-bill", {{0, "SPX"}}, "header:"},
    {"older version", {{1, "0100"}}, "version:"},
    {"coding other than UTF-8", {{2, "2"}}, "coding:"},
    {"IBAN of another country", {{3, "DE89370400440532013000"}}, "iban:"},
    {"IBAN with a wrong check digit", {{3, "CH4431999123000889013"}}, "iban:"},
    {"combined address", {{4, "K"}}, "creditor.addressType: combined addresses (type K) are no longer accepted since 21 November 2025"},
    {"creditor without a name", {{5, ""}}, "creditor.name: missing"},
    {"name of 71 characters", {{5, std::string(71, 'n')}}, "creditor.name: more than 70"},
    {"building number of 17 characters", {{7, std::string(17, '1')}}, "creditor.buildingNumber:"},
    {"town of 36 characters", {{9, std::string(36, 't')}}, "creditor.town: more than 35"},
    {"creditor without a town", {{9, ""}}, "creditor.town: missing"},
    {"country in lower case", {{10, "ch"}}, "creditor.country:"},
    {"ultimate creditor filled in", {{12, "Someone"}}, "ultimateCreditor:"},
    {"amount with a comma", {{18, "1949,75"}}, "amount:"},
    {"amount with one decimal", {{18, "1949.7"}}, "amount:"},
    {"amount with a leading zero", {{18, "01949.75"}}, "amount:"},
    {"negative amount", {{18, "-1.00"}}, "amount:"},
    {"amount above the largest", {{18, "1000000000.00"}}, "amount:"},
    {"currency other than CHF and EUR", {{19, "USD"}}, "currency:"},
    {"debtor without a town", {{25, ""}}, "ultimateDebtor.town: missing"},
    {"debtor of type K", {{20, "K"}}, "ultimateDebtor.addressType:"},
    {"debtor without an address type", {{20, ""}}, "ultimateDebtor.addressType:"},
    {"QR reference with a wrong check digit", {{28, "210000000003139471430009018"}}, "reference:"},
    {"QR reference of 26 digits", {{28, "21000000000313947143000901"}}, "reference:"},
    {"QR reference with blanks", {{28, "21 00000 00003 13947 14300 09017"}}, "reference:"},
    {"QR-IBAN with a creditor reference", {{27, "SCOR"}, {28, "RF18539007547034"}}, "referenceType:"},
    {"QR-IBAN without reference", {{27, "NON"}, {28, ""}}, "referenceType:"},
    {"QRR with an ordinary IBAN", {{3, "CH9300762011623852957"}}, "referenceType:"},
    {"creditor reference with wrong check digits",
     {{3, "CH9300762011623852957"}, {27, "SCOR"}, {28, "RF19539007547034"}}, "reference:"},
    {"NON with a reference", {{3, "CH9300762011623852957"}, {27, "NON"}}, "reference:"},
    {"unknown reference type", {{27, "ESR"}}, "referenceType:"},
    {"message and bill information above 140", {{29, std::string(120, 'm')}}, "billInformation:"},
    {"trailer missing", {{30, "EOD"}}, "trailer:"},
    {"character outside the Swiss set", {{5, "Robert \xE2\x84\xA2 AG"}}, "creditor.name: character U+2122"},
    {"control character", {{29, "Order\t15"}}, "message: character U+0009"},
    {"broken UTF-8", {{5, "Robert \xC3 AG"}}, "creditor.name: not well-formed UTF-8"},
    {"alternative scheme of 101 characters", {{32, std::string(101, 'a')}}, "alternativeSchemes:"},
};

TEST(QrBillRefusal, EachFaultIsRefusedNamingItsField) {
    const std::string valid = join(full_bill);
    tarvo_qrbill_t *bill = nullptr;
    ASSERT_EQ(tarvo_qrbill_parse(valid.data(), valid.size(), &bill, nullptr, 0), 1);
    for (const Refused &r : refusals) {
        std::vector<std::string> lines = full_bill;
        for (const Change &c : r.changes) lines[c.line] = c.value;
        const std::string payload = join(lines);
        tarvo_qrbill_t *got = bill;
        char error[256] = "untouched";
        EXPECT_EQ(tarvo_qrbill_parse(payload.data(), payload.size(), &got, error, sizeof error), -1) << r.what;
        EXPECT_EQ(got, nullptr) << r.what;
        EXPECT_EQ(std::string(error).rfind(r.field, 0), 0u) << r.what << ": " << error;
    }
    free(bill);
}

TEST(QrBillRefusal, PayloadsOfTheWrongShape) {
    const std::string valid = join(full_bill);
    struct Case {
        const char *what;
        std::string payload;
        const char *field;
    } cases[] = {
        {"empty", "", "header:"},
        {"missing lines", valid.substr(0, valid.find("\nEPD")), "payload: 30 lines"},
        {"a third alternative scheme", valid + "\neBill/B/x\neBill/B/y", "alternativeSchemes:"},
        {"above 997 characters", [] {
             std::vector<std::string> lines = full_bill;
             lines[29] = std::string(1000, 'm');
             return join(lines);
         }(), "payload: more than 997"},
        {"a NUL inside", std::string(valid).replace(valid.find("Biel"), 1, 1, '\0'), "creditor.town: character U+0000"},
        {"a lone CR", std::string(valid).replace(valid.find(" of 15"), 1, 1, '\r'), "message: character U+000D"},
    };
    for (const Case &c : cases) {
        tarvo_qrbill_t *got = nullptr;
        char error[256] = "";
        EXPECT_EQ(tarvo_qrbill_parse(c.payload.data(), c.payload.size(), &got, error, sizeof error), -1) << c.what;
        EXPECT_EQ(std::string(error).rfind(c.field, 0), 0u) << c.what << ": " << error;
    }
}

// The writer applies the reader's rules to a record and leaves nothing on refusal.
TEST(QrBillRefusal, WriterRefusesWhatTheReaderWould) {
    const std::string valid = join(full_bill);
    tarvo_qrbill_t *parsed = nullptr;
    ASSERT_EQ(tarvo_qrbill_parse(valid.data(), valid.size(), &parsed, nullptr, 0), 1);
    struct Case {
        const char *what;
        void (*change)(tarvo_qrbill_t &);
        const char *field;
    } cases[] = {
        {"negative amount", [](tarvo_qrbill_t &b) { b.amount = -5; }, "amount:"},
        {"amount above the largest", [](tarvo_qrbill_t &b) { b.amount = 100'000'000'000; }, "amount:"},
        {"line end in a name", [](tarvo_qrbill_t &b) { b.creditor.name = "Robert\nSchneider"; }, "creditor.name:"},
        {"debtor with only a street", [](tarvo_qrbill_t &b) { b.ultimateDebtor = {nullptr, "Gasse", nullptr, nullptr, nullptr, nullptr}; },
         "ultimateDebtor.name: missing"},
        {"second scheme without the first", [](tarvo_qrbill_t &b) {
             b.alternativeSchemes[0] = "";
             b.alternativeSchemes[1] = "eBill/B/x";
         }, "alternativeSchemes:"},
        {"no currency", [](tarvo_qrbill_t &b) { b.currency = nullptr; }, "currency:"},
        {"no bill", nullptr, "bill:"},
    };
    for (const Case &c : cases) {
        tarvo_qrbill_t b = *parsed;
        if (c.change != nullptr) c.change(b);
        char error[256] = "";
        char *payload = tarvo_qrbill_make(c.change != nullptr ? &b : nullptr, error, sizeof error);
        EXPECT_EQ(payload, nullptr) << c.what;
        free(payload);
        EXPECT_EQ(std::string(error).rfind(c.field, 0), 0u) << c.what << ": " << error;
    }
    tarvo_qrbill_t open = *parsed;
    open.hasAmount = 0;
    char *payload = tarvo_qrbill_make(&open, nullptr, 0);
    ASSERT_NE(payload, nullptr);
    EXPECT_NE(std::string(payload).find("\n\nCHF\n"), std::string::npos) << "an open amount is an empty line";
    free(payload);
    free(parsed);
}

} // namespace
