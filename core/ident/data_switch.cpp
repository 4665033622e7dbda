// Loading a data file and switching every lookup to it while other threads look up.
// Readers announce the file they use in a slot of their own (a hazard pointer); a loader
// publishes the new file first and releases the old one only once no slot names it. The
// compiled-in tables are never released, so a lookup through them announces nothing.
// Where the kernel offers it, the loader makes every running reader's announcement visible
// with one process-wide barrier, which spares each lookup a full fence of its own.
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <linux/membarrier.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "frame/frame.h"
#include "ident/data_loaded.h"

namespace tarvo {

namespace {

struct reader_slot {
    std::atomic<const loaded_data *> pinned{nullptr};
    std::atomic<bool> taken{true};
    reader_slot *next = nullptr;
};

// Slots are never freed: a thread that ends gives its slot back for the next one.
std::atomic<reader_slot *> slots{nullptr};
std::atomic<const loaded_data *> current{nullptr};
std::mutex loader; // one switch at a time
// Set (before the first file is published) when the process-wide barrier is available.
std::atomic<bool> process_barrier{false};

bool register_process_barrier() {
    return syscall(__NR_membarrier, MEMBARRIER_CMD_REGISTER_PRIVATE_EXPEDITED, 0, 0) == 0;
}

void barrier_all_readers() {
    if (process_barrier.load(std::memory_order_relaxed))
        syscall(__NR_membarrier, MEMBARRIER_CMD_PRIVATE_EXPEDITED, 0, 0);
}

reader_slot *claim_slot() {
    for (reader_slot *s = slots.load(std::memory_order_acquire); s; s = s->next) {
        bool expected = false;
        if (!s->taken.load(std::memory_order_relaxed) && s->taken.compare_exchange_strong(expected, true))
            return s;
    }
    auto *s = new reader_slot;
    s->next = slots.load(std::memory_order_relaxed);
    // In the single order of these operations a loader's scan either finds the new slot or
    // comes before it, and then this reader's check of the file in use sees the new file.
    while (!slots.compare_exchange_weak(s->next, s, std::memory_order_seq_cst, std::memory_order_relaxed)) {
    }
    return s;
}

// Plain data, so that a lookup reaches it without the guard of a thread-local object.
struct thread_reader {
    reader_slot *slot;
    int depth;
    const loaded_data *held;
    // The thread has given its slot back: it is ending, and a lookup from a thread-local
    // destructor that runs after that borrows a slot for the lookup alone.
    bool ended;
};
thread_local thread_reader reader;

// Gives the slot back when the thread ends; constructed only by a thread that claims one.
struct slot_return {
    reader_slot *slot;
    ~slot_return() {
        reader.slot = nullptr;
        reader.ended = true;
        slot->taken.store(false, std::memory_order_release);
    }
};

reader_slot *thread_slot() {
    thread_local slot_return owner{claim_slot()};
    return owner.slot;
}

// Waits until no reader announces old, then releases it.
void retire(const loaded_data *old) {
    if (!old)
        return;
    barrier_all_readers();
    for (reader_slot *s = slots.load(std::memory_order_seq_cst); s; s = s->next)
        while (s->pinned.load(std::memory_order_seq_cst) == old)
            std::this_thread::yield();
    munmap(const_cast<void *>(old->mapping), old->size);
    delete old;
}

void replace(const loaded_data *next) {
    std::lock_guard<std::mutex> lock(loader);
    static const bool registered = [] {
        process_barrier.store(register_process_barrier(), std::memory_order_relaxed);
        return true;
    }();
    (void)registered;
    retire(current.exchange(next, std::memory_order_seq_cst));
}

char *message_copy(const std::string &text) {
    char *copy = static_cast<char *>(malloc(text.size() + 1));
    if (copy)
        memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

// The file's bytes in private memory that turns read-only once filled. A mapping of the
// file itself would end the process with SIGBUS when someone truncates the file while it
// is in use (an update written in place), and lookups through it measured slower than
// through the compiled-in tables. Null with failure set.
void *read_whole(int fd, size_t size, std::string &failure) {
    void *memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        failure = std::string("cannot map: ") + strerror(errno);
        return nullptr;
    }
    size_t got = 0;
    while (got < size) {
        const ssize_t n = read_some(fd, static_cast<char *>(memory) + got, size - got);
        if (n <= 0) {
            failure = n < 0 ? std::string("cannot read: ") + strerror(errno) : std::string("cannot read: file shrank");
            munmap(memory, size);
            return nullptr;
        }
        got += static_cast<size_t>(n);
    }
    mprotect(memory, size, PROT_READ);
    return memory;
}

// Reads and checks path; null with *failure set when the file is refused.
const loaded_data *open_file(const char *path, std::string &failure) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        failure = std::string("cannot open: ") + strerror(errno);
        return nullptr;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        failure = std::string("cannot read: ") + strerror(errno);
        close(fd);
        return nullptr;
    }
    if (!S_ISREG(st.st_mode)) {
        failure = S_ISDIR(st.st_mode) ? "not a file: a directory" : "not a file: no regular file";
        close(fd);
        return nullptr;
    }
    const auto size = static_cast<size_t>(st.st_size);
    data_file checked;
    void *mapping = nullptr;
    const char *refused = size == 0 ? "empty file" : nullptr;
    if (!refused) {
        mapping = read_whole(fd, size, failure);
        if (!mapping) {
            close(fd);
            return nullptr;
        }
        refused = check_data_file(static_cast<const unsigned char *>(mapping), size, checked);
    }
    close(fd);
    if (refused) {
        if (mapping)
            munmap(mapping, size);
        failure = refused;
        return nullptr;
    }
    auto *loaded = new (std::nothrow) loaded_data{checked, mapping, size, path};
    if (!loaded) {
        munmap(mapping, size);
        failure = "out of memory";
    }
    return loaded;
}

} // namespace

