// Postal addresses: what each rulebook can write, the town and country every structured
// address needs, the characters of the parts, and refusals of documents that would lose
// an address.
#include "message/xml_test_support.h"

namespace tarvo::test {
namespace {

constexpr const char *town_and_country = "Address requires town and country (addrTown and addrCC)";

Message debtor_side(int type) { return new_message(type, "Owner"); }

// A complete transaction of either kind plus the address pairs given.
Kv with_address(std::initializer_list<std::pair<const char *, std::string>> address) {
    Kv kv{{"name", "Party"}, {"iban", "NL91ABNA0417164300"}, {"amount", "1"}, {"seq", "RCUR"},
          {"mref", "M-1"},   {"mdate", "2023-05-01"}};
    for (const auto &[key, value] : address) kv.set(key, value);
    return kv;
}

class AddressRule : public ::testing::TestWithParam<int> {};

TEST_P(AddressRule, NewestRulebookWantsTownAndCountryWheneverAnAddressIsGiven) {
    RulebookScope rulebook("DE-3.7");
    struct Case {
        Kv kv;
        const char *message; // null: accepted
    };
    Case cases[] = {
        {with_address({}), nullptr},
        {with_address({{"addrTown", "Berlin"}, {"addrCC", "DE"}}), nullptr},
        {with_address({{"addrStreet", "Hauptstr."}, {"addrCode", "10115"}, {"addrTown", "Berlin"}, {"addrCC", "DE"}}),
         nullptr},
        {with_address({{"addrStreet", "Hauptstr."}}), town_and_country},
        {with_address({{"addrStreet", "Hauptstr."}, {"addrCC", "DE"}}), town_and_country},
        {with_address({{"addrTown", "Berlin"}}), town_and_country},
        {with_address({{"addrCC", "DE"}}), town_and_country},
        {with_address({{"addrCtrySub", "Bayern"}, {"addrTown", "Passau"}}), town_and_country},
    };
    for (Case &c : cases) {
        Message h = debtor_side(GetParam());
        const char *expected = c.message != nullptr ? c.message : "(accepted)";
        const int added = tarvo_add(h.get(), c.kv.list());
        EXPECT_EQ(added, c.message == nullptr ? 1 : 0) << expected << ": " << error_of(h.get());
        if (c.message != nullptr) {
            EXPECT_EQ(error_of(h.get()), c.message);
        }
        if (!added) continue;
        const auto doc = render_at(h.get());
        ASSERT_TRUE(doc) << error_of(h.get());
        const std::string variant = GetParam() == TARVO_MSGTYPE_DDI ? "pain.008.001.08" : "pain.001.001.09";
        EXPECT_TRUE(valid_against(*doc, variant));
    }
}

TEST_P(AddressRule, PartsAreCheckedForTheirCharacters) {
    RulebookScope rulebook("DE-3.7");
    Message h = debtor_side(GetParam());
    struct Case {
        const char *key;
        const char *value;
        const char *message;
    };
    for (const Case &c : {
             Case{"addrStreet", "Haupt\x01str.", "Invalid character (byte 0x01) in 'addrStreet'"},
             Case{"addrTown", "Ber\x1Blin", "Invalid character (byte 0x1B) in 'addrTown'"},
             Case{"AddrDept", "Tab\there", "Invalid character (byte 0x09) in 'AddrDept'"},
             Case{"addrBldg", "<Tower>", "Invalid character '<' in 'addrBldg'"},
             Case{"addrRoom", "R\xFF", "Invalid character (byte 0xFF) in 'addrRoom'"},
             Case{"addrLoc", "\xC3", "Invalid character (byte 0xC3) in 'addrLoc'"},
             Case{"addrNum", "7\x7F", "Invalid character (byte 0x7F) in 'addrNum'"},
         }) {
        Kv kv = with_address({{"addrTown", "Berlin"}, {"addrCC", "DE"}});
        kv.set(c.key, c.value);
        EXPECT_EQ(tarvo_add(h.get(), kv.list()), 0) << c.key;
        EXPECT_EQ(error_of(h.get()), c.message);
    }
    EXPECT_EQ(h->tx_count, 0U);
    add_ok(h.get(),
           with_address({{"addrStreet", "Groß-Straße & Co. (Süd)"}, {"addrTown", "München"}, {"addrCC", "DE"}}));
}

TEST_P(AddressRule, RenderRefusesAnAddressItsRulebookCannotWrite) {
    Message h = debtor_side(GetParam());
    {
        RulebookScope rulebook("DE-3.7");
        add_ok(h.get(), with_address({{"addrStreet", "Dam"}, {"addrTown", "Amsterdam"}, {"addrCC", "NL"}}));
    }
    {
        RulebookScope rulebook("DE-3.5");
        add_ok(h.get(), with_address({{"addrLine1", "Dam 1"}, {"addrCC", "NL"}}));
        add_ok(h.get(), with_address({{"addrCC", "NL"}}));
        EXPECT_FALSE(render_at(h.get()));
        EXPECT_EQ(error_of(h.get()), "Structured address not supported by the selected SEPA rulebook in transaction 1");
    }
    RulebookScope rulebook("DE-3.7");
    EXPECT_FALSE(render_at(h.get()));
    EXPECT_EQ(
        error_of(h.get()),
        "Address lines not supported by the selected SEPA rulebook (structured address required) in transaction 2");
}

TEST_P(AddressRule, CountryAloneAddedUnderAnOlderRulebookIsRefusedUnderTheNewest) {
    Message h = debtor_side(GetParam());
    {
        RulebookScope rulebook("DE-3.1");
        add_ok(h.get(), with_address({}));
        add_ok(h.get(), with_address({{"addrCC", "NL"}}));
        const auto doc = render_at(h.get());
        ASSERT_TRUE(doc) << error_of(h.get());
        EXPECT_EQ(count_of(*doc, "<Ctry>NL</Ctry>"), 1U);
    }
    RulebookScope rulebook("DE-3.7");
    EXPECT_FALSE(render_at(h.get()));
    EXPECT_EQ(error_of(h.get()), std::string(town_and_country) + " in transaction 2");
}

INSTANTIATE_TEST_SUITE_P(BothKinds, AddressRule, ::testing::Values(TARVO_MSGTYPE_DDI, TARVO_MSGTYPE_CTI),
                         [](const auto &info) { return info.param == TARVO_MSGTYPE_DDI ? "Debits" : "Transfers"; });

TEST(AustrianSigns, WrittenInUtf8NotAsSingleBytes) {
    RulebookScope rulebook("AT-6");
    Message h = debtor_side(TARVO_MSGTYPE_CTI);
    Kv raw = with_address({});
    raw.set("ref", "\xA7 3");
    EXPECT_EQ(tarvo_add(h.get(), raw.list()), 0);
    EXPECT_EQ(error_of(h.get()), "Invalid character '\xA7' in unstructured remittance information");
    Kv utf8 = with_address({});
    utf8.set("ref", "\xC2\xA7 3, 20 \xC2\xB0"
                    "C")
        .set("name", "Gr\xC2\xB0"
                     "d");
    add_ok(h.get(), utf8);
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_NE(doc->find("<Ustrd>\xC2\xA7 3, 20 \xC2\xB0"
                        "C</Ustrd>"),
              std::string::npos);
    EXPECT_TRUE(well_formed(*doc));
    EXPECT_TRUE(valid_against(*doc, "pain.001.001.03"));
}

// A null value is refused for every key of either kind, and nothing after it is read:
// the lists here end right after the null value, without an end marker.
TEST(NullValues, RefusedForEveryKey) {
    const char *keys[] = {"iban", "bic",      "addrCC",     "addrLine1", "addrLine2", "ref",      "amount",   "date",
                          "id",   "name",     "seq",        "mref",      "mdate",     "old_mref", "old_iban", "smnda",
                          "purp", "addrDept", "addrStreet", "addrTown",  "unknown",   "Whatever"};
    for (const char *rulebook_id : {"DE-3.5", "DE-3.7"}) {
        RulebookScope rulebook(rulebook_id);
        for (int type : {TARVO_MSGTYPE_DDI, TARVO_MSGTYPE_CTI}) {
            Message h = debtor_side(type);
            for (const char *key : keys) {
                const std::vector<const char *> kv{"iban", "NL91ABNA0417164300", "amount", "1", key, nullptr};
                EXPECT_EQ(tarvo_add(h.get(), kv.data()), 0) << rulebook_id << " " << key;
                EXPECT_FALSE(error_of(h.get()).empty()) << key;
            }
            EXPECT_EQ(h->tx_count, 0U);
        }
    }
    RulebookScope rulebook("DE-3.5");
    Message h = debtor_side(TARVO_MSGTYPE_CTI);
    const std::vector<const char *> kv{"iban", "NL91ABNA0417164300", "amount", "1", "mref", nullptr};
    EXPECT_EQ(tarvo_add(h.get(), kv.data()), 0);
    EXPECT_EQ(error_of(h.get()), "Missing value for 'mref'");
}

} // namespace
} // namespace tarvo::test
