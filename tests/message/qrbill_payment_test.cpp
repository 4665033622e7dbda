// Paying scanned QR-bills: every shared payload becomes a transfer of its own kind (or is
// refused as the notification it is), and the document of all of them validates against
// SIX's schema; refusals name what is wrong.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "message/xml_test_support.h"

namespace tarvo::test {
namespace {

const std::string samples = TARVO_SHARED_DIR "/samples/qr/swiss/";

std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

Message new_swiss_payer() {
    Message h(tarvo_new(TARVO_MSGTYPE_CTI));
    EXPECT_EQ(tarvo_setIBAN(h.get(), "CH9300762011623852957"), 1);
    EXPECT_EQ(tarvo_setName(h.get(), "Muster AG"), 1);
    EXPECT_EQ(tarvo_setDate(h.get(), "2026-12-01"), 1);
    return h;
}

TEST(QrBillPayment, EverySharedBillIsPaidOrRefusedAsANotification) {
    RulebookScope rulebook("CH-SPS");
    Message h = new_swiss_payer();
    std::vector<std::string> references, amounts;
    size_t paid = 0;
    for (const auto &entry : std::filesystem::directory_iterator(samples)) {
        if (entry.path().extension() != ".txt") continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const std::string payload = read_file(entry.path().string());
        tarvo_qrbill_t *bill = nullptr;
        ASSERT_EQ(tarvo_qrbill_parse(payload.data(), payload.size(), &bill, nullptr, 0), 1);
        const bool notification = bill->hasAmount && bill->amount == 0;
        Kv extra{};
        if (!bill->hasAmount) extra.set("amount", "12.00");
        extra.set("id", "BILL " + std::to_string(paid + 1));
        const int added = tarvo_add_qrbill_kv(h.get(), payload.c_str(), extra.list());
        if (notification) {
            EXPECT_EQ(added, 0);
            EXPECT_EQ(error_of(h.get()), "QR-bill of amount 0.00 is a notification, not a payment");
        } else {
            EXPECT_EQ(added, 1) << error_of(h.get());
            ++paid;
            if (bill->reference != nullptr) references.emplace_back(bill->reference);
            char text[cents_text_size];
            format_cents(bill->hasAmount ? bill->amount : 1200, text);
            amounts.emplace_back(text);
        }
        free(bill);
    }
    ASSERT_GT(paid, 10U);
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_TRUE(valid_against(*doc, "ch/pain.001.001.09.ch.03"));
    EXPECT_EQ(element_texts(*doc, "EndToEndId").size(), paid);
    auto sorted = [](std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    EXPECT_EQ(sorted(element_texts(*doc, "Ref")), sorted(references));
    EXPECT_EQ(count_of(*doc, "<InstdAmt Ccy="), paid);
    for (const std::string &amount : amounts) EXPECT_GE(count_of(*doc, "\">" + amount + "</InstdAmt>"), 1U) << amount;
}

TEST(QrBillPayment, Refusals) {
    const std::string minimal = read_file(samples + "qr-minimal-setup.txt");
    const std::string without_amount = read_file(samples + "qr-payment-information-without-amount.txt");
    std::string no_town = minimal;
    no_town.replace(no_town.find("Lausanne"), 8, "");
    struct Case {
        const char *what;
        const char *rulebook;
        std::string payload;
        Kv extra;
        const char *error_start;
    };
    Case cases[] = {
        {"German rulebook", "DE-3.7", minimal, Kv{}, "QR-bill payments require rulebook CH-SPS"},
        {"missing town", "CH-SPS", no_town, Kv{}, "Invalid QR-bill: creditor.town"},
        {"not a payload", "CH-SPS", "SPC\n0100\n", Kv{}, "Invalid QR-bill: "},
        {"amount left to the payer", "CH-SPS", without_amount, Kv{}, "QR-bill without amount: give the amount (amount)"},
        {"bill with its own amount", "CH-SPS", minimal, Kv{{"amount", "1.00"}}, "QR-bill states its own amount"},
        {"key the bill sets", "CH-SPS", without_amount, Kv{{"amount", "1.00"}, {"iban", "CH9300762011623852957"}},
         "Invalid transaction property 'iban'"},
        {"bad amount", "CH-SPS", without_amount, Kv{{"amount", "-3"}}, "Negative or zero amount not allowed"},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(c.what);
        RulebookScope rulebook(c.rulebook);
        Message h = new_swiss_payer();
        EXPECT_EQ(tarvo_add_qrbill_kv(h.get(), c.payload.c_str(), c.extra.list()), 0);
        EXPECT_EQ(error_of(h.get()).rfind(c.error_start, 0), 0U) << error_of(h.get());
        EXPECT_EQ(h->tx_count, 0U);
    }
    Message debits(tarvo_new(TARVO_MSGTYPE_DDI));
    EXPECT_EQ(tarvo_add_qrbill(debits.get(), minimal.c_str()), 0);
    EXPECT_EQ(error_of(debits.get()), "No CTI message");
    EXPECT_EQ(tarvo_add_qrbill(nullptr, minimal.c_str()), 0);
}

} // namespace
} // namespace tarvo::test
