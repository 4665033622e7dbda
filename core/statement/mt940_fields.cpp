// The fields of an MT940 transaction: the :61: turnover line and the :86: information
// field with its numbered subfields and the SEPA keywords.
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <array>

#include "statement/mt940.h"

namespace tarvo::mt940 {

namespace {

// Fills a fixed-size text of a record, cut to its capacity.
template <size_t N> void copy_capped(char (&dst)[N], const char *src, size_t length) {
    const size_t n = fit(src, length, N - 1);
    memcpy(dst, src, n);
    dst[n] = '\0';
}

template <size_t N> void append_capped(char (&dst)[N], const char *src, size_t length) {
    const size_t used = strlen(dst);
    const size_t n = fit(src, length, N - 1 - used);
    memcpy(dst + used, src, n);
    dst[used + n] = '\0';
}

// The year of an entry date that has no year of its own: the value date's year, or
// the neighbouring one when the entry falls across New Year. Counted in full years, so
// that the two-digit window does not throw 2079/2080 entries back a century.
int entry_year(const struct tm &valuta, int entry_month) {
    if (valuta.tm_mon == 11 && entry_month == 1) return valuta.tm_year + 1;
    if (valuta.tm_mon == 0 && entry_month == 12) return valuta.tm_year - 1;
    return valuta.tm_year;
}

// Where the transaction type identification starts: the letter (N, F or S) right
// after the amount, or else the first "N" of the line.
char *type_code(char *amount, char *end) {
    char *q = amount;
    while (q < end && (is_digit(*q) || *q == ',' || *q == '.')) ++q;
    while (q < end && *q == ' ') ++q;
    if (q < end && (*q == 'N' || *q == 'F' || *q == 'S')) return q;
    return static_cast<char *>(memchr(amount, 'N', static_cast<size_t>(end - amount)));
}

} // namespace

Read parse_turnover(tarvo_stmt_tx_t &tx, const Line &line, char *value, RecordArena &records) {
    char *p = value;
    char *const end = line.end;
    if (!read_date(p, end, tx.valuta)) return Read::Malformed;
    // The entry date's year follows the value date as written, even an impossible one.
    struct tm written{};
    written.tm_year = year_of_two_digits(fixed_digits(p, end, 2));
    written.tm_mon = fixed_digits(p + 2, end, 2) - 1;
    p += 6;

    const int entry_month = end - p >= 4 ? fixed_digits(p, end, 2) : -1;
    const int entry_day = entry_month < 0 ? -1 : fixed_digits(p + 2, end, 2);
    if (entry_day >= 0) {
        const int year = entry_year(written, entry_month);
        if (possible_date(year + 1900, entry_month, entry_day)) {
            tx.booked.tm_year = year;
            tx.booked.tm_mon = entry_month - 1;
            tx.booked.tm_mday = entry_day;
        }
        p += 4;
    }

    const bool reversal = p < end && *p == 'R';
    if (reversal) {
        tx.reversal = 1;
        ++p;
    }
    if (p >= end) return Read::Malformed;
    // "RC" reverses a credit and is booked as a debit, "RD" the other way round.
    const bool debit = *p == (reversal ? 'C' : 'D');
    ++p;
    if (p < end && is_letter(*p)) ++p; // funds code

    char *type = type_code(p, end);
    Amount amount;
    if (type == nullptr || !read_amount(p, type, amount)) return Read::Malformed;
    tx.amount = debit && amount.value != 0.0 ? -amount.value : amount.value;
    if ((tx.amountText = amount_text(records, amount, debit)) == nullptr) return Read::OutOfMemory;

    char *code = type + 1;
    const size_t code_length = std::min<size_t>(3, static_cast<size_t>(end - code));
    memcpy(tx.code, code, code_length);
    tx.code[code_length] = '\0';

    line.cut();
    char *ref = code + code_length;
    tx.ref = ref;
    // References are short: a plain walk costs less than memmem's setup.
    for (char *at = ref; end - at >= 2; ++at)
        if (at[0] == '/' && at[1] == '/') {
            *at = '\0';
            tx.bankref = at + 2;
            break;
        }
    return Read::Done;
}

namespace {

using TextField = char *tarvo_stmt_tx_t::*;

struct Keyword {
    char tag[5];
    TextField field;
    bool amount; // the value carries a decimal comma
};

constexpr std::array<Keyword, 11> keywords{{
    {"EREF", &tarvo_stmt_tx_t::eref, false},
    {"KREF", &tarvo_stmt_tx_t::kref, false},
    {"MREF", &tarvo_stmt_tx_t::mref, false},
    {"CRED", &tarvo_stmt_tx_t::cred, false},
    {"DEBT", &tarvo_stmt_tx_t::debt, false},
    {"PURP", &tarvo_stmt_tx_t::purp, false},
    {"COAM", &tarvo_stmt_tx_t::coam, true},
    {"OAMT", &tarvo_stmt_tx_t::oamt, true},
    {"SVWZ", &tarvo_stmt_tx_t::svwz, false},
    {"ABWA", &tarvo_stmt_tx_t::abwa, false},
    {"ABWE", &tarvo_stmt_tx_t::abwe, false},
}};

const Keyword *keyword_of(const char *text, size_t length) {
    if (length <= 4 || text[4] != '+') return nullptr;
    for (const Keyword &k : keywords)
        if (memcmp(text, k.tag, 4) == 0) return &k;
    return nullptr;
}

// Subfield numbers and what they carry.
enum class Carries : uint8_t { Nothing, PostingText, Primanota, Remittance, Bank, Account, Name, NameMore, ExtCode };

constexpr std::array<Carries, 100> carries_table = [] {
    std::array<Carries, 100> t{};
    t[0] = Carries::PostingText;
    t[10] = Carries::Primanota;
    for (int n = 20; n <= 29; ++n) t[n] = Carries::Remittance;
    for (int n = 60; n <= 63; ++n) t[n] = Carries::Remittance;
    t[30] = Carries::Bank;
    t[31] = Carries::Account;
    t[32] = Carries::Name;
    t[33] = Carries::NameMore;
    t[34] = Carries::ExtCode;
    return t;
}();

// A subfield marker "?nn" at q: its number, or -1.
int marker_at(const char *q, const char *end) {
    if (end - q < 3 || *q != '?' || !is_digit(q[1]) || !is_digit(q[2])) return -1;
    return (q[1] - '0') * 10 + (q[2] - '0');
}

// The first marker at or after p whose number is greater than `above`.
const char *next_marker_above(const char *p, const char *end, int above, int &number) {
    while (p < end) {
        const char *q = static_cast<const char *>(memchr(p, '?', static_cast<size_t>(end - p)));
        if (q == nullptr) break;
        const int n = marker_at(q, end);
        if (n > above) {
            number = n;
            return q;
        }
        p = q + 1;
    }
    return nullptr;
}

// A keyword whose tag the text before `end` begins and `head` completes: its tail length
// (1 to 4) in `tail`. Tags are capitals and a '+', so the head's first characters decide.
const Keyword *keyword_across(const char *begin, const char *end, const char *head, size_t &tail) {
    size_t plus = 0;
    // Like any keyword inside a text, one split across subfields follows a blank.
    // The head is NUL-terminated or runs on into a marker; neither is a capital.
    while (plus < 4 && head[plus] >= 'A' && head[plus] <= 'Z') ++plus;
    if (plus == 4 || head[plus] != '+') return nullptr;
    tail = 4 - plus;
    if (static_cast<size_t>(end - begin) < tail) return nullptr;
    if (static_cast<size_t>(end - begin) > tail && end[-static_cast<ptrdiff_t>(tail) - 1] != ' ') return nullptr;
    char tag[5];
    memcpy(tag, end - tail, tail);
    memcpy(tag + tail, head, plus + 1);
    return keyword_of(tag, sizeof tag);
}

// Remittance text arrives in subfields of at most 27 characters; a keyword's value
// continues in the following subfields, a text without keyword is free purpose text.
class Remittance {
public:
    // end: the end of the :86: field, which bounds what any value can grow to.
    Remittance(tarvo_stmt_tx_t &tx, RecordArena &records, const char *end) : tx_(tx), records_(records), end_(end) {}

