// Runs the built tarvotool in a chosen locale and collects what it printed.
#ifndef TARVO_TESTS_CLI_RUN_TOOL_H
#define TARVO_TESTS_CLI_RUN_TOOL_H

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace cli_test {

struct Output {
    std::string out;
    std::string err;
    int status = -1; // exit code, -1 when the program did not exit normally
};

inline std::string quoted(const std::string &word) {
    std::string q(1, '\'');
    for (char c : word) {
        if (c == '\'')
            q.append("'\\''");
        else
            q.push_back(c);
    }
    q.push_back('\'');
    return q;
}

inline std::string slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// tarvotool with the given words after the program name, under LC_ALL=locale;
// `environment` holds further NAME=value words for the program's environment, and
// standard input comes from `input` (a path) when one is given.
inline Output run(const char *locale, const std::vector<std::string> &words, const std::string &environment = "",
                  const std::string &input = "") {
    std::string out_path("/tmp/tarvotool-test.");
    out_path.append(std::to_string(getpid()));
    std::string err_path(out_path);
    out_path.append(".out");
    err_path.append(".err");
    std::string command("env -u LANGUAGE LC_ALL=");
    command.append(locale).append(" ");
    if (!environment.empty()) command.append(environment).append(" ");
    command.append(quoted(TARVOTOOL_PATH));
    for (const std::string &w : words) command.append(" ").append(quoted(w));
    if (!input.empty()) command.append(" <").append(quoted(input));
    command.append(" >").append(out_path).append(" 2>").append(err_path);
    Output r;
    const int raw = system(command.c_str());
    if (raw != -1 && WIFEXITED(raw)) r.status = WEXITSTATUS(raw);
    r.out = slurp(out_path);
    r.err = slurp(err_path);
    unlink(out_path.c_str());
    unlink(err_path.c_str());
    return r;
}

inline Output run(const char *locale, std::initializer_list<std::string> words, const std::string &environment = "",
                  const std::string &input = "") {
    return run(locale, std::vector<std::string>(words), environment, input);
}

inline bool ascii_only(const std::string &text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

// The locales every output test runs in: one with UTF-8, two plain ASCII ones.
constexpr const char *utf8_locale = "C.UTF-8";
constexpr const char *ascii_locales[] = {"C", "POSIX"};

} // namespace cli_test

#endif
