// Test helpers: statement texts written to temporary files and loaded into a parser.
#ifndef TARVO_TESTS_STATEMENT_FILES_H
#define TARVO_TESTS_STATEMENT_FILES_H

#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

#include "tarvo.h"

namespace stmt_test {

// A file in the temporary directory, removed again with the object.
class TempFile {
public:
    explicit TempFile(std::string_view content) {
        const char *dir = getenv("TMPDIR");
        path_ = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/tarvo-stmt-XXXXXX";
        const int fd = mkstemp(path_.data());
        if (fd < 0) abort();
        size_t done = 0;
        while (done < content.size()) {
            const ssize_t n = write(fd, content.data() + done, content.size() - done);
            if (n <= 0) abort();
            done += static_cast<size_t>(n);
        }
        close(fd);
    }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;
    ~TempFile() { unlink(path_.c_str()); }
    const char *path() const { return path_.c_str(); }

private:
    std::string path_;
};

// Bank files end their lines with CR LF; tests write LF and convert.
inline std::string crlf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// A file name, as opposed to file content.
struct Path {
    const char *name;
};

// Bytes to load from memory.
struct Memory {
    std::string_view bytes;
};

// A parser with one load done.
class Parsed {
public:
    Parsed(std::string_view content, int format = TARVO_STMT_FORMAT_MT940) : parser_(tarvo_stmt_parser_new()) {
        TempFile file(content);
        result_ = tarvo_stmt_parser_load(parser_, format, file.path());
    }
    explicit Parsed(Path path, int format = TARVO_STMT_FORMAT_MT940) : parser_(tarvo_stmt_parser_new()) {
        result_ = tarvo_stmt_parser_load(parser_, format, path.name);
    }
    Parsed(Memory memory, int format) : parser_(tarvo_stmt_parser_new()) {
        result_ = tarvo_stmt_parser_loadMemory(parser_, format, memory.bytes.data(), memory.bytes.size());
    }
    Parsed(const Parsed &) = delete;
    Parsed &operator=(const Parsed &) = delete;
    ~Parsed() { tarvo_stmt_parser_free(parser_); }

    int result() const { return result_; }
    tarvo_stmt_parser_t *parser() const { return parser_; }
    std::string error() const { return tarvo_stmt_parser_getError(parser_); }
    std::vector<const tarvo_stmt_t *> statements() const {
        std::vector<const tarvo_stmt_t *> out;
        for (const tarvo_stmt_t *s = tarvo_stmt_parser_getStatement(parser_); s != nullptr; s = s->next) out.push_back(s);
        return out;
    }
    // The transactions of the first statement.
    std::vector<const tarvo_stmt_tx_t *> transactions(size_t statement = 0) const {
        std::vector<const tarvo_stmt_tx_t *> out;
        const auto list = statements();
        if (statement >= list.size()) return out;
        for (const tarvo_stmt_tx_t *t = list[statement]->tx; t != nullptr; t = t->next) out.push_back(t);
        return out;
    }

private:
    tarvo_stmt_parser_t *parser_;
    int result_ = 0;
};

// Text of a record field, "(null)" when absent, so that comparisons read naturally.
inline std::string text(const char *field) { return field != nullptr ? std::string(field) : std::string("(null)"); }

// A calendar date as "yyyy-mm-dd".
inline std::string date(const struct tm &d) {
    char buf[32];
    snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.tm_year + 1900, d.tm_mon + 1, d.tm_mday);
    return buf;
}

} // namespace stmt_test

#endif
