// Paying a scanned QR-bill: the payload's payment part becomes one credit transfer of a
// CH-SPS message, through the same key rules as every other transfer, so that a bill and
// a typed transfer are checked and written alike.
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "message/message.h"

namespace tarvo {
namespace {

// The keys a caller may give beside the payload; the rest comes from the bill.
constexpr std::string_view caller_keys[] = {"amount", "id", "date"};

bool is_caller_key(const char *key) {
    for (std::string_view known : caller_keys)
        if (strcasecmp(key, known.data()) == 0) return true;
    return false;
}

int fail(tarvo_t *h, const char *message) {
    h->error = message;
    return 0;
}

struct BillDeleter {
    void operator()(tarvo_qrbill_t *bill) const { free(bill); }
};

int add_bill(tarvo_t *h, const char *payload, const char *const *extra) {
    if (h->msgtype != TARVO_MSGTYPE_CTI) return fail(h, "No CTI message");
    const Rulebook *rb = message_rulebook(h);
    if (rb == nullptr || !rb->swiss) return fail(h, "QR-bill payments require rulebook CH-SPS");
    if (payload == nullptr) return fail(h, "Invalid QR-bill: no payload");

    char reason[200];
    tarvo_qrbill_t *parsed = nullptr;
    const int read = tarvo_qrbill_parse(payload, strlen(payload), &parsed, reason, sizeof reason);
    std::unique_ptr<tarvo_qrbill_t, BillDeleter> bill(parsed);
    if (read == -2) return fail(h, out_of_memory);
    if (read != 1) {
        h->error = format_error(h->errbuf, "Invalid QR-bill: %s", reason);
        return 0;
    }

    std::vector<const char *> kv;
    auto put = [&kv](const char *key, const char *value) {
        if (value != nullptr && *value != '\0') kv.insert(kv.end(), {key, value});
    };
    const tarvo_qr_address_t &creditor = bill->creditor;
    put("name", creditor.name);
    put("iban", bill->iban);
    put("addrStreet", creditor.street);
    put("addrNum", creditor.buildingNumber);
    put("addrCode", creditor.postalCode);
    put("addrTown", creditor.town);
    put("addrCC", creditor.country);
    put("currency", bill->currency);
    const std::string_view type = bill->referenceType != nullptr ? bill->referenceType : "";
    if (type == "QRR") put("qrr", bill->reference);
    if (type == "SCOR") put("cref", bill->reference);
    put("ref", bill->message);

    char amount[cents_text_size];
    bool amount_given = false;
    for (const char *const *pair = extra; pair != nullptr && pair[0] != nullptr; pair += 2) {
        if (!is_caller_key(pair[0])) {
            h->error = format_error(h->errbuf, "Invalid transaction property '%s'", pair[0]);
            return 0;
        }
        amount_given = amount_given || strcasecmp(pair[0], "amount") == 0;
        kv.insert(kv.end(), {pair[0], pair[1]});
    }
    if (bill->hasAmount) {
        // A bill of 0.00 only tells the payer of something (a notification, "do not use
        // for payment"); paying it would send nothing the creditor asked for.
        if (bill->amount == 0) return fail(h, "QR-bill of amount 0.00 is a notification, not a payment");
        if (amount_given) return fail(h, "QR-bill states its own amount");
        format_cents(bill->amount, amount);
        put("amount", amount);
    } else if (!amount_given) {
        return fail(h, "QR-bill without amount: give the amount (amount)");
    }
    kv.push_back(nullptr);
    return cti_add(h, kv.data());
}

} // namespace
} // namespace tarvo

extern "C" {

int tarvo_add_qrbill(tarvo_t *h, const char *payload) { return tarvo_add_qrbill_kv(h, payload, nullptr); }

int tarvo_add_qrbill_kv(tarvo_t *h, const char *payload, const char *const *kv) {
    if (h == nullptr) return 0;
    try {
        return tarvo::add_bill(h, payload, kv);
    } catch (...) { // only allocations throw here; nothing may cross the C interface
        h->error = tarvo::out_of_memory;
        return 0;
    }
}

} // extern "C"
