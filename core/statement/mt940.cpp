// The record structure of an MT940 file: statements that open with a :20: line, their
// balance and number lines, and the :61:/:86: pairs that become transactions.
#include <string.h>

#include <array>
#include <string_view>

#include "statement/mt940.h"
#include "statement/statement.h"

namespace tarvo {

namespace {

using mt940::Line;
using mt940::Lines;

// Malformed ends the statement where a line cannot be read, and marks it incomplete.
enum class Step { Continue, EndStatement, Malformed, OutOfMemory };

using mt940::Reader;
using Field = mt940::TextKeeper::Field;

Step account(Reader &r, const Line &line, char *value) {
    line.cut();
    r.statement->account = value;
    return r.texts.keep(r.statement->account) ? Step::Continue : Step::OutOfMemory;
}

Step statement_number(Reader &r, const Line &line, char *value) {
    const char *p = value;
    if (!mt940::read_unsigned(p, line.end, r.statement->number)) return Step::Malformed;
    // "number/page"; a page that cannot be read stays 0 rather than costing the
    // statement its transactions.
    if (p < line.end && *p == '/') {
        ++p;
        mt940::read_unsigned(p, line.end, r.statement->page);
    }
    return Step::Continue;
}

// "C240131EUR1234,56": mark, date, currency, amount.
Step balance(Reader &r, const Line &line, char *value, struct tm &date, char (&currency)[4], double &saldo,
             char *&text) {
    char *p = value;
    if (p >= line.end) return Step::Malformed;
    const bool debit = *p++ == 'D';
    if (!mt940::read_date(p, line.end, date)) return Step::Malformed;
    p += 6;
    size_t n = 0;
    for (; n < 3 && p < line.end; ++n) currency[n] = *p++;
    currency[n] = '\0';
    mt940::Amount amount;
    if (!mt940::read_amount(p, line.end, amount)) return Step::Malformed;
    saldo = debit && amount.value != 0.0 ? -amount.value : amount.value;
    text = mt940::amount_text(r.records, amount, debit);
    return text != nullptr ? Step::Continue : Step::OutOfMemory;
}

Step opening_balance(Reader &r, const Line &line, char *value) {
    tarvo_stmt_t &s = *r.statement;
    return balance(r, line, value, s.openDate, s.openCurrency, s.openSaldo, s.openSaldoText);
}

Step closing_balance(Reader &r, const Line &line, char *value) {
    tarvo_stmt_t &s = *r.statement;
    r.described = nullptr;
    return balance(r, line, value, s.closeDate, s.closeCurrency, s.closeSaldo, s.closeSaldoText);
}

Step turnover(Reader &r, const Line &line, char *value) {
    auto *tx = r.records.make<tarvo_stmt_tx_t>();
    if (tx == nullptr) return Step::OutOfMemory;
    // Listed before it is read: a line that breaks off keeps what was read of it.
    tarvo_stmt_t &s = *r.statement;
    if (s.last != nullptr)
        s.last->next = tx;
    else
        s.tx = tx;
    s.last = tx;
    r.described = tx;
    const mt940::Read read = mt940::parse_turnover(*tx, line, value, r.records);
    if (read == mt940::Read::OutOfMemory || !r.texts.keep(*tx, Field::Turnover)) return Step::OutOfMemory;
    return read == mt940::Read::Done ? Step::Continue : Step::Malformed;
}

// The end of a SWIFT message ("-", or "-}" when it is wrapped in blocks) also ends a
// :86: field that has no further tag behind it.
bool ends_message(const Line &line) {
    return line.starts_with("-}") || (line.length() == 1 && line.begin[0] == '-');
}

Step information(Reader &r, const Line &line, char *value) {
    // The continuation lines are joined onto the first one, without their line ends.
    char *end = line.end;
    while (!r.lines.at_end()) {
        const Line more = r.lines.peek();
        if ((more.length() > 0 && more.begin[0] == ':') || ends_message(more)) break;
        memmove(end, more.begin, more.length());
        end += more.length();
        r.lines.skip(more);
    }
    *end = '\0';
    if (r.described == nullptr) return Step::Continue;
    if (!mt940::parse_information(*r.described, value, end, r.records) ||
        !r.texts.keep(*r.described, Field::Information))
        return Step::OutOfMemory;
    return Step::Continue;
}

using Handler = Step (*)(Reader &, const Line &, char *);

struct Tag {
    std::string_view tag;
    Handler handle;
};

constexpr std::array<Tag, 9> tags{{
    {":61:", turnover},
    {":86:", information},
    {":25:", account},
    {":28C:", statement_number},
    {":28:", statement_number},
    {":60F:", opening_balance},
    {":60M:", opening_balance},
    {":62F:", closing_balance},
    {":62M:", closing_balance},
}};

Step examine(Reader &r, const Line &line) {
    if (line.length() == 0) return Step::Continue;
    if (line.begin[0] == '-') return Step::EndStatement;
    if (line.begin[0] != ':') return Step::Continue;
    for (const Tag &t : tags)
        if (line.starts_with(t.tag)) return t.handle(r, line, line.begin + t.tag.size());
    return Step::Continue;
}

void append(StatementList out, tarvo_stmt_t *statement) {
    if (*out.last != nullptr)
        (*out.last)->next = statement;
    else
        *out.first = statement;
    *out.last = statement;
}

} // namespace

// A statement runs to its "-" line, to a line that cannot be read, or to the next :20:
// when a bank leaves out the "-". Lines outside a statement are passed over.
bool Mt940Reader::read(char *text, char *limit) {
    Reader &r = state_;
    r.lines = Lines(text, limit);
    r.texts.piece(text, limit);
    Line line{};
    while (r.lines.next(line)) {
        if (line.starts_with(":20:")) {
            auto *statement = r.records.make<tarvo_stmt_t>();
            if (statement == nullptr) return false;
            append(out_, statement);
            line.cut();
            statement->ref = line.begin + 4;
            if (!r.texts.keep(statement->ref)) return false;
            r.statement = statement;
            r.described = nullptr;
            continue;
        }
        if (r.statement == nullptr) continue;
        const Step step = examine(r, line);
        if (step == Step::OutOfMemory) return false;
        if (step == Step::Malformed) r.statement->incomplete = 1;
        if (step != Step::Continue) r.statement = nullptr;
    }
    return true;
}

} // namespace tarvo
