// The payment message object: creation, release and the setters for the initiating
// party's data.
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <string_view>

#include "ident/ident.h"
#include "message/message.h"

namespace tarvo {

char *copy_text(const char *text) {
    const size_t size = strlen(text) + 1;
    auto *copy = static_cast<char *>(malloc(size));
    if (copy != nullptr) memcpy(copy, text, size);
    return copy;
}

void release_text(char *&text) {
    if (text == nullptr) return;
    // explicit_bzero: a plain memset before free may be dropped as a dead store.
    explicit_bzero(text, strlen(text));
    free(text);
    text = nullptr;
}

const Rulebook *message_rulebook(const tarvo_t *h) {
    return h->rulebook >= 0 ? rulebook(h->rulebook) : current_rulebook();
}

bool replace_text(char *&field, const char *value) {
    char *copy = copy_text(value);
    if (copy == nullptr) return false;
    release_text(field);
    field = copy;
    return true;
}

namespace {

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }
constexpr bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool is_lower(char c) { return c >= 'a' && c <= 'z'; }

// Two or four digits as a number; the caller has checked that they are digits.
constexpr int digits_value(const char *p, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) value = value * 10 + (p[i] - '0');
    return value;
}

constexpr bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

constexpr int days_in_month(int year, int month) {
    constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap_year(year) ? 29 : days[month - 1];
}

} // namespace

bool is_calendar_date(const char *text) {
    if (text == nullptr || strlen(text) != 10) return false;
    for (int i = 0; i < 10; ++i) {
        const bool separator = i == 4 || i == 7;
        if (separator ? text[i] != '-' : !is_digit(text[i])) return false;
    }
    const int year = digits_value(text, 4);
    const int month = digits_value(text + 5, 2);
    const int day = digits_value(text + 8, 2);
    return year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= days_in_month(year, month);
}

BicVerdict check_bic(const char *bic, char (&upper)[12]) {
    if (bic == nullptr || strlen(bic) > 11) return BicVerdict::BadLength;
    size_t i = 0;
    for (; bic[i] != '\0'; ++i) upper[i] = is_lower(bic[i]) ? static_cast<char>(bic[i] - 'a' + 'A') : bic[i];
    upper[i] = '\0';
    return bic_pattern_matches(upper) ? BicVerdict::Ok : BicVerdict::BadFormat;
}

namespace {

// A name of the message (the account holder's or the ultimate party's) under rb; the
// refused byte goes into buf.
const char *name_problem(const char *name, const Rulebook &rb, const char *bad_character, char (&buf)[256]) {
    if (name == nullptr) return nullptr;
    unsigned char bad = 0;
    if (!check_string_under(name, &bad, CHARSET_EXTENDED, &rb)) return format_error(buf, bad_character, bad);
    return nullptr;
}

constexpr const char *bad_name_character = "tarvo_setName: invalid character '%c' in name";
constexpr const char *bad_ultimate_character = "Invalid character '%c' in ultimate name";
constexpr const char *no_ultimate_parties = "Ultimate parties not supported by the selected SEPA rulebook";

} // namespace

const char *message_problem(tarvo_t *msg, const Rulebook &rb) {
    if (const char *problem = name_problem(msg->name, rb, bad_name_character, msg->errbuf)) return problem;
    if (msg->ultimate_name != nullptr && !rb.ultimate_parties) return no_ultimate_parties;
    return name_problem(msg->ultimate_name, rb, bad_ultimate_character, msg->errbuf);
}

namespace {

enum class CreditorIdVerdict { Ok, BadCharacter, BadChecksum };

// ISO 7064 MOD 97-10 over the characters from position 8 on, then the country code and
// check digits. The creditor business code (positions 5 to 7) does not enter the sum.
CreditorIdVerdict creditor_id_checksum(std::string_view ci) {
    int remainder = 0;
    for (std::string_view part : {ci.substr(7), ci.substr(0, 4)}) {
        for (char c : part) {
            if (is_digit(c))
                remainder = (remainder * 10 + (c - '0')) % 97;
            else if (is_upper(c))
                remainder = (remainder * 100 + (c - 'A' + 10)) % 97;
            else
                return CreditorIdVerdict::BadCharacter;
        }
    }
    return remainder == 1 ? CreditorIdVerdict::Ok : CreditorIdVerdict::BadChecksum;
}

// The creditor business code is copied into the documents as it is: letters, digits and
// the few signs the SEPA identifier pattern admits, so that no byte can break the XML.
constexpr bool is_business_code_char(char c) {
    return is_digit(c) || is_upper(c) || is_lower(c) || std::string_view("'()+,-./:?").find(c) != std::string_view::npos;
}

constexpr bool is_message_id_char(char c) { return c == ' ' || is_business_code_char(c); }

int fail(tarvo_t *h, const char *message) {
    h->error = message;
    return 0;
}

template <typename Tx>
void release_list(void *head, void (*release)(Tx *)) {
    for (auto *tx = static_cast<Tx *>(head); tx != nullptr;) {
        Tx *next = tx->next;
        release(tx);
        tx = next;
    }
}

int store_or_fail(tarvo_t *h, char *&field, const char *value, const char *oom_message) {
    return replace_text(field, value) ? 1 : fail(h, oom_message);
}

} // namespace
} // namespace tarvo