    bool ok() const { return ok_; }

    // A subfield of 20-29. Some banks start a keyword in the middle of a subfield or
    // split its tag across two, so keywords count wherever they start in the joined
    // text; next is the text of the following subfield when it is one of 20-29.
    void add_scanning(char *text, size_t length, const char *next) {
        // Most subfields hold no '+' but that of a keyword they start with.
        size_t tail = 0;
        if (pending_ == nullptr && (length <= 5 || memchr(text + 5, '+', length - 5) == nullptr) &&
            (next == nullptr || keyword_across(text, text + length, next, tail) == nullptr)) {
            add(text, length);
            return;
        }
        struct Cut {
            size_t at;     // where the piece starts
            size_t value;  // where its text starts (behind the tag for a keyword)
            const Keyword *keyword;
        };
        // Bounded: keywords past the fifteenth of one subfield stay in the text.
        std::array<Cut, 16> cuts;
        size_t count = 0;
        if (pending_ != nullptr) {
            cuts[count++] = {0, pending_rest_, pending_};
            pending_ = nullptr;
        } else {
            cuts[count++] = {0, 0, nullptr};
        }
        for (size_t q = cuts[0].value + 4; q < length && count < cuts.size() - 1; ++q) {
            const char *plus = static_cast<const char *>(memchr(text + q, '+', length - q));
            if (plus == nullptr) break;
            q = static_cast<size_t>(plus - text);
            const size_t at = q - 4;
            if (at < cuts[count - 1].value || (at == 0 && cuts[0].keyword == nullptr)) continue;
            // Inside a text a keyword follows a blank: "MUSTER-DEBT+" and "TEKREF+"
            // are words.
            if (at > 0 && text[at - 1] != ' ') continue;
            if (const Keyword *k = keyword_of(text + at, length - at)) cuts[count++] = {at, q + 1, k};
        }
        size_t end = length;
        if (next != nullptr)
            if (const Keyword *k = keyword_across(text + cuts[count - 1].value, text + length, next, tail)) {
                end = length - tail;
                pending_ = k;
                pending_rest_ = 5 - tail;
            }
        for (size_t i = 0; i < count; ++i) {
            const Cut &c = cuts[i];
            size_t stop = i + 1 < count ? cuts[i + 1].at : end;
            // The blank before a keyword separates it and belongs to neither value.
            if (stop < length)
                while (stop > c.value && text[stop - 1] == ' ') --stop;
            if (c.keyword == nullptr) {
                if (stop > 0) add(text, stop);
            } else {
                begin(*c.keyword, text + c.value, stop - c.value);
                last_joined_ = length;
            }
        }
    }

