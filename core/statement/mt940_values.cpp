// The values of MT940 lines: numbers, dates and amounts read strictly, so that an
// impossible value never reaches a record as if it were real.
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <array>

#include "statement/mt940.h"

namespace tarvo::mt940 {

bool read_unsigned(const char *&p, const char *end, uint32_t &value, int max_digits) {
    const char *q = p;
    // The blanks of the C locale, whatever locale the caller has set.
    while (q < end && (*q == ' ' || (*q >= '\t' && *q <= '\r'))) ++q;
    uint64_t number = 0;
    int digits = 0;
    for (; q < end && digits < max_digits && is_digit(*q); ++q, ++digits) {
        number = number * 10 + static_cast<uint64_t>(*q - '0');
        if (number > UINT32_MAX) number = UINT32_MAX;
    }
    if (digits == 0) return false;
    value = static_cast<uint32_t>(number);
    p = q;
    return true;
}

namespace {

bool leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

} // namespace

bool possible_date(int year, int month, int day) {
    constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) return false;
    return day <= (month == 2 && leap(year) ? 29 : days[static_cast<size_t>(month - 1)]);
}

bool read_date(const char *p, const char *end, struct tm &date) {
    if (end - p < 6) return false;
    const int yy = fixed_digits(p, end, 2);
    const int mm = fixed_digits(p + 2, end, 2);
    const int dd = fixed_digits(p + 4, end, 2);
    if (yy < 0 || mm < 0 || dd < 0) return false;
    date = {};
    // An impossible date (month 13, 30 February) is left out, as one the file lacks.
    if (!possible_date(year_of_two_digits(yy) + 1900, mm, dd)) return true;
    date.tm_year = year_of_two_digits(yy);
    date.tm_mon = mm - 1;
    date.tm_mday = dd;
    return true;
}

bool read_amount(const char *begin, const char *end, Amount &out) {
    // Trailing blanks are layout.
    while (end > begin && end[-1] == ' ') --end;
    // At most 15 characters: the field's own limit, and what a double holds exactly.
    constexpr ptrdiff_t max_length = 15;
    if (end == begin || end - begin > max_length) return false;
    const char *mark = nullptr;
    uint64_t mantissa = 0;
    for (const char *q = begin; q < end; ++q) {
        if ((*q == ',' || *q == '.') && mark == nullptr) {
            mark = q;
        } else if (is_digit(*q)) {
            mantissa = mantissa * 10 + static_cast<uint64_t>(*q - '0');
        } else {
            return false; // a sign, an exponent, a second mark
        }
    }
    if (mark == begin) return false;
    out.integer = std::string_view(begin, static_cast<size_t>((mark != nullptr ? mark : end) - begin));
    out.fraction = mark != nullptr ? std::string_view(mark + 1, static_cast<size_t>(end - mark - 1)) : std::string_view{};
    double scale = 1;
    for (size_t i = 0; i < out.fraction.size(); ++i) scale *= 10;
    out.value = static_cast<double>(mantissa) / scale;
    return true;
}

char *amount_text(RecordArena &records, const Amount &a, bool debit) {
    // "-" 15 digits "." and two decimals at most.
    char text[24];
    size_t n = 0;
    if (debit && a.value != 0.0) text[n++] = '-';
    memcpy(text + n, a.integer.data(), a.integer.size());
    n += a.integer.size();
    text[n++] = '.';
    // "7," has no decimals: its empty view may hold no pointer to copy from.
    if (!a.fraction.empty()) memcpy(text + n, a.fraction.data(), a.fraction.size());
    n += a.fraction.size();
    for (size_t i = a.fraction.size(); i < 2; ++i) text[n++] = '0';
    return records.copy(text, n);
}

size_t fit(const char *text, size_t length, size_t room) {
    if (length <= room) return length;
    // Back off only when the cut would split a well-formed UTF-8 character; a Latin-1
    // text is cut where it is full.
    size_t start = room;
    while (start > 0 && room - start < 3 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    const size_t character = tarvo_utf8_length(text + start, length - start);
    return character > room - start ? start : room;
}

} // namespace tarvo::mt940
