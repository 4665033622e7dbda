// The C library's POSIX regular-expression functions, bound at run time, and the BIC
// pattern compiled on first use.
#include <dlfcn.h>
#include <string.h>

#include <array>

#include "frame/frame.h"
#include "frame/lazy_init.h"

extern "C" {
int (*libc_regcomp)(regex_t *, const char *, int) = nullptr;
int (*libc_regexec)(const regex_t *, const char *, size_t, regmatch_t *, int) = nullptr;
void (*libc_regfree)(regex_t *) = nullptr;
}

namespace {

template <typename Fn>
Fn symbol(void *handle, const char *name) {
    void *address = dlsym(handle, name);
    Fn fn;
    static_assert(sizeof fn == sizeof address);
    memcpy(&fn, &address, sizeof fn);
    return fn;
}

// Six letters, a location code (no '0'/'1' first, no 'O' second), optional branch.
constexpr const char *bic_pattern = "^[A-Z]{6}[A-Z2-9][A-NP-Z0-9]([A-Z0-9]{3})?$";
regex_t bic_regex;
tarvo::LazyInit format_preg_initialized;

// Never undone: tarvo_cleanup leaves the functions bound.
tarvo::LazyInit functions_bound;

pthread_mutex_t cleanups_mutex = PTHREAD_MUTEX_INITIALIZER;
std::array<tarvo::cleanup_fn, 4> cleanups{};

bool bind_functions() {
    if (libc_regcomp != nullptr) return true;
    // Only the C library that is already loaded; nothing new is brought into the process.
    void *handle = dlopen("libc.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    auto comp = symbol<decltype(libc_regcomp)>(handle, "regcomp");
    auto exec = symbol<decltype(libc_regexec)>(handle, "regexec");
    auto release = symbol<decltype(libc_regfree)>(handle, "regfree");
    // All three or none, so that no caller ever finds half a set bound.
    if (comp != nullptr && exec != nullptr && release != nullptr) {
        libc_regexec = exec;
        libc_regfree = release;
        libc_regcomp = comp;
    }
    dlclose(handle);
    return libc_regcomp != nullptr;
}

bool compile_bic_pattern() {
    if (!tarvo::regex_functions_bound()) return false;
    return libc_regcomp(&bic_regex, bic_pattern, REG_EXTENDED) == 0;
}

} // namespace

extern "C" void libc_regex_init(void) { functions_bound.ensure(bind_functions); }

namespace tarvo {

bool regex_functions_bound() {
    libc_regex_init();
    return libc_regcomp != nullptr && libc_regexec != nullptr && libc_regfree != nullptr;
}

bool bic_pattern_matches(const char *value) {
    if (!format_preg_initialized.ensure(compile_bic_pattern)) return false;
    return value != nullptr && libc_regexec(&bic_regex, value, 0, nullptr, 0) == 0;
}

void release_format_patterns() {
    format_preg_initialized.reset([] { libc_regfree(&bic_regex); });
}

void on_cleanup(cleanup_fn fn) {
    pthread_mutex_lock(&cleanups_mutex);
    for (auto &slot : cleanups) {
        if (slot == fn) break;
        if (slot == nullptr) {
            slot = fn;
            break;
        }
    }
    pthread_mutex_unlock(&cleanups_mutex);
}

} // namespace tarvo

extern "C" void tarvo_cleanup(void) {
    tarvo::release_format_patterns();
    // A copy, so that a release never runs under the lock its own registration takes.
    pthread_mutex_lock(&cleanups_mutex);
    const std::array<tarvo::cleanup_fn, 4> registered = cleanups;
    pthread_mutex_unlock(&cleanups_mutex);
    for (auto fn : registered)
        if (fn != nullptr) fn();
}