    void add(char *text, size_t length) {
        if (const Keyword *k = keyword_of(text, length)) {
            begin(*k, text + 5, length - 5);
        } else if (current_ != nullptr) {
            join(text, length);
        } else {
            text[length] = '\0';
            start(&tx_.purpose, text, length);
        }
    }

private:
    void begin(const Keyword &k, char *value, size_t length) {
        value[length] = '\0';
        if (k.amount)
            if (char *comma = static_cast<char *>(memchr(value, ',', length))) *comma = '.';
        char **field = &(tx_.*(k.field));
        if (*field == nullptr) return start(field, value, length);
        // A repeated keyword adds to its first value. Other values may lie between the
        // two in the text, so the joined value moves to the arena, with room for all
        // the field still holds.
        const size_t first = strlen(*field);
        const size_t room = first + 1 + static_cast<size_t>(end_ - value) + 1;
        char *joined = records_.make_array<char>(room);
        if (joined == nullptr) {
            ok_ = false;
            return;
        }
        memcpy(joined, *field, first);
        size_t n = first;
        if (n > 0 && length > 0) joined[n++] = ' ';
        memcpy(joined + n, value, length);
        start(field, joined, n + length);
    }

    void start(char **field, char *value, size_t length) {
        *field = value;
        current_ = field;
        current_length_ = length;
    }

    // The piece moves back onto the end of the current field. A full subfield (27
    // characters, or a keyword with 22 characters of value) was cut mid-word, so no
    // blank goes between; purpose text keeps its line structure.
    void join(const char *text, size_t length) {
        char *dst = *current_ + current_length_;
        if (current_length_ == 0) {
            // Nothing to separate from: an empty keyword value starts with the piece.
        } else if (current_ == &tx_.purpose) {
            *dst++ = '\n';
            ++current_length_;
        } else if (last_joined_ <= 26 && current_length_ != 22) {
            *dst++ = ' ';
            ++current_length_;
        }
        memmove(dst, text, length);
        dst[length] = '\0';
        current_length_ += length;
        last_joined_ = length;
    }