using tarvo::fail;
using tarvo::store_or_fail;

extern "C" {

tarvo_t *tarvo_new(int msgtype) {
    // The default is fixed even for a type that is refused below.
    tarvo::fix_default_rulebook(time(nullptr));
    if (msgtype != TARVO_MSGTYPE_DDI && msgtype != TARVO_MSGTYPE_CTI) return nullptr;
    auto *h = static_cast<tarvo_t *>(calloc(1, sizeof(tarvo_t)));
    if (h == nullptr) return nullptr;
    h->msgtype = msgtype;
    h->ddtype = TARVO_DDTYPE_CORE;
    h->batch_booking = 1;
    h->rulebook = -1;
    return h;
}

void tarvo_free(tarvo_t *h) {
    if (h == nullptr) return;
    if (h->msgtype == TARVO_MSGTYPE_DDI)
        tarvo::release_list(h->tx_head, ddi_tx_free);
    else if (h->msgtype == TARVO_MSGTYPE_CTI)
        tarvo::release_list(h->tx_head, cti_tx_free);
    for (char **field : {&h->iban, &h->bic, &h->name, &h->creditor_id, &h->date, &h->msgid, &h->category_purpose,
                         &h->ultimate_name})
        tarvo::release_text(*field);
    // The error buffer may quote a refused IBAN or name.
    explicit_bzero(h, sizeof *h);
    free(h);
}

const char *tarvo_getError(tarvo_t *h) {
    if (h == nullptr) return "Invalid tarvo_t handle (NULL)";
    return h->error;
}

int tarvo_setIBAN(tarvo_t *h, const char *iban) {
    if (h == nullptr) return 0;
    const char *message = nullptr;
    if (!tarvo::iban_check(iban, &message)) {
        // Without a text there is nothing to quote: the check's message says it all.
        if (iban == nullptr) return fail(h, message != nullptr ? message : "Invalid IBAN (NULL)");
        if (message != nullptr)
            h->error = tarvo::format_error(h->errbuf, "%s (%s)", message, iban);
        else
            h->error = tarvo::format_error(h->errbuf, "invalid IBAN (%s)", iban);
        return 0;
    }
    return store_or_fail(h, h->iban, iban, "strdup() failed");
}

int tarvo_setBIC(tarvo_t *h, const char *bic) {
    if (h == nullptr) return 0;
    char upper[12];
    switch (tarvo::check_bic(bic, upper)) {
    case tarvo::BicVerdict::BadLength: return fail(h, "tarvo_setBIC: invalid BIC");
    case tarvo::BicVerdict::BadFormat: return fail(h, "tarvo_setBIC: invalid BIC format");
    case tarvo::BicVerdict::Ok: break;
    }
    return store_or_fail(h, h->bic, upper, "tarvo_setBIC: strdup() failed");
}

int tarvo_setName(tarvo_t *h, const char *name) {
    if (h == nullptr) return 0;
    if (name == nullptr || name[0] == '\0') return fail(h, "tarvo_setAccount: Name too short");
    if (strlen(name) > 70) return fail(h, "tarvo_setAccount: Name too long");
    unsigned char bad = 0;
    if (!tarvo::check_string_under(name, &bad, tarvo::CHARSET_EXTENDED, tarvo::message_rulebook(h))) {
        h->error = tarvo::format_error(h->errbuf, "tarvo_setName: invalid character '%c' in name", bad);
        return 0;
    }
    return store_or_fail(h, h->name, name, "tarvo_setName: strdup() failed");
}

int tarvo_setCreditorIdentifier(tarvo_t *h, const char *ci) {
    if (h == nullptr) return 0;
    const size_t length = ci != nullptr ? strlen(ci) : 0;
    if (length <= 6) return fail(h, "Creditor Identifier too short");
    if (length > 35) return fail(h, "Creditor Identifier too long");
    for (size_t i = 4; i < 7; ++i)
        if (!tarvo::is_business_code_char(ci[i]))
            return fail(h, "Invalid character in Creditor Identifier business code (positions 5-7)");
    switch (tarvo::creditor_id_checksum(std::string_view(ci, length))) {
    case tarvo::CreditorIdVerdict::BadCharacter: return fail(h, "Invalid character in Creditor Identifier");
    case tarvo::CreditorIdVerdict::BadChecksum: return fail(h, "Invalid Creditor Identifier checksum");
    case tarvo::CreditorIdVerdict::Ok: break;
    }
    return store_or_fail(h, h->creditor_id, ci, "strdup() failed");
}

int tarvo_setDate(tarvo_t *h, const char *date) {
    if (h == nullptr) return 0;
    if (date == nullptr || strlen(date) != 10) return fail(h, "Invalid date");
    if (!tarvo::is_calendar_date(date)) return fail(h, "Invalid date format");
    return store_or_fail(h, h->date, date, "strdup() failed");
}

int tarvo_setDDType(tarvo_t *h, int ddtype) {
    if (h == nullptr) return 0;
    if (h->msgtype != TARVO_MSGTYPE_DDI) return fail(h, "Not a direct debit message");
    if (static_cast<unsigned>(ddtype) > TARVO_DDTYPE_B2B)
        return fail(h, "Unknown/unsupported LocalInstrumentCode (setDDType)");
    const tarvo::Rulebook *rb = tarvo::message_rulebook(h);
    if (ddtype == TARVO_DDTYPE_COR1 && (rb == nullptr || !rb->cor1_settable))
        return fail(h, "COR1 is not allowed with selected SEPA rulebook");
    h->ddtype = ddtype;
    return 1;
}

int tarvo_setBatchBooking(tarvo_t *h, uint8_t flag) {
    if (h == nullptr) return 0;
    if (flag > 1) return fail(h, "Invalid BatchBooking mode (only 0 or 1 allowed)");
    h->batch_booking = flag;
    return 1;
}

int tarvo_setInstant(tarvo_t *h, int flag) {
    if (h == nullptr) return 0;
    if (h->msgtype != TARVO_MSGTYPE_CTI) return fail(h, "Instant is for credit transfers");
    if (flag != 0 && flag != 1) return fail(h, "Invalid instant mode (only 0 or 1 allowed)");
    const tarvo::Rulebook *rb = tarvo::message_rulebook(h);
    if (flag == 1 && (rb == nullptr || !rb->instant)) return fail(h, tarvo::instant_refused);
    h->instant = static_cast<uint8_t>(flag);
    return 1;
}

int tarvo_setCategoryPurpose(tarvo_t *h, const char *code) {
    if (h == nullptr) return 0;
    bool valid = code != nullptr && strlen(code) == 4;
    for (size_t i = 0; valid && i < 4; ++i) valid = tarvo::is_upper(code[i]);
    if (!valid) return fail(h, "Invalid category purpose (must be 4 capital letters)");
    return store_or_fail(h, h->category_purpose, code, tarvo::out_of_memory);
}

int tarvo_setUltimateName(tarvo_t *h, const char *name) {
    if (h == nullptr) return 0;
    const tarvo::Rulebook *rb = tarvo::message_rulebook(h);
    if (rb == nullptr || !rb->ultimate_parties) return fail(h, tarvo::no_ultimate_parties);
    if (name == nullptr || name[0] == '\0' || strlen(name) > 70)
        return fail(h, "Invalid ultimate name (must be 1-70 characters)");
    if (const char *problem = tarvo::name_problem(name, *rb, tarvo::bad_ultimate_character, h->errbuf))
        return fail(h, problem);
    return store_or_fail(h, h->ultimate_name, name, tarvo::out_of_memory);
}

int tarvo_setRulebook(tarvo_t *h, const char *id) {
    if (h == nullptr) return 0;
    const int number = id != nullptr ? tarvo::rulebook_number(id) : -1;
    if (number < 0) {
        if (id == nullptr) return fail(h, "Unknown rulebook (NULL)");
        h->error = tarvo::format_error(h->errbuf, "Unknown rulebook '%s'", id);
        return 0;
    }
    if (h->msgtype == TARVO_MSGTYPE_DDI && tarvo::rulebook(number)->swiss) return fail(h, swiss_direct_debits);
    h->rulebook = number;
    return 1;
}

const char *tarvo_getRulebook(tarvo_t *h) {
    const tarvo::Rulebook *rb = h != nullptr ? tarvo::message_rulebook(h) : tarvo::current_rulebook();
    return rb != nullptr ? rb->id.data() : nullptr;
}

int tarvo_setMessageId(tarvo_t *h, const char *msgid) {
    if (h == nullptr) return 0;
    const size_t length = msgid != nullptr ? strlen(msgid) : 0;
    if (length == 0 || length > 35) return fail(h, "Invalid message id");
    for (size_t i = 0; i < length; ++i)
        if (!tarvo::is_message_id_char(msgid[i])) return fail(h, "Invalid message id");
    return store_or_fail(h, h->msgid, msgid, "strdup() failed");
}

} // extern "C"
