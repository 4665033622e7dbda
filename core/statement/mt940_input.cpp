// The MT940 loader: reads the file in pieces that end before a line starting with ':',
// and lets the reader cut each piece into records, whose texts then move out of the
// piece (TextKeeper). A load holds its records and their texts, never the whole file:
// records alone are half again the size of the file they come from.
#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>

#include "frame/frame.h"
#include "statement/mt940.h"
#include "statement/statement.h"

namespace tarvo {

namespace {

// The input, read up to the size it had when opened: a file that grows or shrinks
// meanwhile is refused rather than read in part.
class Source {
public:
    Source(const Input &in, char (&error)[256]) : in_(in), error_(error) {}

    bool all_read() const { return done_ == in_.size; }

    // Up to count bytes into `into`: their number, 0 at the end, -1 with the error set.
    ssize_t read(char *into, size_t count) {
        const size_t left = in_.size - done_;
        if (in_.fd < 0) {
            const size_t n = std::min(count, left);
            memcpy(into, in_.data + done_, n);
            done_ += n;
            return static_cast<ssize_t>(n);
        }
        if (left == 0) {
            // One byte more must find the end of the file.
            char probe;
            const ssize_t n = read_some(in_.fd, &probe, 1);
            return n == 0 ? 0 : n > 0 ? changed() : failed();
        }
        const ssize_t n = read_some(in_.fd, into, std::min(count, left));
        if (n <= 0) return n == 0 ? changed() : failed();
        done_ += static_cast<size_t>(n);
        return n;
    }

private:
    ssize_t failed() {
        format_error(error_, "Error while reading from file: %s", strerror(errno));
        return -1;
    }
    ssize_t changed() {
        format_error(error_, "Error while reading from file: %s", "file changed size while it was read");
        return -1;
    }

    const Input &in_;
    char (&error_)[256];
    size_t done_ = 0;
};

using TextField = char *tarvo_stmt_tx_t::*;

struct Text {
    TextField field;
    // Whether the field tends to repeat from one transaction to the next: posting texts,
    // primanota, "NONREF", references of a collection and the regular counterparties.
    bool repeats;
};

constexpr std::array<Text, 16> transaction_texts{{
    {&tarvo_stmt_tx_t::ref, true},      {&tarvo_stmt_tx_t::bankref, false}, {&tarvo_stmt_tx_t::txtext, true},
    {&tarvo_stmt_tx_t::primanota, true}, {&tarvo_stmt_tx_t::purpose, false}, {&tarvo_stmt_tx_t::eref, false},
    {&tarvo_stmt_tx_t::kref, true},     {&tarvo_stmt_tx_t::mref, true},     {&tarvo_stmt_tx_t::cred, true},
    {&tarvo_stmt_tx_t::debt, true},     {&tarvo_stmt_tx_t::purp, true},     {&tarvo_stmt_tx_t::coam, false},
    {&tarvo_stmt_tx_t::oamt, false},    {&tarvo_stmt_tx_t::svwz, false},    {&tarvo_stmt_tx_t::abwa, true},
    {&tarvo_stmt_tx_t::abwe, true},
}};

// The first texts of the table come from the :61: line, the others from the :86: field.
constexpr size_t turnover_texts = 2;

// Where the text read so far can be cut: after the last line end that a ':' follows,
// or 0 when there is none past `start`.
size_t piece_end(const char *text, size_t start, size_t size) {
    for (size_t limit = size > 0 ? size - 1 : 0; limit > start;) {
        const auto *nl = static_cast<const char *>(memrchr(text + start, '\n', limit - start));
        if (nl == nullptr) break;
        limit = static_cast<size_t>(nl - text);
        if (text[limit + 1] == ':') return limit + 1;
    }
    return 0;
}

struct FreeBuffer {
    void operator()(char *p) const { free(p); }
};

bool out_of_memory(char (&error)[256]) {
    format_error(error, "Error while allocating %lu bytes: %s", static_cast<unsigned long>(sizeof(tarvo_stmt_tx_t)),
                 strerror(ENOMEM));
    return false;
}

} // namespace

namespace mt940 {

bool TextKeeper::keep(tarvo_stmt_tx_t &tx, Field field) {
    static_assert(std::tuple_size_v<decltype(previous_)> == transaction_texts.size());
    const bool turnover = field == Field::Turnover;
    const size_t first = turnover ? 0 : turnover_texts;
    const size_t last = turnover ? turnover_texts : transaction_texts.size();
    for (size_t i = first; i < last; ++i) {
        const Text &text = transaction_texts[i];
        char *&value = tx.*text.field;
        if (value == nullptr || !inside(value)) continue;
        const size_t length = strlen(value);
        if (!text.repeats) {
            if (!move(value, length)) return false;
            continue;
        }
        Repeated &before = previous_[i];
        if (before.text != nullptr && before.length == length && memcmp(before.text, value, length) == 0) {
            value = before.text;
            continue;
        }
        if (!move(value, length)) return false;
        before = {value, length};
    }
    return true;
}

} // namespace mt940

bool read_mt940(const Input &input, RecordArena &records, StatementList out, char (&error)[256], size_t piece) {
    size_t capacity = std::clamp<size_t>(input.size, 4, std::max<size_t>(piece, 4));
    std::unique_ptr<char, FreeBuffer> buffer(static_cast<char *>(malloc(capacity + 1)));
    if (buffer == nullptr) {
        format_error(error, "Failed to allocate %lu bytes", static_cast<unsigned long>(capacity + 1));
        return false;
    }
    Source source(input, error);
    Mt940Reader reader(records, out);
    size_t filled = 0;
    size_t start = 0;
    bool first = true;
    for (bool end = false; !end || filled > 0;) {
        while (!end && (filled < capacity || source.all_read())) {
            const ssize_t n = source.read(buffer.get() + filled, capacity - filled);
            if (n < 0) return false;
            end = n == 0;
            filled += static_cast<size_t>(n);
        }
        char *text = buffer.get();
        if (first) {
            first = false;
            if (filled == 0 || text[0] == '\0') {
                format_error(error, "Input file starts with a NUL byte");
                return false;
            }
            // Editors on Windows put a byte order mark before the first :20: line.
            if (std::string_view(text, filled).starts_with("\xEF\xBB\xBF")) start = 3;
        }
        const size_t cut = end ? filled : piece_end(text, start, filled);
        if (cut == 0) {
            // A field longer than the buffer: it grows until the field fits.
            if (capacity > SIZE_MAX / 2 - 1) return out_of_memory(error);
            char *grown = static_cast<char *>(realloc(buffer.get(), capacity * 2 + 1));
            if (grown == nullptr) return out_of_memory(error);
            buffer.release();
            buffer.reset(grown);
            capacity *= 2;
            continue;
        }
        const char next = text[cut];
        text[cut] = '\0';
        if (!reader.read(text + start, text + cut)) return out_of_memory(error);
        text[cut] = next;
        memmove(text, text + cut, filled - cut);
        filled -= cut;
        start = 0;
    }
    return true;
}

} // namespace tarvo
