// Fresh processes whose threads make their first calls into the library at once: none may
// crash or disagree with its own main thread, and no generated message identification
// may repeat, within a process or across them.
#include <stdio.h>
#include <sys/wait.h>

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

#if defined(__SANITIZE_THREAD__)
// Each start under ThreadSanitizer takes about two seconds; its race reports come from
// the one-process run with more threads (FirstCalls.ManyThreadsOneProcess) as well.
constexpr int processes = 10;
#else
constexpr int processes = 100;
#endif
constexpr int threads = 8;
constexpr int messages_per_thread = 2;

struct Outcome {
    int status = -1;
    std::vector<std::string> msgids;
};

Outcome run_once() {
    const std::string command = std::string(FIRST_CALLS_PROGRAM) + " " + std::to_string(threads) + " " +
                                std::to_string(messages_per_thread);
    Outcome outcome;
    FILE *out = popen(command.c_str(), "r");
    if (out == nullptr) return outcome;
    char line[256];
    while (fgets(line, sizeof line, out) != nullptr) {
        std::string text(line);
        if (text.rfind("msgid ", 0) == 0) outcome.msgids.push_back(text.substr(6, text.find('\n') - 6));
    }
    outcome.status = pclose(out);
    return outcome;
}

TEST(FirstCalls, EightThreadsInAHundredFreshProcesses) {
    std::map<std::string, int> seen; // identification -> process that generated it
    for (int p = 0; p < processes; ++p) {
        const Outcome o = run_once();
        ASSERT_TRUE(WIFEXITED(o.status)) << "process " << p << " ended by signal "
                                         << (WIFSIGNALED(o.status) ? WTERMSIG(o.status) : 0);
        ASSERT_EQ(WEXITSTATUS(o.status), 0) << "process " << p;
        EXPECT_EQ(o.msgids.size(), static_cast<size_t>(threads * messages_per_thread)) << "process " << p;
        for (const std::string &id : o.msgids) {
            const auto [it, fresh] = seen.emplace(id, p);
            EXPECT_TRUE(fresh) << id << " in process " << p << " and process " << it->second;
        }
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(processes * threads * messages_per_thread));
}

} // namespace