data_pin::data_pin() {
    thread_reader &r = reader;
    if (r.depth++ > 0) {
        file_ = r.held ? &r.held->file : nullptr;
        return;
    }
    const loaded_data *d = current.load(std::memory_order_acquire);
    if (d) {
        if (!r.slot)
            r.slot = r.ended ? claim_slot() : thread_slot();
        // Announce, then confirm the file is still the one in use: a loader that replaced it
        // meanwhile may not have seen the announcement.
        const bool barrier = process_barrier.load(std::memory_order_relaxed);
        for (;;) {
            if (barrier) {
                r.slot->pinned.store(d, std::memory_order_relaxed);
                std::atomic_signal_fence(std::memory_order_seq_cst);
            } else {
                r.slot->pinned.store(d, std::memory_order_seq_cst);
            }
            const loaded_data *now = current.load(std::memory_order_seq_cst);
            if (now == d)
                break;
            d = now;
            if (!d) {
                r.slot->pinned.store(nullptr, std::memory_order_release);
                if (r.ended) {
                    r.slot->taken.store(false, std::memory_order_release);
                    r.slot = nullptr;
                }
                break;
            }
        }
    }
    r.held = d;
    file_ = d ? &d->file : nullptr;
}

data_pin::~data_pin() {
    thread_reader &r = reader;
    if (--r.depth == 0 && r.held) {
        r.slot->pinned.store(nullptr, std::memory_order_release);
        r.held = nullptr;
        if (r.ended) {
            r.slot->taken.store(false, std::memory_order_release);
            r.slot = nullptr;
        }
    }
}

// The data in use, pinned by the caller.
const loaded_data *pinned_data() { return reader.held; }

} // namespace tarvo

extern "C" int tarvo_data_load(const char *path, char **message) {
    if (message)
        *message = nullptr;
    std::string failure;
    const tarvo::loaded_data *loaded = path ? tarvo::open_file(path, failure) : nullptr;
    if (!loaded) {
        if (message)
            *message = tarvo::message_copy(std::string(path ? path : "(null)") + ": " +
                                           (path ? failure : "no file named"));
        return 0;
    }
    tarvo::replace(loaded);
    return 1;
}

extern "C" void tarvo_data_unload(void) { tarvo::replace(nullptr); }