    tarvo_stmt_tx_t &tx_;
    RecordArena &records_;
    const char *end_;
    bool ok_ = true;
    char **current_ = nullptr;
    size_t current_length_ = 0;
    size_t last_joined_ = 0;
    // A keyword whose tag the previous subfield began, and how many of its characters
    // (the '+' included) open the next one.
    const Keyword *pending_ = nullptr;
    size_t pending_rest_ = 0;
};

void take_subfield(tarvo_stmt_tx_t &tx, Remittance &remittance, int number, char *text, char *end,
                   const char *next_remittance) {
    const size_t length = static_cast<size_t>(end - text);
    switch (carries_table[static_cast<size_t>(number)]) {
    case Carries::Nothing:
        break;
    case Carries::PostingText:
        *end = '\0';
        tx.txtext = text;
        break;
    case Carries::Primanota:
        *end = '\0';
        tx.primanota = text;
        break;
    case Carries::Remittance:
        if (number <= 29)
            remittance.add_scanning(text, length, next_remittance);
        else
            remittance.add(text, length);
        break;
    case Carries::Bank:
        copy_capped(tx.bank, text, length);
        break;
    case Carries::Account:
        copy_capped(tx.account, text, length);
        break;
    case Carries::Name:
        copy_capped(tx.name, text, length);
        break;
    case Carries::NameMore:
        if (strlen(tx.name) <= 26) append_capped(tx.name, " ", 1);
        append_capped(tx.name, text, length);
        break;
    case Carries::ExtCode: {
        const char *p = text;
        read_unsigned(p, end, tx.extcode, 3);
        break;
    }
    }
}

} // namespace

// The markers of a field from its first one on, found in one pass: the last occurrence of
// each number, and the positions in order, so that finding the end of each subfield
// needs no second search (a field with more markers than are kept searches on from the
// last one kept).
class Markers {
public:
    Markers(char *first, char *end) : end_(end) {
        for (char *q = first; q != nullptr;) {
            if (const int n = marker_at(q, end); n >= 0) {
                last_[static_cast<size_t>(n)] = q;
                seen_[n / 64] |= uint64_t{1} << (n % 64);
                if (count_ < kept_.size())
                    kept_[count_++] = {q, n};
                else
                    complete_ = false;
            }
            ++q;
            q = static_cast<char *>(memchr(q, '?', static_cast<size_t>(end - q)));
        }
    }

    char *last(int number) const {
        return (seen_[number / 64] >> (number % 64) & 1) != 0 ? last_[static_cast<size_t>(number)] : nullptr;
    }

    // The first marker at or after p whose number is greater than `above`; p never moves
    // back between calls.
    char *next_above(char *p, int above, int &number) {
        for (; next_ < count_; ++next_) {
            const Kept &k = kept_[next_];
            if (k.at >= p && k.number > above) {
                number = k.number;
                return k.at;
            }
        }
        if (complete_) return nullptr;
        char *from = std::max(p, kept_[count_ - 1].at + 1);
        return const_cast<char *>(next_marker_above(from, end_, above, number));
    }

private:
    struct Kept {
        char *at;
        int number;
    };
    char *end_;
    std::array<char *, 100> last_;
    // A bit per number: clearing 100 flags per field costs more than the field's markers.
    uint64_t seen_[2] = {};
    std::array<Kept, 48> kept_;
    size_t count_ = 0;
    size_t next_ = 0;
    bool complete_ = true;
};

bool parse_information(tarvo_stmt_tx_t &tx, char *text, char *end, RecordArena &records) {
    const char *p = text;
    read_unsigned(p, end, tx.gvc, 3);

    // A subfield ends at the next marker with a greater number; when the following
    // number itself occurs further on, its last occurrence wins, so that a marker-like
    // "?nn" inside a text does not cut it. Last occurrences are found once per field.
    int number = -1;
    char *marker = const_cast<char *>(next_marker_above(text, end, -1, number));
    if (marker == nullptr) return true;
    Markers markers(marker, end);
    Remittance remittance(tx, records, end);
    for (;;) {
        char *body = marker + 3;
        int greater = 0;
        char *found = markers.next_above(body, number, greater);
        char *stop = end;
        int following = greater;
        if (found != nullptr) {
            stop = found;
            char *successor = number < 99 ? markers.last(number + 1) : nullptr;
            if (successor != nullptr && successor >= found) {
                stop = successor;
                following = number + 1;
            }
        }
        const bool remittance_follows = found != nullptr && number >= 20 && following <= 29;
        take_subfield(tx, remittance, number, body, stop, remittance_follows ? stop + 3 : nullptr);
        if (found == nullptr) break;
        marker = stop;
        number = following;
    }
    return remittance.ok();
}

} // namespace tarvo::mt940
