// EPC QR codes: every shared case gets its verdict, the writer's form, and the character sets
// a code may declare.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "tarvo.h"

namespace {

using nlohmann::json;

std::string text(const char *value) { return value == nullptr ? std::string{} : value; }

// A valid code to which each described fault of the shared cases is applied.
tarvo_epcqr_t valid_code() {
    tarvo_epcqr_t c{};
    c.version = "002";
    c.name = "Wikimedia Foerdergesellschaft";
    c.iban = "DE33100205000001194700";
    c.hasAmount = 1;
    c.amount = 12345;
    c.text = "Spende fuer Wikipedia";
    return c;
}

// The shared cases that describe a fault instead of giving a payload, by id: the fault
// applied to a valid code, to the payload it writes when the writer would refuse it.
const std::map<std::string, std::string (*)()> described_faults = {
    {"smhg_invalid:L12-18", [] { return std::string("ABC\n002\n1\nSCT\n\nTest\nDE33100205000001194700"); }},
    {"smhg_invalid:L20-26", [] { return std::string("BCD\n003\n1\nSCT\n\nTest\nDE33100205000001194700"); }},
    {"smhg_invalid:L28-34", [] { return std::string("BCD\n002\n9\nSCT\n\nTest\nDE33100205000001194700"); }},
    {"smhg_invalid:L36-42", [] { return std::string("BCD\n002\n1\nABC\n\nTest\nDE33100205000001194700"); }},
    {"smhg_invalid:L44-50", [] { return std::string("BCD\n002\n1\nSCT\nABCDEFGHI\nTest\nDE33100205000001194700"); }},
    {"smhg_invalid:L52-60", [] { return "BCD\n002\n1\nSCT\n\n" + std::string(75, 'n') + "\nDE33100205000001194700"; }},
    {"smhg_invalid:L62-70", [] { return std::string("BCD\n002\n1\nSCT\n\nTest\nDE331002050000011947000000000000000"); }},
    {"smhg_invalid:L72-78", [] { return std::string("BCD\n002\n1\nSCT\n\nTest\nDE33100205000001194700\nABCD1.00"); }},
    {"smhg_invalid:L80-94", [] { return std::string("BCD\n002\n1\nSCT\n\nTest\nDE33100205000001194700\nEUR0"); }},
    {"smhg_invalid:L96-102", [] { return std::string("BCD\n002\n1\nSCT\n\nTest\nDE33100205000001194700\n\nINVALID"); }},
    {"smhg_invalid:L104-112", [] { return "BCD\n002\n1\nSCT\n\nTest\nDE33100205000001194700\n\n\n" + std::string(40, '1'); }},
    {"smhg_invalid:L114-121 and 133-140",
     [] { return std::string("BCD\n002\n1\nSCT\n\nTest\nDE33100205000001194700\n\n\nRF18539007547034\nText"); }},
    {"smhg_invalid:L123-131", [] { return "BCD\n002\n1\nSCT\n\nTest\nDE33100205000001194700\n\n\n\n" + std::string(150, 't'); }},
    {"smhg_invalid:L142-150", [] { return "BCD\n002\n1\nSCT\n\nTest\nDE33100205000001194700\n\n\n\n\n" + std::string(75, 'i'); }},
    {"smhg_invalid:L152-180", [] { return std::string("BCD\n001\n1\nSCT\n\nTest\nDE33100205000001194700"); }},
};

TEST(EpcQr, EverySharedCaseGetsItsVerdict) {
    std::ifstream in(TARVO_SHARED_DIR "/samples/qr/epc/cases.json");
    ASSERT_TRUE(in) << "cases.json not found";
    const json cases = json::parse(in)["cases"];
    ASSERT_EQ(cases.size(), 18u);
    for (const json &c : cases) {
        const std::string id = c["id"];
        const bool valid = c["valid"];
        std::string payload;
        if (c.contains("payload")) {
            payload = c["payload"];
        } else {
            ASSERT_TRUE(described_faults.count(id)) << "no payload for the described case " << id;
            payload = described_faults.at(id)();
        }
        tarvo_epcqr_t *code = nullptr;
        char error[256] = "";
        const int verdict = tarvo_epcqr_parse(payload.data(), payload.size(), &code, error, sizeof error);
        ASSERT_EQ(verdict, valid ? 1 : -1) << id << ": " << error;
        if (!valid) {
            EXPECT_NE(std::string(error), "") << id;
            continue;
        }
        const json &f = c["fields"];
        EXPECT_EQ(text(code->version), f["version"]) << id;
        EXPECT_EQ(std::to_string(code->charset), f["charset"]) << id;
        EXPECT_EQ(text(code->bic), f["bic"]) << id;
        EXPECT_EQ(text(code->name), f["name"]) << id;
        EXPECT_EQ(text(code->iban), f["iban"]) << id;
        EXPECT_EQ(text(code->purpose), f["purpose"]) << id;
        EXPECT_EQ(text(code->reference), f["structured_reference"]) << id;
        EXPECT_EQ(text(code->text), f["unstructured_remittance"]) << id;
        char *written = tarvo_epcqr_make(code, error, sizeof error);
        ASSERT_NE(written, nullptr) << id << ": " << error;
        // The writer leaves off the line end that some generators put after the last field.
        EXPECT_EQ(std::string(written) + "\n", payload) << id;
        free(written);
        free(code);
    }
}

TEST(EpcQr, WriterRefusalsNameTheField) {
    struct Case {
        const char *what;
        void (*change)(tarvo_epcqr_t &);
        const char *field;
    } cases[] = {
        {"version 001 without BIC", [](tarvo_epcqr_t &c) { c.version = "001"; }, "bic: missing"},
        {"BIC of the wrong form", [](tarvo_epcqr_t &c) { c.bic = "BFSW DE33"; }, "bic:"},
        {"IBAN with blanks", [](tarvo_epcqr_t &c) { c.iban = "DE33 1002 0500 0001 1947 00"; }, "iban:"},
        {"IBAN with a wrong check digit", [](tarvo_epcqr_t &c) { c.iban = "DE34100205000001194700"; }, "iban:"},
        {"no name", [](tarvo_epcqr_t &c) { c.name = ""; }, "name: missing"},
        {"amount zero", [](tarvo_epcqr_t &c) { c.amount = 0; }, "amount:"},
        {"amount above the largest", [](tarvo_epcqr_t &c) { c.amount = 100'000'000'000; }, "amount:"},
        {"purpose in lower case", [](tarvo_epcqr_t &c) { c.purpose = "gdds"; }, "purpose:"},
        {"reference with wrong check digits", [](tarvo_epcqr_t &c) { c.text = nullptr; c.reference = "RF19539007547034"; },
         "reference:"},
        {"line end in the text", [](tarvo_epcqr_t &c) { c.text = "two\nlines"; }, "text:"},
        {"above 331 bytes", [](tarvo_epcqr_t &c) {
             c.name = "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"
                      "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"
                      "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4";
             c.text = "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"
                      "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"
                      "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"
                      "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"
                      "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"
                      "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"
                      "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"
                      "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"
                      "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"
                      "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC";
             c.information = "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC";
         }, "payload: more than 331 bytes"},
    };
    for (const Case &c : cases) {
        tarvo_epcqr_t code = valid_code();
        c.change(code);
        char error[256] = "";
        char *payload = tarvo_epcqr_make(&code, error, sizeof error);
        EXPECT_EQ(payload, nullptr) << c.what;
        free(payload);
        EXPECT_EQ(std::string(error).rfind(c.field, 0), 0u) << c.what << ": " << error;
    }
}

// Texts in a declared single-byte set come out as UTF-8, and the writer declares set 1.
TEST(EpcQr, CharacterSetsAreReadIntoUtf8) {
    struct Case {
        char set;
        std::string name; // in that set
        const char *utf8;
    } cases[] = {
        {'1', "M\xC3\xBCller \xE2\x82\xAC", "M\xC3\xBCller \xE2\x82\xAC"},
        {'2', "M\xFCller", "M\xC3\xBCller"},
        {'3', "\xA3\xF3" "d\xBC", "\xC5\x81\xC3\xB3" "d\xC5\xBA"},          // Łódź
        {'5', "\xBC\xDE\xE1\xDA\xD2\xD0", "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"}, // Москва
        {'6', "\xC1\xE8\xDE\xED\xE1", "\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1"},             // Αθήνα
        {'8', "Preis \xA4", "Preis \xE2\x82\xAC"},
    };
    for (const Case &c : cases) {
        const std::string payload = std::string("BCD\n002\n") + c.set + "\nSCT\n\n" + c.name + "\nDE33100205000001194700";
        tarvo_epcqr_t *code = nullptr;
        char error[256] = "";
        ASSERT_EQ(tarvo_epcqr_parse(payload.data(), payload.size(), &code, error, sizeof error), 1) << c.set << error;
        EXPECT_EQ(text(code->name), c.utf8) << "set " << c.set;
        char *written = tarvo_epcqr_make(code, nullptr, 0);
        ASSERT_NE(written, nullptr);
        EXPECT_EQ(std::string(written), std::string("BCD\n002\n1\nSCT\n\n") + c.utf8 + "\nDE33100205000001194700");
        free(written);
        free(code);
    }
    const std::string undefined = "BCD\n002\n6\nSCT\n\n\xAEx\nDE33100205000001194700"; // a hole in ISO-8859-7
    const std::string broken = "BCD\n002\n1\nSCT\n\nM\xFCller\nDE33100205000001194700";
    for (const std::string &p : {undefined, broken}) {
        tarvo_epcqr_t *code = nullptr;
        char error[256] = "";
        EXPECT_EQ(tarvo_epcqr_parse(p.data(), p.size(), &code, error, sizeof error), -1);
        EXPECT_EQ(std::string(error).rfind("name:", 0), 0u) << error;
    }
}

} // namespace
