// Reading camt values: amounts, dates, indicators and numbers exactly as the schemas
// define them, and the store that keeps the values of the open scopes.
#include <string.h>

#include <array>

#include "statement/camt.h"

namespace tarvo::camt {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// XML whitespace around a value is layout, not content.
// Values are short and seldom padded: a loop beats a search through a set of blanks.
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

// Value of the count digits at text[at], or -1.
int digits(std::string_view text, size_t at, size_t count) {
    if (at + count > text.size()) return -1;
    int value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (!is_digit(text[i])) return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
    constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leap(year) ? 29 : days[static_cast<size_t>(month - 1)];
}

// "Z", "+01:00" or nothing.
bool zone(std::string_view text) {
    if (text.empty() || text == "Z") return true;
    return text.size() == 6 && (text[0] == '+' || text[0] == '-') && digits(text, 1, 2) >= 0 && text[3] == ':' &&
           digits(text, 4, 2) >= 0;
}

// The schemas' amounts have at most 18 digits, 5 of them after the point.
constexpr size_t max_digits = 18;
constexpr size_t max_fraction = 5;
constexpr std::array<double, max_fraction + 1> powers_of_ten{1, 10, 100, 1000, 10000, 100000};
// What a mantissa with so many places after the point is worth in 1/100000.
constexpr std::array<int64_t, max_fraction + 1> unit_scale{100000, 10000, 1000, 100, 10, 1};

} // namespace

bool read_amount(std::string_view text, Amount &out) {
    text = trimmed(text);
    // xs:decimal allows a "+" and leading zeros; neither changes the amount, and the
    // text kept must take a "-" for debits.
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    while (text.size() > 1 && text[0] == '0' && is_digit(text[1])) text.remove_prefix(1);
    uint64_t mantissa = 0;
    size_t count = 0;
    size_t fraction = 0;
    bool point = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (is_digit(c)) {
            // Zeros before the first significant digit do not count towards the 18.
            if (mantissa != 0 || c != '0') ++count;
            mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
            if (point) ++fraction;
        } else {
            return false;
        }
    }
    if (text.empty() || text == "." || count > max_digits || fraction > max_fraction) return false;
    out.text = text;
    // Both operands are exact below 2^53, so the quotient is the double nearest to the
    // decimal as written.
    out.value = static_cast<double>(mantissa) / powers_of_ten[fraction];
    out.units = static_cast<__int128>(mantissa) * unit_scale[fraction];
    return true;
}

bool read_date(std::string_view text, struct tm &out) {
    text = trimmed(text);
    if (text.size() < 10) return false;
    const int year = digits(text, 0, 4);
    const int month = digits(text, 5, 2);
    const int day = digits(text, 8, 2);
    if (year < 1 || text[4] != '-' || text[7] != '-' || month < 1 || month > 12 || day < 1 ||
        day > days_in_month(year, month))
        return false;
    struct tm date{};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    std::string_view rest = text.substr(10);
    if (!rest.empty() && rest[0] == 'T') {
        if (rest.size() < 9) return false;
        const int hour = digits(rest, 1, 2);
        const int minute = digits(rest, 4, 2);
        const int second = digits(rest, 7, 2);
        if (hour < 0 || hour > 23 || rest[3] != ':' || minute < 0 || minute > 59 || rest[6] != ':' || second < 0 ||
            second > 60)
            return false;
        rest.remove_prefix(9);
        if (!rest.empty() && rest[0] == '.') {
            size_t n = 1;
            while (n < rest.size() && is_digit(rest[n])) ++n;
            if (n == 1) return false;
            rest.remove_prefix(n);
        }
        date.tm_hour = hour;
        date.tm_min = minute;
        date.tm_sec = second;
    }
    if (!zone(rest)) return false;
    out = date;
    return true;
}

bool read_direction(std::string_view text, bool &debit) {
    text = trimmed(text);
    if (text != "CRDT" && text != "DBIT") return false;
    debit = text == "DBIT";
    return true;
}

bool read_flag(std::string_view text, bool &set) {
    text = trimmed(text);
    if (text != "true" && text != "false" && text != "1" && text != "0") return false;
    set = text == "true" || text == "1";
    return true;
}

bool read_number(std::string_view text, uint32_t &out) {
    text = trimmed(text);
    if (text.empty()) return false;
    uint64_t value = 0;
    for (char c : text) {
        if (!is_digit(c)) return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > UINT32_MAX) return false;
    }
    out = static_cast<uint32_t>(value);
    return true;
}

bool well_formed(Kind kind, std::string_view text) {
    Amount amount;
    struct tm date;
    bool flag;
    uint32_t number;
    switch (kind) {
    case Kind::Amount: return read_amount(text, amount);
    case Kind::Date: return read_date(text, date);
    case Kind::Direction: return read_direction(text, flag);
    case Kind::Flag: return read_flag(text, flag);
    case Kind::Number: return read_number(text, number);
    case Kind::Mark:
    case Kind::Text: return true;
    }
    return true;
}

bool split_transaction_code(std::string_view text, TransactionCode &out) {
    text = trimmed(text);
    // "NTRF", "NTRF+166", up to "NTRF+166+9310+997": anything else is some other bank's
    // own code.
    std::array<std::string_view, 4> part;
    size_t parts = 0;
    size_t begin = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '+') continue;
        if (parts == part.size()) return false;
        part[parts++] = text.substr(begin, i - begin);
        begin = i + 1;
    }
    if (part[0].size() != 4) return false;
    TransactionCode code;
    code.swift = part[0].substr(1);
    if (parts > 1) {
        const int gvc = digits(part[1], 0, 3);
        if (gvc < 0 || part[1].size() != 3) return false;
        code.gvc = static_cast<uint32_t>(gvc);
    }
    if (parts > 2) code.primanota = part[2];
    if (parts > 3 && !read_number(part[3], code.extension)) return false;
    out = code;
    return true;
}

void Values::set(Slot s, std::string_view text) {
    text_[index(s)].assign(text);
    stored_[index(s)] = true;
}

// A value met again: First keeps the one it has, Join adds the new one on a line.
bool Values::take_again(size_t i, Take how, const std::string &text) {
    if (how == Take::First) return true;
    std::string &value = text_[i];
    if (value.size() >= xml::max_text) return false;
    value += '\n';
    const size_t n = utf8_cut(text, xml::max_text - value.size());
    value.append(text, 0, n);
    return n == text.size();
}

bool Values::take_read(Slot s, Kind kind, std::string &text) {
    text_[index(s)].swap(text);
    return read_in_place(s, kind);
}

bool Values::read_in_place(Slot s, Kind kind) {
    const size_t i = index(s);
    stored_[i] = true;
    return kind == Kind::Amount ? read_amount(text_[i], amounts_[i]) : read_date(text_[i], dates_[i]);
}

void Values::clear(Scope scope) {
    // The slots of each scope, built once: clearing a scope forgets its texts in two
    // word operations.
    static const std::array<std::bitset<slot_count>, 5> masks = [] {
        std::array<std::bitset<slot_count>, 5> all{};
        for (size_t s = 0; s < all.size(); ++s) {
            const SlotRange range = scope_slots(static_cast<Scope>(s));
            for (size_t i = index(range.first); i < index(range.end); ++i) all[s].set(i);
        }
        return all;
    }();
    const std::bitset<slot_count> &mask = masks[static_cast<size_t>(scope)];
    present_ &= ~mask;
    stored_ &= ~mask;
}

} // namespace tarvo::camt
