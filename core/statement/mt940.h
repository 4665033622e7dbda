// Pieces the MT940 reader shares between its record structure (mt940.cpp) and its
// field parsers (mt940_fields.cpp): the line walk and the small value readers.
#ifndef TARVO_STATEMENT_MT940_H
#define TARVO_STATEMENT_MT940_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <time.h>

#include <array>
#include <functional>
#include <string_view>

#include "statement/statement.h"
#include "tarvo.h"

namespace tarvo::mt940 {

// One line of the file. Banks write CRLF or bare LF; end is the content end either way
// (before the CR of a CRLF), next the start of the following line.
struct Line {
    char *begin;
    char *end;
    char *next;

    size_t length() const { return static_cast<size_t>(end - begin); }
    bool starts_with(std::string_view prefix) const {
        return length() >= prefix.size() && memcmp(begin, prefix.data(), prefix.size()) == 0;
    }
    // Cuts the text at the content end, so that fields pointing into the line end there.
    void cut() const { *end = '\0'; }
};

// Walks the lines of [pos, limit). Line ends are located before anything is cut, so
// the NUL bytes the parser writes never shorten the walk.
class Lines {
public:
    Lines(char *text, char *limit) : pos_(text), limit_(limit) {}

    bool at_end() const { return pos_ >= limit_; }
    // The line at the current position without moving on; only valid when !at_end().
    Line peek() const {
        char *nl = static_cast<char *>(memchr(pos_, '\n', static_cast<size_t>(limit_ - pos_)));
        char *end = nl != nullptr ? nl : limit_;
        char *content_end = (nl != nullptr && end > pos_ && end[-1] == '\r') ? end - 1 : end;
        return Line{pos_, content_end, nl != nullptr ? nl + 1 : limit_};
    }
    bool next(Line &line) {
        if (at_end()) return false;
        line = peek();
        pos_ = line.next;
        return true;
    }
    // Moves past a line that peek() gave.
    void skip(const Line &line) { pos_ = line.next; }

private:
    char *pos_;
    char *limit_;
};

// Moves the texts of the records out of the piece being read, into the record arena, as
// soon as the line that holds them has been read, while the record is still in the cache.
// A repeating text equal to the last one of the same field shares that one's copy.
class TextKeeper {
public:
    explicit TextKeeper(RecordArena &records) : records_(records) {}

    // The piece texts are moved out of: [begin, end], end being its terminating NUL.
    void piece(const char *begin, const char *end) {
        begin_ = begin;
        end_ = end;
    }
    // False when memory is exhausted.
    bool keep(char *&text) { return text == nullptr || !inside(text) || move(text, strlen(text)); }
    // The texts one of a transaction's two fields sets: the :61: line or the :86: field.
    enum class Field { Turnover, Information };
    bool keep(tarvo_stmt_tx_t &tx, Field field);

private:
    bool inside(const char *text) const {
        return !std::less<const char *>()(text, begin_) && !std::less<const char *>()(end_, text);
    }
    bool move(char *&text, size_t length) {
        text = records_.copy(text, length);
        return text != nullptr;
    }

    struct Repeated {
        char *text;
        size_t length;
    };

    RecordArena &records_;
    const char *begin_ = nullptr;
    const char *end_ = nullptr;
    // The last copy of each repeating field, by the field's place in the table.
    std::array<Repeated, 16> previous_{};
};

// What the reader carries from one line to the next, and from piece to piece.
struct Reader {
    Lines lines;
    RecordArena &records;
    TextKeeper texts;
    // The statement being read; none between a statement's end and the next :20:.
    tarvo_stmt_t *statement = nullptr;
    // The transaction the next :86: field describes; none once the closing balance
    // has been read, as a :86: there informs about the statement as a whole.
    tarvo_stmt_tx_t *described = nullptr;
};

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }
inline bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Value of `count` digits at p, or -1 when one of them is not a digit.
inline int fixed_digits(const char *p, const char *end, int count) {
    if (end - p < count) return -1;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        if (!is_digit(p[i])) return -1;
        value = value * 10 + (p[i] - '0');
    }
    return value;
}

// An unsigned number as a scanf "%u" (or "%03u" with max_digits 3) reads it: blanks
// skipped, then at least one digit. False when there is none; p moves past the digits.
bool read_unsigned(const char *&p, const char *end, uint32_t &value, int max_digits = 10);

// Years since 1900 of a two-digit year: 00-79 are 2000-2079, 80-99 are 1980-1999.
inline int year_of_two_digits(int yy) { return yy < 80 ? yy + 100 : yy; }

bool possible_date(int year, int month, int day);

// Reads "YYMMDD" at p into a calendar date; false when the six characters are not
// digits. An impossible date leaves date all zero (absent).
bool read_date(const char *p, const char *end, struct tm &date);

// An amount in [begin, end): digits with one decimal mark ("," or "."), at most 15
// characters, trailing blanks allowed.
struct Amount {
    std::string_view integer;
    std::string_view fraction;
    double value;
};
// False when the text is no such amount (a sign, an exponent, a second mark, too long).
bool read_amount(const char *begin, const char *end, Amount &out);
// The amount as a decimal text with a point and at least two decimals, "-" before
// debits, in the arena; null when memory is exhausted.
char *amount_text(RecordArena &records, const Amount &a, bool debit);

// How many of text's length bytes fit into room bytes without cutting a UTF-8
// character in two.
size_t fit(const char *text, size_t length, size_t room);

enum class Read { Done, Malformed, OutOfMemory };

// :61: line value (after the tag) into tx; Malformed when the line cannot be read and
// the statement ends there.
Read parse_turnover(tarvo_stmt_tx_t &tx, const Line &line, char *value, RecordArena &records);

// :86: field text with its line ends already removed, NUL-terminated at end; false when
// memory is exhausted.
bool parse_information(tarvo_stmt_tx_t &tx, char *text, char *end, RecordArena &records);

} // namespace tarvo::mt940

namespace tarvo {

// Reads MT940 statements from a text handed over in pieces. Each piece ends where a line
// starts with ':' or at the end of the input, so that no field runs on into the next
// piece; the records point into the piece until their texts are moved out of it.
class Mt940Reader {
public:
    Mt940Reader(RecordArena &records, StatementList out)
        : state_{mt940::Lines(nullptr, nullptr), records, mt940::TextKeeper(records)}, out_(out) {}

    // Reads the lines of [text, limit), cutting them in place; *limit must be NUL. The
    // records keep copies of their texts, so the piece may be reused afterwards. False
    // when a record could not be allocated.
    bool read(char *text, char *limit);

private:
    mt940::Reader state_;
    StatementList out_;
};

} // namespace tarvo

#endif
