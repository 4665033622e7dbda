// Eight threads look up while another loads and unloads a data file in a loop: every
// answer must come whole from one of the two data sets, never a mix of them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "ident/older_edition_file.h"
#include "tarvo.h"

namespace {

// Each switch waits for every reader that still uses the old data; a few dozen interleave
// with lookups at every point, also under ThreadSanitizer's slowdown.
constexpr int switches = 40;
constexpr int lookup_threads = 8;

// Bank codes whose entry differs between the two shared editions: the file holds the
// older, the compiled-in data answers by the newer.
const char *const changed_codes[] = {"37060193", "70010588", "51230600", "86021000"};

std::string answer(const char *code) {
    tarvo_bank_t *bank = nullptr;
    if (tarvo_bankid_check("DE", code, &bank) != 1)
        return "-";
    std::string text = std::string(bank->name) + "|" + bank->zip + "|" + bank->city + "|" + bank->bic;
    free(bank);
    return text;
}

// The answers for the changed codes from the compiled-in data, then from the file, which
// stays loaded.
void answers_of_both(const std::string &file, std::vector<std::string> &compiled, std::vector<std::string> &loaded) {
    for (const char *code : changed_codes)
        compiled.push_back(answer(code));
    ASSERT_EQ(tarvo_data_load(file.c_str(), nullptr), 1);
    for (const char *code : changed_codes)
        loaded.push_back(answer(code));
}

TEST(DataSwitch, LookupsSeeOneDataSetWhileAnotherThreadLoads_SharedEdition) {
    const std::string &file = older_edition_file();
    std::vector<std::string> compiled, loaded;
    ASSERT_NO_FATAL_FAILURE(answers_of_both(file, compiled, loaded));
    tarvo_data_unload();
    for (std::size_t i = 0; i < compiled.size(); ++i)
        ASSERT_NE(compiled[i], loaded[i]) << changed_codes[i];

    std::atomic<bool> done{false};
    std::atomic<long> mixed{0}, seen_file{0}, seen_compiled{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < lookup_threads; ++t)
        readers.emplace_back([&] {
            while (!done.load(std::memory_order_relaxed))
                for (std::size_t i = 0; i < compiled.size(); ++i) {
                    const std::string a = answer(changed_codes[i]);
                    if (a == loaded[i]) ++seen_file;
                    else if (a == compiled[i]) ++seen_compiled;
                    else ++mixed;
                }
        });
    int loads = 0;
    for (int i = 0; i < switches; ++i) {
        loads += tarvo_data_load(file.c_str(), nullptr);
        // A load over a loaded file replaces it too.
        if (i % 3 != 0)
            tarvo_data_unload();
    }
    done = true;
    for (auto &r : readers)
        r.join();
    tarvo_data_unload();
    EXPECT_EQ(loads, switches);
    EXPECT_EQ(mixed.load(), 0);
    EXPECT_GT(seen_file.load(), 0);
    EXPECT_GT(seen_compiled.load(), 0);
}

// Threads that end while files switch, each with a thread-local object made before its
// first lookup: that object's destructor runs after the thread has given its reader slot
// back, and looks up all the same, while new threads take slots.
struct LooksUpWhenDestroyed {
    const std::vector<std::string> *expected_either[2] = {nullptr, nullptr};
    std::atomic<long> *wrong = nullptr;
    ~LooksUpWhenDestroyed() {
        if (wrong == nullptr) return;
        for (int round = 0; round < 50; ++round)
            for (std::size_t i = 0; i < std::size(changed_codes); ++i) {
                const std::string a = answer(changed_codes[i]);
                if (a != (*expected_either[0])[i] && a != (*expected_either[1])[i]) ++*wrong;
            }
    }
};
thread_local LooksUpWhenDestroyed at_exit;

TEST(DataSwitch, LookupsFromThreadLocalDestructorsWhileThreadsComeAndGo_SharedEdition) {
    const std::string &file = older_edition_file();
    std::vector<std::string> compiled, loaded;
    ASSERT_NO_FATAL_FAILURE(answers_of_both(file, compiled, loaded));

    std::atomic<bool> done{false};
    std::atomic<long> wrong{0};
    std::thread loader([&] {
        while (!done.load(std::memory_order_relaxed)) {
            tarvo_data_load(file.c_str(), nullptr);
            tarvo_data_unload();
        }
    });
    for (int generation = 0; generation < 20; ++generation) {
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&] {
                at_exit.expected_either[0] = &compiled;
                at_exit.expected_either[1] = &loaded;
                at_exit.wrong = &wrong;
                for (int i = 0; i < 20; ++i) answer(changed_codes[i % std::size(changed_codes)]);
            });
        for (auto &t : threads)
            t.join();
    }
    done = true;
    loader.join();
    tarvo_data_unload();
    EXPECT_EQ(wrong.load(), 0);
    // No slot was left taken or pinned: a switch still completes.
    EXPECT_EQ(tarvo_data_load(file.c_str(), nullptr), 1);
    tarvo_data_unload();
}

} // namespace
