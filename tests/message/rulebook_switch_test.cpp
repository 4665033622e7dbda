// A message filled under one rulebook and rendered after the process switched to another:
// the render either refuses, naming the transaction and the field, or hands out a
// document that its own schema takes. A pinned message ignores the switch.
#include "message/xml_test_support.h"

namespace tarvo::test {
namespace {

struct SwitchCase {
    const char *added_under;
    const char *rendered_under;
    int type;
    std::vector<std::pair<const char *, std::string>> extra; // beside a complete transaction
    const char *name;                                      // the message's own name
    const char *refusal;                                   // empty: a valid document
};

const SwitchCase switch_cases[] = {
    {"DE-3.0", "DE-2.9", TARVO_MSGTYPE_DDI, {{"mref", "M 1"}}, "Creditor",
     "Invalid character ' ' in mandate reference in transaction 1"},
    {"AT-6", "DE-2.6", TARVO_MSGTYPE_DDI, {{"old_mref", "O#1"}}, "Creditor",
     "Invalid character '#' in old mandate reference in transaction 1"},
    {"DE-3.7", "DE-2.6", TARVO_MSGTYPE_CTI, {{"name", "M\xC3\xBCller"}}, "Payer",
     "Invalid character '\xC3' in creditor name in transaction 1"},
    {"AT-6", "DE-2.6", TARVO_MSGTYPE_CTI, {{"ref", "10 \xE2\x82\xAC"}}, "Payer",
     "Invalid character '\xE2' in unstructured remittance information in transaction 1"},
    {"DE-3.7", "DE-2.6", TARVO_MSGTYPE_CTI, {}, "Gr\xC3\xBC\xC3\x9F" "e", "tarvo_setName: invalid character '\xC3' in name"},
    {"DE-3.9", "DE-3.7", TARVO_MSGTYPE_CTI, {{"addrLine1", "Hauptstr. 1"}, {"addrTown", "Berlin"}, {"addrCC", "DE"}},
     "Payer", "Address lines not supported by the selected SEPA rulebook (structured address required) in transaction 1"},
    {"DE-3.9", "DE-3.5", TARVO_MSGTYPE_DDI, {{"ultimateName", "Ultimate"}}, "Creditor",
     "Ultimate parties not supported by the selected SEPA rulebook in transaction 1"},
    {"DE-3.9", "AT-6", TARVO_MSGTYPE_CTI, {{"cref", "RF18539007547034"}}, "Payer",
     "Creditor reference not supported by the selected SEPA rulebook in transaction 1"},
    // What both rulebooks take stays valid.
    {"DE-3.7", "DE-3.9", TARVO_MSGTYPE_DDI, {{"mref", "M 1"}, {"cref", "RF18539007547034"}}, "Creditor", ""},
    {"DE-2.6", "DE-3.9", TARVO_MSGTYPE_CTI, {{"ref", "Invoice 7"}}, "Payer", ""},
    {"DE-3.0", "DE-3.5", TARVO_MSGTYPE_DDI, {{"mref", "M 1"}}, "Creditor", ""},
};

Kv complete_transaction(int type) {
    if (type == TARVO_MSGTYPE_DDI)
        return Kv{{"name", "Debtor"}, {"iban", "DE89370400440532013000"}, {"bic", "COBADEFFXXX"}, {"seq", "RCUR"},
                  {"amount", "10.00"}, {"mref", "M-1"}, {"mdate", "2023-05-01"}};
    return Kv{{"name", "Creditor"}, {"iban", "DE89370400440532013000"}, {"bic", "COBADEFFXXX"}, {"amount", "10.00"}};
}

TEST(RulebookSwitch, RenderRefusesOrWritesWhatItsSchemaTakes) {
    for (const SwitchCase &c : switch_cases) {
        SCOPED_TRACE(std::string(c.added_under) + " -> " + c.rendered_under);
        for (const bool pinned : {false, true}) {
            std::optional<std::string> doc;
            Message h;
            {
                RulebookScope added(c.added_under);
                h = new_message(c.type, c.name);
                if (pinned) {
                    ASSERT_EQ(tarvo_setRulebook(h.get(), c.added_under), 1);
                }
                Kv kv = complete_transaction(c.type);
                for (const auto &[key, value] : c.extra) kv.set(key, value);
                ASSERT_EQ(tarvo_add(h.get(), kv.list()), 1) << error_of(h.get());
            }
            RulebookScope rendered(c.rendered_under);
            doc = render_at(h.get());
            const char *writes_under = pinned ? c.added_under : c.rendered_under;
            if (!pinned && *c.refusal != '\0') {
                EXPECT_FALSE(doc);
                EXPECT_EQ(error_of(h.get()), c.refusal);
                continue;
            }
            ASSERT_TRUE(doc) << error_of(h.get());
            const Rulebook &rb = *rulebook(rulebook_number(writes_under));
            const std::string variant(c.type == TARVO_MSGTYPE_DDI ? rb.ddi_variant : rb.cti_variant);
            for (const std::string &schema : schemas_of(variant, writes_under))
                EXPECT_TRUE(valid_against(*doc, schema)) << (pinned ? "pinned" : "");
        }
    }
}

// Faults the render refuses whatever was checked when the message was filled.
TEST(RulebookSwitch, MessageFaultsRefusedAtRender) {
    struct Case {
        const char *rulebook;
        const char *creditor_id;
        bool instant_then_switch;
        const char *refusal;
    } cases[] = {
        {"DE-3.7", "DE36ZZZ", false, "Creditor Identifier too short for the selected SEPA rulebook (at least 8 characters)"},
        {"AT-6", "DE36ZZZ", false, ""},
        {"DE-3.9", "DE98ZZZ09999999999", true, "Instant credit transfers need DE-3.7 or DE-3.9"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rulebook);
        RulebookScope scope(c.rulebook);
        const int type = c.instant_then_switch ? TARVO_MSGTYPE_CTI : TARVO_MSGTYPE_DDI;
        Message h = new_message(type, "Party");
        if (!c.instant_then_switch) {
            ASSERT_EQ(tarvo_setCreditorIdentifier(h.get(), c.creditor_id), 1) << error_of(h.get());
        }
        if (c.instant_then_switch) {
            ASSERT_EQ(tarvo_setInstant(h.get(), 1), 1) << error_of(h.get());
        }
        Kv kv = complete_transaction(type);
        ASSERT_EQ(tarvo_add(h.get(), kv.list()), 1) << error_of(h.get());
        std::optional<RulebookScope> other;
        if (c.instant_then_switch) other.emplace("DE-3.5");
        const auto doc = render_at(h.get());
        if (*c.refusal == '\0') {
            EXPECT_TRUE(doc) << error_of(h.get());
        } else {
            EXPECT_FALSE(doc);
            EXPECT_EQ(error_of(h.get()), c.refusal);
        }
    }
}

TEST(RulebookSwitch, UnknownTransferKeysAreRefusedWithTheNearestKnownOnes) {
    struct Case {
        const char *key;
        const char *refusal; // empty: the add succeeds (the key is ignored)
    } cases[] = {
        {"purpose", "Invalid transaction property 'purpose' (did you mean 'purp' or 'ref'?)"},
        {"remitance", "Invalid transaction property 'remitance' (did you mean 'ref'?)"},
        {"purpsoe", "Invalid transaction property 'purpsoe' (did you mean 'purp' or 'ref'?)"},
        {"ibna", "Invalid transaction property 'ibna' (did you mean 'iban'?)"},
        {"xyzzy", "Invalid transaction property 'xyzzy'"},
        {"mref", ""},
        {"SEQ", ""},
        {"addrStreet", ""}, // a structured key where the rulebook writes none
    };
    RulebookScope scope("DE-3.5");
    for (const Case &c : cases) {
        Message h = new_message(TARVO_MSGTYPE_CTI, "Payer");
        Kv kv = complete_transaction(TARVO_MSGTYPE_CTI);
        kv.set(c.key, "x");
        const int added = tarvo_add(h.get(), kv.list());
        EXPECT_EQ(added, *c.refusal == '\0' ? 1 : 0) << c.key;
        if (*c.refusal != '\0') {
            EXPECT_EQ(error_of(h.get()), c.refusal);
        }
    }
}

} // namespace
} // namespace tarvo::test
