// Statements as JSON Lines: one field table per record kind, so a new record field is
// one more row.
#include "statement_json.h"

#include <string.h>

#include <charconv>
#include <string>

#include <nlohmann/json.hpp>


namespace tarvotool {

namespace {

using json = nlohmann::ordered_json;

// The record texts in UTF-8, each read as the library reads statement texts for every
// front end: unchanged when it is UTF-8, else as ISO-8859-1 (what German banks that do
// not write UTF-8 write). Null (left out) for an absent or empty text.
struct Texts {
    json operator()(const char *text, size_t capacity = SIZE_MAX) const {
        const size_t length = text != nullptr ? strnlen(text, capacity) : 0;
        if (length == 0) return json();
        const std::string bounded(text, length); // fixed-size fields may fill their array
        std::string out(2 * length + 1, '\0');
        out.resize(tarvo_stmt_text_utf8(bounded.c_str(), out.data()));
        return out.empty() ? json() : json(std::move(out));
    }
};

template <size_t N> json text(Texts &texts, const char (&array)[N]) { return texts(array, N); }

// A calendar date as YYYY-MM-DD; null for the all-zero date of a field the file lacks.
json date(const struct tm &d) {
    if (d.tm_mday == 0) return json();
    char out[32];
    snprintf(out, sizeof out, "%04d-%02d-%02d", d.tm_year + 1900, d.tm_mon + 1, d.tm_mday);
    return json(out);
}

// A decimal text with at least two decimals, as amounts are usually written.
json decimal(std::string text) {
    size_t point = text.find('.');
    if (point == std::string::npos) {
        point = text.size();
        text.push_back('.');
    }
    while (text.size() - point < 3) text.push_back('0');
    return json(std::move(text));
}

json exact(const char *text) { return text != nullptr && *text != '\0' ? decimal(text) : json(); }

json flag(bool set) { return set ? json(true) : json(); }

json charges(const tarvo_stmt_tx_t &t) {
    if (t.chargeCount == 0) return json();
    json out = json::array();
    for (size_t i = 0; i < t.chargeCount; ++i) {
        const tarvo_stmt_charge_t &c = t.charges[i];
        out.push_back(json{{"amount", decimal(c.amount)}, {"currency", c.currency}, {"included", c.included != 0}});
    }
    return out;
}

json ids(Texts &texts, char **list) {
    if (list == nullptr) return json();
    json out = json::array();
    for (; *list != nullptr; ++list) out.push_back(texts(*list));
    return out;
}

// A further balance as an object; absent when the file states none.
json balance(const tarvo_stmt_balance_t &b, Texts &x) {
    if (b.amount == nullptr) return json();
    json out{{"amount", decimal(b.amount)}, {"currency", x(b.currency, sizeof b.currency)}};
    if (b.date.tm_mday != 0) {
        char day[32];
        snprintf(day, sizeof day, "%04d-%02d-%02d", b.date.tm_year + 1900, b.date.tm_mon + 1, b.date.tm_mday);
        out["date"] = day;
    }
    return out;
}

// The amount exactly as the file wrote it where the record keeps that text (camt);
// otherwise the shortest decimal that reads back as the same double ("0.1" rather than
// 0.1000000000000000055).
json amount(double value, const char *written) {
    if (written != nullptr && *written != '\0') return decimal(written);
    if (value == 0) value = 0; // no "-0.00"
    char out[400];
    const auto end = std::to_chars(out, out + sizeof out - 3, value, std::chars_format::fixed).ptr;
    return decimal(std::string(out, end));
}

json number(uint32_t value) { return value != 0 ? json(value) : json(); }

template <class Record> struct Field {
    const char *key;
    json (*value)(const Record &, Texts &);
};

using Tx = tarvo_stmt_tx_t;
using Statement = tarvo_stmt_t;

// Numbers that are 0 are fields the file did not have, as for the text listing.
constexpr Field<Tx> transaction_fields[] = {
    {"valuta", [](const Tx &t, Texts &) { return date(t.valuta); }},
    {"booked", [](const Tx &t, Texts &) { return date(t.booked); }},
    {"reversal", [](const Tx &t, Texts &) { return t.reversal != 0 ? json(true) : json(); }},
    {"amount", [](const Tx &t, Texts &) { return amount(t.amount, t.amountText); }},
    {"currency", [](const Tx &t, Texts &x) { return text(x, t.currency); }},
    {"code", [](const Tx &t, Texts &x) { return text(x, t.code); }},
    {"ref", [](const Tx &t, Texts &x) { return x(t.ref); }},
    {"bankref", [](const Tx &t, Texts &x) { return x(t.bankref); }},
    {"txtext", [](const Tx &t, Texts &x) { return x(t.txtext); }},
    {"primanota", [](const Tx &t, Texts &x) { return x(t.primanota); }},
    {"gvc", [](const Tx &t, Texts &) { return number(t.gvc); }},
    {"extcode", [](const Tx &t, Texts &) { return number(t.extcode); }},
    {"bank", [](const Tx &t, Texts &x) { return text(x, t.bank); }},
    {"account", [](const Tx &t, Texts &x) { return text(x, t.account); }},
    {"name", [](const Tx &t, Texts &x) { return text(x, t.name); }},
    {"purpose", [](const Tx &t, Texts &x) { return x(t.purpose); }},
    {"eref", [](const Tx &t, Texts &x) { return x(t.eref); }},
    {"kref", [](const Tx &t, Texts &x) { return x(t.kref); }},
    {"mref", [](const Tx &t, Texts &x) { return x(t.mref); }},
    {"cred", [](const Tx &t, Texts &x) { return x(t.cred); }},
    {"debt", [](const Tx &t, Texts &x) { return x(t.debt); }},
    {"purp", [](const Tx &t, Texts &x) { return x(t.purp); }},
    {"coam", [](const Tx &t, Texts &x) { return x(t.coam); }},
    {"oamt", [](const Tx &t, Texts &x) { return x(t.oamt); }},
    {"svwz", [](const Tx &t, Texts &x) { return x(t.svwz); }},
    {"abwa", [](const Tx &t, Texts &x) { return x(t.abwa); }},
    {"abwe", [](const Tx &t, Texts &x) { return x(t.abwe); }},
    {"uetr", [](const Tx &t, Texts &x) { return x(t.uetr); }},
    {"creditorRef", [](const Tx &t, Texts &x) { return x(t.creditorRef); }},
    {"partyName", [](const Tx &t, Texts &x) { return x(t.partyName); }},
    {"instructedAmount", [](const Tx &t, Texts &) { return exact(t.instructedAmount); }},
    {"instructedCurrency", [](const Tx &t, Texts &x) { return text(x, t.instructedCurrency); }},
    {"charges", [](const Tx &t, Texts &) { return charges(t); }},
    {"status", [](const Tx &t, Texts &x) { return text(x, t.status); }},
    {"returnReason", [](const Tx &t, Texts &x) { return x(t.returnReason); }},
    {"returnInfo", [](const Tx &t, Texts &x) { return x(t.returnInfo); }},
    {"bankTransactionCode", [](const Tx &t, Texts &x) { return x(t.bankTransactionCode); }},
    {"entryReference", [](const Tx &t, Texts &x) { return x(t.entryReference); }},
    {"batchPaymentInformationId", [](const Tx &t, Texts &x) { return x(t.batchPaymentInformationId); }},
    {"batchMessageId", [](const Tx &t, Texts &x) { return x(t.batchMessageId); }},
    {"details", [](const Tx &t, Texts &) { return number(t.details); }},
    {"endToEndIds", [](const Tx &t, Texts &x) { return ids(x, t.endToEndIds); }},
    {"truncated", [](const Tx &t, Texts &) { return flag(t.truncated != 0); }},
};

template <class Record, size_t N> json object(const Record &r, const Field<Record> (&fields)[N], Texts &texts) {
    json out = json::object();
    for (const Field<Record> &f : fields) {
        json value = f.value(r, texts);
        if (!value.is_null()) out[f.key] = std::move(value);
    }
    return out;
}

json transactions(const Statement &s, Texts &texts) {
    json out = json::array();
    for (const Tx *t = s.tx; t != nullptr; t = t->next) out.push_back(object(*t, transaction_fields, texts));
    return out.empty() ? json() : out;
}

constexpr Field<Statement> statement_fields[] = {
    {"ref", [](const Statement &s, Texts &x) { return x(s.ref); }},
    {"account", [](const Statement &s, Texts &x) { return x(s.account); }},
    {"number", [](const Statement &s, Texts &) { return number(s.number); }},
    {"page", [](const Statement &s, Texts &) { return number(s.page); }},
    // A balance the file does not state is absent, not 0.00.
    {"openDate", [](const Statement &s, Texts &) { return s.openSaldoText ? date(s.openDate) : json(); }},
    {"closeDate", [](const Statement &s, Texts &) { return s.closeSaldoText ? date(s.closeDate) : json(); }},
    {"openSaldo", [](const Statement &s, Texts &) { return exact(s.openSaldoText); }},
    {"closeSaldo", [](const Statement &s, Texts &) { return exact(s.closeSaldoText); }},
    {"openCurrency", [](const Statement &s, Texts &x) { return s.openSaldoText ? text(x, s.openCurrency) : json(); }},
    {"closeCurrency", [](const Statement &s, Texts &x) { return s.closeSaldoText ? text(x, s.closeCurrency) : json(); }},
    {"interimBalance", [](const Statement &s, Texts &x) { return balance(s.interimBalance, x); }},
    {"interimAvailable", [](const Statement &s, Texts &x) { return balance(s.interimAvailable, x); }},
    {"available", [](const Statement &s, Texts &x) { return balance(s.available, x); }},
    {"complete", [](const Statement &s, Texts &) { return json(s.incomplete == 0); }},
    {"transactions", transactions},
};

} // namespace

void write_statements_json(const tarvo_stmt_t *first, FILE *out) {
    Texts texts;
    for (const Statement *s = first; s != nullptr; s = s->next) {
        const std::string line = object(*s, statement_fields, texts).dump(-1, ' ', false, json::error_handler_t::replace);
        fputs(line.c_str(), out);
        fputc('\n', out);
    }
}

} // namespace tarvotool
