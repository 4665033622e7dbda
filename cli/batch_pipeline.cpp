// The batch pipeline. The main thread reads the input in chunks of whole lines, worker
// threads turn each chunk into its rows, and a writer thread writes the chunks' rows in
// input order. A fixed ring of chunks bounds the memory however long the input is.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "batch.h"

namespace tarvotool {

namespace {

constexpr size_t chunk_bytes = size_t{1} << 18;
// What is kept of a line too long to read: enough to know it is too long.
constexpr size_t overlong_kept = longest_line + 2;

using Clock = std::chrono::steady_clock;

// ---- Chunks ----------------------------------------------------------------------------

struct Chunk {
    std::vector<char> in = std::vector<char>(chunk_bytes);
    size_t size = 0;
    uint64_t first_line = 0;
    uint64_t lines = 0;
    RowBuffer out;
    uint64_t invalid = 0;
    bool ready = false; // rows made, not yet written
};

// Each line of the chunk through the command, rows into chunk.out.
void make_rows(const BatchCommand &command, Format format, Chunk &chunk) {
    chunk.out.clear();
    chunk.invalid = 0;
    std::string scratch;
    const char *p = chunk.in.data();
    const char *const end = p + chunk.size;
    uint64_t number = chunk.first_line;
    while (p < end) {
        const auto *newline = static_cast<const char *>(memchr(p, '\n', static_cast<size_t>(end - p)));
        const char *stop = newline != nullptr ? newline : end;
        std::string_view text(p, static_cast<size_t>(stop - p));
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        Row row(format, command.columns, chunk.out);
        if (command.row(classify(text, number, scratch), row) == Verdict::invalid) ++chunk.invalid;
        ++number;
        p = stop + 1;
    }
}

// Cuts the input into chunks that end at a line end (or at the end of the input).
class ChunkReader {
public:
    explicit ChunkReader(int fd) : fd_(fd) {}

    // 1 when the chunk holds lines, 0 at the end of the input, -1 on a read error (errno).
    int fill(Chunk &chunk) {
        char *const buffer = chunk.in.data();
        size_t size = carry_.size();
        if (size > 0) memcpy(buffer, carry_.data(), size);
        carry_.clear();
        while (!end_ && size < chunk_bytes) {
            const ssize_t n = read_some(buffer + size, chunk_bytes - size);
            if (n < 0) return -1;
            if (n == 0) end_ = true;
            size += static_cast<size_t>(n);
        }
        // Spreadsheets saving "CSV UTF-8" start the file with a byte-order mark; it belongs
        // to no line, and the header line after it is still a header.
        if (next_line_ == 1 && !bom_checked_) {
            bom_checked_ = true;
            if (size >= utf8_bom.size() && std::string_view(buffer, utf8_bom.size()) == utf8_bom) {
                size -= utf8_bom.size();
                memmove(buffer, buffer + utf8_bom.size(), size);
            }
        }
        if (size == 0) return 0;
        const auto *last = static_cast<const char *>(memrchr(buffer, '\n', size));
        if (last != nullptr) {
            const size_t used = static_cast<size_t>(last - buffer) + 1;
            carry_.assign(buffer + used, buffer + size);
            size = used;
        } else if (!end_) {
            // One line fills the whole chunk: keep its start, drop the rest up to its end.
            size = overlong_kept;
            buffer[size++] = '\n';
            if (!skip_rest_of_line()) return -1;
        }
        chunk.size = size;
        chunk.first_line = next_line_;
        chunk.lines = static_cast<uint64_t>(std::count(buffer, buffer + size, '\n'));
        if (buffer[size - 1] != '\n') ++chunk.lines;
        next_line_ += chunk.lines;
        return 1;
    }

private:
    ssize_t read_some(char *into, size_t count) {
        ssize_t n;
        do {
            n = read(fd_, into, count);
        } while (n < 0 && errno == EINTR);
        return n;
    }

    bool skip_rest_of_line() {
        std::vector<char> discard(chunk_bytes);
        for (;;) {
            const ssize_t n = read_some(discard.data(), discard.size());
            if (n < 0) return false;
            if (n == 0) {
                end_ = true;
                return true;
            }
            const auto *newline = static_cast<const char *>(memchr(discard.data(), '\n', static_cast<size_t>(n)));
            if (newline != nullptr) {
                carry_.assign(newline + 1, static_cast<const char *>(discard.data()) + n);
                return true;
            }
        }
    }

    static constexpr std::string_view utf8_bom = "\xEF\xBB\xBF";

