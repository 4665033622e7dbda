// The batch commands' common part: their options, result rows in CSV or JSON Lines, and
// the pipeline that reads lines, works on them in parallel and writes the rows in order.
#ifndef TARVOTOOL_BATCH_H
#define TARVOTOOL_BATCH_H

#include <stdint.h>

#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tarvotool {

enum class Format { csv, json_lines };

struct BatchOptions {
    Format format = Format::csv;
    unsigned jobs = 0;          // 0: one per core
    const char *path = nullptr; // "-" for standard input
};

// Reads "[--json] [-j N] <file|->" in any order; false when the words are not that.
bool read_batch_options(char **args, BatchOptions &options);

// Lines longer than this are answered with an error row instead of being read.
constexpr size_t longest_line = 1024;

// One input line, without its line end.
struct Line {
    std::string_view text; // as given; for a line with a problem, a printable stand-in
    uint64_t number;       // counting from 1
    const char *problem;   // why the line cannot be read at all (empty, overlong, binary), or null
};

// The line as the command gets it: its text, or the problem that keeps it from being read
// (empty, overlong, control characters or bytes that are not UTF-8) with a printable
// stand-in for the text, built in scratch.
Line classify(std::string_view text, uint64_t number, std::string &scratch);

// The rows of one chunk; grows in steps, so a row never straddles a reallocation.
class RowBuffer {
public:
    // Room for one more row of any content, at end().
    char *room_for_row();
    char *end() { return data_.get() + size_; }
    void set_end(char *end) { size_ = static_cast<size_t>(end - data_.get()); }
    const char *data() const { return data_.get(); }
    size_t size() const { return size_; }
    void clear() { size_ = 0; }

private:
    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// Builds one row, field by field in the order of the command's column names: CSV with
// ';' between fields and quotes where a field needs them, or one JSON object per line
// whose keys are the column names and which leaves out empty texts. A row holds at most
// 12 fields; a text longer than three lines' worth is cut.
class Row {
public:
    Row(Format format, std::span<const char *const> columns, RowBuffer &out)
        : format_(format), columns_(columns), out_(out), at_(out.room_for_row()) {}
    void text(std::string_view value);
    void number(int64_t value);
    void flag(bool value);
    // Ends the row; columns not given stay empty.
    void end();

private:
    void key();
    Format format_;
    std::span<const char *const> columns_;
    RowBuffer &out_;
    char *at_;
    size_t next_ = 0;
    bool opened_ = false; // JSON: the object's brace is written
};

enum class Verdict { valid, invalid, skipped };

struct BatchCommand {
    std::span<const char *const> columns;
    // Writes the row of one line (nothing for a skipped header line).
    Verdict (*row)(const Line &line, Row &out);
};

// Runs the command over the input the options name and writes its rows to standard
// output. The exit code: 0 every line valid, 1 some not, 2 the run failed (input not
// readable, output not writable).
int run_batch(const BatchCommand &command, const BatchOptions &options);

// Text without surrounding blanks and tabs.
std::string_view trimmed(std::string_view text);

} // namespace tarvotool

#endif
