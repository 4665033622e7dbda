// The codes that decide a state: ISO payment status codes, the reason codes users see
// explained, the German return transaction codes, and exact amounts.
#include <algorithm>
#include <array>

#include "frame/frame.h"
#include "reconcile/reconcile.h"

namespace tarvo::reconcile {
namespace {

struct StatusCode {
    std::string_view code;
    Effect effect;
};

// Every acceptance stage counts alike: what matters here is that the bank took the
// payment, not how far its checks have come. PDNG and RCVD decide nothing yet.
constexpr std::array<StatusCode, 17> status_codes{{
    {"ACCC", Effect::Accepted},     {"ACCP", Effect::Accepted},     {"ACFC", Effect::Accepted},
    {"ACIS", Effect::Accepted},     {"ACPD", Effect::Accepted},     {"ACSC", Effect::Accepted},
    {"ACSP", Effect::Accepted},     {"ACTC", Effect::Accepted},     {"ACWC", Effect::Accepted},
    {"ACWP", Effect::Accepted},     {"PART", Effect::Partial},      {"RJCT", Effect::Rejected},
    {"RCVC", Effect::Verification}, {"RVMC", Effect::Verification}, {"RVNM", Effect::Verification},
    {"RVNA", Effect::Verification}, {"CANC", Effect::Rejected},
}};

struct ReasonCode {
    std::string_view code;
    std::string_view text;
};

// The reasons banks give most for rejections and returns of SEPA payments.
constexpr std::array<ReasonCode, 30> reason_codes{{
    {"AC01", "Incorrect account number"},
    {"AC04", "Closed account number"},
    {"AC06", "Blocked account"},
    {"AC13", "Invalid debtor account type"},
    {"AG01", "Transaction forbidden"},
    {"AG02", "Invalid bank operation code"},
    {"AM04", "Insufficient funds"},
    {"AM05", "Duplication"},
    {"BE05", "Unrecognised initiating party"},
    {"CNOR", "Creditor bank is not registered"},
    {"CUST", "Requested by customer"},
    {"DNOR", "Debtor bank is not registered"},
    {"DUPL", "Duplicate payment"},
    {"ED05", "Settlement failed"},
    {"FF01", "Invalid file format"},
    {"FOCR", "Following cancellation request"},
    {"MD01", "No mandate"},
    {"MD02", "Missing mandatory mandate information"},
    {"MD06", "Refund request by end customer"},
    {"MD07", "End customer deceased"},
    {"MS02", "Not specified reason customer generated"},
    {"MS03", "Not specified reason agent generated"},
    {"NARR", "Narrative"},
    {"RC01", "Bank identifier incorrect"},
    {"RR01", "Missing debtor account or identification"},
    {"RR02", "Missing debtor name or address"},
    {"RR03", "Missing creditor name or address"},
    {"RR04", "Regulatory reason"},
    {"SL01", "Specific service offered by debtor agent"},
    {"TM01", "Cut-off time"},
}};

// Returns of direct debits (108, 109) and of credit transfers (159).
constexpr std::array<uint32_t, 3> return_codes{108, 109, 159};

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }
// Batch bookings add up many payments: room beyond the largest single amount.
constexpr int max_digits = 15;

} // namespace

Effect status_effect(std::string_view code) {
    for (const StatusCode &s : status_codes)
        if (s.code == code) return s.effect;
    return Effect::None;
}

std::string_view reason_text(std::string_view code) {
    for (const ReasonCode &r : reason_codes)
        if (r.code == code) return r.text;
    return {};
}

bool is_return_code(uint32_t gvc) {
    return std::find(return_codes.begin(), return_codes.end(), gvc) != return_codes.end();
}

bool read_cents(std::string_view text, int64_t &cents) {
    size_t i = 0;
    int64_t value = 0;
    int digits = 0;
    for (; i < text.size() && is_digit(text[i]); ++i, ++digits) {
        if (digits == max_digits) return false;
        value = value * 10 + (text[i] - '0');
    }
    if (digits == 0) return false;
    int decimals = 0;
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        for (++i; i < text.size() && is_digit(text[i]); ++i) {
            if (decimals == 2) {
                if (text[i] != '0') return false; // a fraction of a cent never matches a payment
                continue;
            }
            value = value * 10 + (text[i] - '0');
            ++decimals;
        }
    }
    if (i != text.size()) return false;
    for (; decimals < 2; ++decimals) value *= 10;
    cents = value;
    return true;
}

std::string cents_text(int64_t cents) {
    char out[cents_text_size];
    return std::string(out, format_cents(cents, out));
}

std::string_view TextPool::keep(std::string_view text) {
    if (text.empty()) return {};
    constexpr size_t block_size = 1 << 16;
    if (capacity_ - used_ < text.size()) {
        const size_t size = std::max(block_size, text.size());
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
        used_ = 0;
        capacity_ = size;
    }
    char *at = blocks_.back().get() + used_;
    std::copy(text.begin(), text.end(), at);
    used_ += text.size();
    return {at, text.size()};
}

} // namespace tarvo::reconcile