    int fd_;
    bool end_ = false;
    bool bom_checked_ = false;
    std::vector<char> carry_;
    uint64_t next_line_ = 1;
};

bool write_all(int fd, const char *data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// "lines done, lines per second" on a terminal, once the run has taken a second.
class Progress {
public:
    Progress() : shown_(isatty(STDERR_FILENO) == 1), start_(Clock::now()), last_(start_) {}

    void update(uint64_t lines) {
        if (!shown_) return;
        const auto now = Clock::now();
        if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(250)) return;
        last_ = now;
        print(lines, now);
    }

    void finish(uint64_t lines) {
        if (!printed_) return;
        print(lines, Clock::now());
        fputc('\n', stderr);
    }

private:
    void print(uint64_t lines, Clock::time_point now) {
        const double seconds = std::chrono::duration<double>(now - start_).count();
        fprintf(stderr, "\r%llu lines, %.0f lines/s", static_cast<unsigned long long>(lines), lines / seconds);
        fflush(stderr);
        printed_ = true;
    }

    bool shown_;
    bool printed_ = false;
    Clock::time_point start_;
    Clock::time_point last_;
};

// ---- The pipeline ----------------------------------------------------------------------

class Pipeline {
public:
    Pipeline(const BatchCommand &command, Format format, unsigned jobs)
        : command_(command), format_(format), jobs_(jobs), chunks_(2 * jobs + 2) {}

    // The exit code of the run.
    int run(int in) {
        std::vector<std::thread> threads;
        for (unsigned i = 0; i < jobs_; ++i) threads.emplace_back([this] { work(); });
        threads.emplace_back([this] { write_rows(); });
        const bool read_ok = read_chunks(in);
        const int read_errno = errno;
        {
            const std::lock_guard lock(mutex_);
            input_done_ = true;
        }
        changed_.notify_all();
        for (std::thread &t : threads) t.join();
        progress_.finish(lines_written_);
        if (!read_ok) fprintf(stderr, "tarvotool: cannot read the input: %s\n", strerror(read_errno));
        if (write_failed_) fprintf(stderr, "tarvotool: cannot write the output: %s\n", strerror(write_errno_));
        if (!read_ok || write_failed_) return 2;
        return invalid_ > 0 ? 1 : 0;
    }

private:
    Chunk &slot(uint64_t sequence) { return chunks_[sequence % chunks_.size()]; }

    bool read_chunks(int in) {
        ChunkReader reader(in);
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return filled_ - written_ < chunks_.size() || write_failed_; });
                if (write_failed_) return true;
            }
            const int got = reader.fill(slot(filled_));
            if (got <= 0) return got == 0;
            {
                const std::lock_guard lock(mutex_);
                ++filled_;
            }
            changed_.notify_all();
        }
    }

    void work() {
        for (;;) {
            uint64_t sequence;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return taken_ < filled_ || input_done_; });
                if (taken_ == filled_) return;
                sequence = taken_++;
            }
            Chunk &chunk = slot(sequence);
            make_rows(command_, format_, chunk);
            {
                const std::lock_guard lock(mutex_);
                chunk.ready = true;
            }
            changed_.notify_all();
        }
    }

    void write_rows() {
        for (;;) {
            Chunk *chunk;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return slot(written_).ready || (input_done_ && written_ == filled_); });
                if (!slot(written_).ready) return;
                chunk = &slot(written_);
            }
            const bool ok = write_failed_ || write_all(STDOUT_FILENO, chunk->out.data(), chunk->out.size());
            const int error = errno;
            {
                const std::lock_guard lock(mutex_);
                if (!ok && !write_failed_) {
                    write_failed_ = true;
                    write_errno_ = error;
                }
                invalid_ += chunk->invalid;
                lines_written_ += chunk->lines;
                chunk->ready = false;
                ++written_;
            }
            changed_.notify_all();
            progress_.update(lines_written_);
        }
    }

    const BatchCommand &command_;
    const Format format_;
    const unsigned jobs_;
    std::vector<Chunk> chunks_;

    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t filled_ = 0;  // chunks read
    uint64_t taken_ = 0;   // chunks a worker has started on
    uint64_t written_ = 0; // chunks written (or dropped after a failed write)
    bool input_done_ = false;
    bool write_failed_ = false;
    int write_errno_ = 0;
    uint64_t invalid_ = 0;
    uint64_t lines_written_ = 0;
    Progress progress_; // the writer's alone
};

// The input the options name; -1 with a message when it cannot be read. A named file
// must be a regular file: a device such as /dev/zero would never end a line.
int open_input(const char *path) {
    if (strcmp(path, "-") == 0) return STDIN_FILENO;
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        fprintf(stderr, "tarvotool: cannot open '%s': %s\n", path, strerror(errno));
    } else if (!S_ISREG(st.st_mode)) {
        fprintf(stderr, "tarvotool: '%s' is not a regular file\n", path);
    } else {
        return fd;
    }
    if (fd >= 0) close(fd);
    return -1;
}

} // namespace

int run_batch(const BatchCommand &command, const BatchOptions &options) {
    const int in = open_input(options.path);
    if (in < 0) return 2;
    unsigned jobs = options.jobs;
    if (jobs == 0) jobs = std::max(1u, std::thread::hardware_concurrency());
    int status = 2;
    std::string header;
    if (options.format == Format::csv) {
        for (const char *column : command.columns) header.append(header.empty() ? "" : ";").append(column);
        header.push_back('\n');
    }
    if (!write_all(STDOUT_FILENO, header.data(), header.size()))
        fprintf(stderr, "tarvotool: cannot write the output: %s\n", strerror(errno));
    else
        status = Pipeline(command, options.format, jobs).run(in);
    if (in != STDIN_FILENO) close(in);
    return status;
}

} // namespace tarvotool
