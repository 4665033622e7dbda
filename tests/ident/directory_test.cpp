// The bank directory: the perfect hash over every record key, lookups by country and bank
// code, and German records with a second version. Tests named *_SharedEdition check
// records of the reference data in ../shared/data and change with a new edition.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>

#include "directory_data.h"
#include "ident/ident.h"

namespace {

using tarvo::bank_record;
using tarvo::DB;
using tarvo::lookup_bank;
using tarvo::lookup_bank_at;

// Key of record i: BICs have 11 characters, bank-code keys "_" + country + code.
std::string key_of(int i) {
    if (i < tarvo::db_at_first)
        return std::string(DB[i], 11);
    return std::string(DB[i], i < tarvo::db_de_first ? 8 : 11);
}

TEST(DirectoryHash, EveryRecordKeyHashesToItsIndex) {
    for (int i = 0; i < tarvo::db_records; ++i)
        ASSERT_EQ(tarvo::hash(key_of(i).c_str()), i) << key_of(i);
}

TEST(DirectoryHash, BlocksAreInKeyOrderWithTheirPrefixes) {
    ASSERT_LT(0, tarvo::db_at_first);
    ASSERT_LT(tarvo::db_at_first, tarvo::db_ch_first);
    ASSERT_LT(tarvo::db_ch_first, tarvo::db_de_first);
    ASSERT_LT(tarvo::db_de_first, tarvo::db_records);
    for (int i = 1; i < tarvo::db_records; ++i) {
        if (i != tarvo::db_at_first) {
            EXPECT_LT(key_of(i - 1), key_of(i)) << i;
        }
    }
    for (int i = tarvo::db_at_first; i < tarvo::db_records; ++i) {
        const char *prefix = i < tarvo::db_ch_first ? "_AT" : i < tarvo::db_de_first ? "_CH" : "_DE";
        EXPECT_EQ(0, strncmp(DB[i], prefix, 3)) << key_of(i);
        // Codes are stored zero-padded and heading rows are dropped, so every key is one
        // that a lookup can form.
        const std::string code = key_of(i).substr(3);
        EXPECT_EQ(code.find_first_not_of("0123456789"), std::string::npos) << key_of(i);
    }
}

TEST(DirectoryHash, TablesHaveTheShapeTheFormulaNeeds) {
    const int n = tarvo::db_records;
    int touched = 0;
    for (uint32_t v = 0; v < tarvo::hash_vertices; ++v) {
        ASSERT_GE(tarvo::g[v], -1);
        ASSERT_LT(tarvo::g[v], n);
        touched += tarvo::g[v] >= 0;
    }
    EXPECT_LE(touched, 3 * n);
    for (const uint32_t *t : {tarvo::T0, tarvo::T1, tarvo::T2})
        for (int i = 0; i < tarvo::hash_positions * tarvo::hash_chars; ++i)
            ASSERT_LT(t[i], tarvo::hash_vertices);
    // About 1.23 vertices per key: small enough to stay compact, above the peeling limit.
    EXPECT_GT(tarvo::hash_vertices, static_cast<uint32_t>(1.2 * n));
    EXPECT_LT(tarvo::hash_vertices, static_cast<uint32_t>(1.4 * n));
}

TEST(DirectoryHash, RejectsWhatCannotBeAKey) {
    EXPECT_EQ(tarvo::hash(nullptr), -1);
    EXPECT_EQ(tarvo::hash(""), -1);
    EXPECT_EQ(tarvo::hash("_DE37"), -1);            // 5 characters
    EXPECT_EQ(tarvo::hash("AACSDE33XXX00000"), -1); // 16 characters
    EXPECT_EQ(tarvo::hash("_DE3704 044"), -1);      // space
    EXPECT_EQ(tarvo::hash("_DE3704{044"), -1);      // above 'z'
    EXPECT_EQ(tarvo::hash("_DE3704/044"), -1);      // below '0'
    EXPECT_EQ(tarvo::hash("AACSDE33\xc3\xa4X"), -1); // UTF-8 byte
}

TEST(DirectoryHash, NonKeysGiveMinusOneOrAnotherRecord) {
    std::set<std::string> keys;
    for (int i = 0; i < tarvo::db_records; ++i)
        keys.insert(key_of(i));
    std::mt19937 rnd(12345);
    int tried = 0, minus_one = 0;
    for (int k = 0; k < 20000; ++k) {
        std::string key;
        const int length = 6 + static_cast<int>(rnd() % 10);
        for (int p = 0; p < length; ++p)
            key += static_cast<char>('0' + rnd() % 75);
        if (keys.count(key))
            continue;
        ++tried;
        const int index = tarvo::hash(key.c_str());
        ASSERT_GE(index, -1);
        ASSERT_LT(index, tarvo::db_records);
        if (index < 0)
            ++minus_one;
        else
            EXPECT_NE(key_of(index), key);
    }
    EXPECT_GT(tried, 19000);
    // Vertices that no key touches are -1, so some non-keys end at once.
    EXPECT_GT(minus_one, 0);
}

TEST(LookupBank, Commerzbank_SharedEdition) {
    bank_record r;
    ASSERT_EQ(lookup_bank("DE", "37040044", &r), 1);
    EXPECT_STREQ(r.bic, "COBADEFFXXX");
    EXPECT_STREQ(r.name, "Commerzbank");
    EXPECT_STREQ(r.zip, "50447");
    EXPECT_STREQ(r.city, "K\xc3\xb6ln");
    EXPECT_STREQ(r.country, "DE");
    EXPECT_EQ(r.method, 0x13);
    EXPECT_EQ(r.iban_rule, 503);
    EXPECT_EQ(r.deleted, 0);
    ASSERT_NE(r.successor, nullptr);
    EXPECT_STREQ(r.successor, "");
    // Every pointer points into the record's own copy.
    for (const char *p : {r.bic, r.name, r.zip, r.city, r.country, r.successor}) {
        EXPECT_GE(p, r.text);
        EXPECT_LT(p, r.text + sizeof r.text);
    }
}

TEST(LookupBank, MalformedRequestsFail) {
    bank_record r;
    EXPECT_EQ(lookup_bank("DE", "3704004", &r), 0); // padded to 03704004, not a bank code
    EXPECT_EQ(lookup_bank("DE", "370400440", &r), 0);
    EXPECT_EQ(lookup_bank("DE", "", &r), 0);
    EXPECT_EQ(lookup_bank("DE", nullptr, &r), 0);
    EXPECT_EQ(lookup_bank(nullptr, "37040044", &r), 0);
    EXPECT_EQ(lookup_bank("DE", "37040044", nullptr), 0);
    EXPECT_EQ(lookup_bank("FR", "37040044", &r), 0);
    EXPECT_EQ(lookup_bank("de", "37040044", &r), 0);
    EXPECT_EQ(lookup_bank("DEU", "37040044", &r), 0);
    EXPECT_EQ(lookup_bank("DE", "3704 044", &r), 0);
    EXPECT_EQ(lookup_bank("DE", "3704004A", &r), 0);
    EXPECT_EQ(lookup_bank("AT", "100000", &r), 0);
    // A BIC is no bank code, even when its key has the length of one.
    EXPECT_EQ(lookup_bank("DE", "AACSDE33", &r), 0);
}

TEST(LookupBank, AustrianCodesArePaddedAndHeadingsDropped_SharedEdition) {
    bank_record r;
    ASSERT_EQ(lookup_bank("AT", "10000", &r), 1);
    EXPECT_STREQ(r.bic, "OEKOATWWXXX");
    EXPECT_STREQ(r.name, "Oesterreichische Kontrollbank Aktiengesellschaft");
    EXPECT_STREQ(r.zip, "1010");
    EXPECT_STREQ(r.city, "Wien");
    EXPECT_STREQ(r.country, "AT");
    EXPECT_EQ(r.successor, nullptr);
    EXPECT_EQ(r.method, 0);
    EXPECT_EQ(r.iban_rule, 0);
    // Codes of fewer than five digits are stored zero-padded, so both forms find them.
    ASSERT_EQ(lookup_bank("AT", "100", &r), 1);
    EXPECT_STREQ(r.bic, "NABAATWWXXX");
    ASSERT_EQ(lookup_bank("AT", "00100", &r), 1);
    EXPECT_STREQ(r.bic, "NABAATWWXXX");
    // A bank without a BIC has an empty one.
    ASSERT_EQ(lookup_bank("AT", "18170", &r), 1);
    EXPECT_STREQ(r.bic, "");
    EXPECT_EQ(tarvo::hash("_ATBankleitzahlSWIFT"), -1);
}

TEST(LookupBank, SwissAndLiechtensteinCodes_SharedEdition) {
    bank_record r;
    ASSERT_EQ(lookup_bank("CH", "100", &r), 1);
    EXPECT_EQ(0, strncmp(DB[tarvo::hash("_CH00100")], "_CH00100", 8));
    EXPECT_STREQ(r.bic, "SNBZCHZZXXX");
    EXPECT_STREQ(r.name, "Schweizerische Nationalbank");
    EXPECT_STREQ(r.zip, "8022");
    EXPECT_STREQ(r.city, "Z\xc3\xbcrich");
    ASSERT_NE(r.country, nullptr);
    EXPECT_STREQ(r.country, ""); // Swiss institutions carry no country
    // Liechtenstein codes are Swiss clearing numbers; the record keeps its own country.
    bank_record li;
    ASSERT_EQ(lookup_bank("LI", "30172", &li), 1);
    EXPECT_STREQ(li.bic, "LILALI2XXXX");
    EXPECT_STREQ(li.country, "LI");
    ASSERT_EQ(lookup_bank("CH", "30172", &r), 1);
    EXPECT_STREQ(r.name, li.name);
    // A foreign institution with a Swiss clearing number.
    ASSERT_EQ(lookup_bank("CH", "193", &r), 1);
    EXPECT_STREQ(r.bic, "SECGDEFFXXX");
    EXPECT_STREQ(r.country, "DE");
}

TEST(LookupBank, DeletionMarkAndSuccessor_SharedEdition) {
    bank_record r;
    ASSERT_EQ(lookup_bank("DE", "13061088", &r), 1);
    EXPECT_EQ(r.deleted, 1);
    EXPECT_STREQ(r.successor, "13061078");
}

// The shared pair of editions starts 2025-06-09 and 2025-09-08; the newer one applies from
// its first day, 00:00 German summer time.
constexpr time_t newer_edition_start = 1757282400; // 2025-09-07 22:00:00 UTC

TEST(LookupBank, SwitchInstantIsTheNewerEditionsFirstMidnight_SharedEdition) {
    EXPECT_EQ(tarvo::directory_switch_instant, newer_edition_start);
}

TEST(LookupBank, SecondVersionAppliesFromTheSwitchInstant_SharedEdition) {
    const time_t before = tarvo::directory_switch_instant - 1, from = tarvo::directory_switch_instant;
    bank_record r;
    // Name, postal code and city changed.
    ASSERT_EQ(lookup_bank_at("DE", "37060193", &r, before), 1);
    EXPECT_STREQ(r.name, "Pax-Bank");
    EXPECT_STREQ(r.zip, "50467");
    EXPECT_STREQ(r.city, "K\xc3\xb6ln");
    EXPECT_STREQ(r.country, "DE");
    ASSERT_EQ(lookup_bank_at("DE", "37060193", &r, from), 1);
    EXPECT_STREQ(r.name, "Pax-Bank f\xc3\xbcr Kirche und Caritas");
    EXPECT_STREQ(r.zip, "33098");
    EXPECT_STREQ(r.city, "Paderborn");
    EXPECT_STREQ(r.country, "DE");
    // The BIC was withdrawn.
    ASSERT_EQ(lookup_bank_at("DE", "70010588", &r, before), 1);
    EXPECT_STREQ(r.bic, "SCABDEMMXXX");
    ASSERT_EQ(lookup_bank_at("DE", "70010588", &r, from), 1);
    EXPECT_STREQ(r.bic, "");
    // The clock of lookup_bank is now, long after the switch.
    ASSERT_EQ(lookup_bank("DE", "37060193", &r), 1);
    EXPECT_STREQ(r.city, "Paderborn");
}

TEST(LookupBank, CodesOfOnlyOneEditionExistOnlyWhileThatEditionApplies_SharedEdition) {
    const time_t before = tarvo::directory_switch_instant - 1, from = tarvo::directory_switch_instant;
    bank_record r;
    // Dropped by the newer edition.
    ASSERT_EQ(lookup_bank_at("DE", "51230600", &r, before), 1);
    EXPECT_STREQ(r.bic, "ARABDEFFXXX");
    EXPECT_STREQ(r.city, "Frankfurt am Main");
    EXPECT_EQ(lookup_bank_at("DE", "51230600", &r, from), 0);
    // New in the newer edition.
    EXPECT_EQ(lookup_bank_at("DE", "86021000", &r, before), 0);
    ASSERT_EQ(lookup_bank_at("DE", "86021000", &r, from), 1);
    EXPECT_STREQ(r.name, "aifinyo payments");
    EXPECT_STREQ(r.bic, "AIPGDE82XXX");
    EXPECT_EQ(r.iban_rule, 0); // not in the IBAN rule table: rule 0000 version 00
    EXPECT_EQ(r.method, 0x09);
}

TEST(LookupBank, EveryGermanRecordReadsCleanlyOnBothSidesOfTheSwitch) {
    int second_versions = 0;
    for (int i = tarvo::db_de_first; i < tarvo::db_records; ++i) {
        const std::string code = key_of(i).substr(3);
        bank_record before, after;
        const int found_before = lookup_bank_at("DE", code.c_str(), &before, tarvo::directory_switch_instant - 1);
        const int found_after = lookup_bank_at("DE", code.c_str(), &after, tarvo::directory_switch_instant);
        ASSERT_TRUE(found_before || found_after) << code;
        for (const auto *r : {found_before ? &before : nullptr, found_after ? &after : nullptr}) {
            if (!r)
                continue;
            ASSERT_NE(r->country, nullptr) << code;
            EXPECT_STREQ(r->country, "DE") << code;
            EXPECT_LE(r->deleted, 1) << code;
            EXPECT_TRUE(strlen(r->bic) == 0 || strlen(r->bic) == 11) << code;
            EXPECT_TRUE(strlen(r->successor) == 0 || strlen(r->successor) == 8) << code;
            EXPECT_EQ(strlen(r->zip), 5u) << code;
            EXPECT_GT(strlen(r->name), 0u) << code;
        }
        second_versions += found_before != found_after ||
                           (found_before && (strcmp(before.name, after.name) || strcmp(before.bic, after.bic) ||
                                             strcmp(before.zip, after.zip) || strcmp(before.city, after.city) ||
                                             before.method != after.method || before.deleted != after.deleted ||
                                             strcmp(before.successor, after.successor)));
    }
    EXPECT_EQ(second_versions, tarvo::db_second_versions);
}

// The method-only lookup behind bulk account checks reads the same version as the full one.
TEST(GermanMethod, AgreesWithTheFullRecordOnBothSidesOfTheSwitch) {
    int listed = 0, unlisted = 0;
    for (int i = tarvo::db_de_first; i < tarvo::db_records; ++i) {
        const std::string code = key_of(i).substr(3);
        for (const time_t at : {tarvo::directory_switch_instant - 1, tarvo::directory_switch_instant}) {
            bank_record r;
            const bool found = lookup_bank_at("DE", code.c_str(), &r, at) == 1;
            EXPECT_EQ(tarvo::german_method_at(code.c_str(), at), found ? r.method : -1) << code << " @ " << at;
            found ? ++listed : ++unlisted;
        }
    }
    EXPECT_GT(listed, 1000);
    EXPECT_GT(unlisted, 0);
}

TEST(GermanMethod, CodesNotInTheDirectory) {
    std::mt19937 rnd(99);
    int absent = 0;
    for (int k = 0; k < 20000; ++k) {
        char code[9];
        for (int p = 0; p < 8; ++p)
            code[p] = static_cast<char>('0' + rnd() % 10);
        code[8] = '\0';
        bank_record r;
        const bool found = lookup_bank("DE", code, &r) == 1;
        ASSERT_EQ(tarvo::german_method(code), found ? r.method : -1) << code;
        absent += !found;
    }
    EXPECT_GT(absent, 0);
}

TEST(LookupBank, EveryAustrianAndSwissRecordIsFoundByItsCode) {
    for (int i = tarvo::db_at_first; i < tarvo::db_de_first; ++i) {
        const std::string key = key_of(i);
        bank_record r;
        ASSERT_EQ(lookup_bank(key.substr(1, 2).c_str(), key.substr(3).c_str(), &r), 1) << key;
        ASSERT_NE(r.country, nullptr) << key;
        EXPECT_TRUE(strlen(r.bic) == 0 || strlen(r.bic) == 11) << key;
        EXPECT_GT(strlen(r.name), 0u) << key;
    }
}

TEST(LookupBank, RandomInputNeverCrashes) {
    std::mt19937 rnd(777);
    const char *countries[] = {"AT", "CH", "DE", "LI"};
    for (int k = 0; k < 20000; ++k) {
        char code[12];
        const int length = static_cast<int>(rnd() % 11);
        for (int p = 0; p < length; ++p)
            code[p] = static_cast<char>(1 + rnd() % 255);
        code[length] = '\0';
        bank_record r;
        const int found = lookup_bank(countries[rnd() % 4], code, &r);
        ASSERT_TRUE(found == 0 || found == 1);
    }
}

} // namespace
