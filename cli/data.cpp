// "tarvotool data": builds a bank data file and shows the editions of the data in use.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <string>
#include <vector>

#include "commands.h"
#include "data_build.h"
#include "tarvo.h"

namespace tarvotool {

namespace {

int data_build(char **args) {
    std::vector<std::string> options;
    for (char **a = args; *a; ++a)
        options.emplace_back(*a);
    // The same folder the library's compiled-in tables were generated from.
    return tarvogen::run_data_build(options, TARVO_BUILT_FROM, "tarvotool data build",
                                    tarvogen::source_date_epoch(getenv("SOURCE_DATE_EPOCH")));
}

int data_info(char **args) {
    bool json = false;
    for (char **a = args; *a; ++a) {
        if (strcmp(*a, "--json") != 0)
            return wrong_usage;
        json = true;
    }
    if (json) {
        char *text = tarvo_data_info_json();
        if (text == nullptr) return 2;
        fputs(text, stdout);
        free(text);
    } else {
        print_data_editions(stdout);
    }
    if (char *warning = tarvo_data_warning(time(nullptr))) {
        fprintf(stderr, "tarvotool: warning: %s\n", warning);
        free(warning);
    }
    return 0;
}

} // namespace

void print_data_editions(FILE *out) {
    tarvo_data_info_t *info = tarvo_data_info();
    if (info == nullptr) return;
    for (size_t i = 0; i < info->count; ++i) {
        const tarvo_data_source_t &s = info->sources[i];
        fprintf(out, "%-11s %-10s", s.source, s.edition[0] ? s.edition : "unknown");
        if (s.valid_until[0]) fprintf(out, "  valid until %s", s.valid_until);
        fprintf(out, "  %s%s%s\n", s.origin, s.path ? " " : "", s.path ? s.path : "");
    }
    free(info);
}

int cmd_data(char **args) {
    if (args[0] == nullptr) return wrong_usage;
    if (strcmp(args[0], "build") == 0) return data_build(args + 1);
    if (strcmp(args[0], "info") == 0) return data_info(args + 1);
    return wrong_usage;
}

void load_data_from_environment() {
    const char *path = getenv("TARVO_DATA");
    if (path == nullptr || *path == '\0') return;
    char *message = nullptr;
    if (tarvo_data_load(path, &message) == 1) return;
    fprintf(stderr, "tarvotool: TARVO_DATA: %s; using the compiled-in bank data\n",
            message != nullptr ? message : path);
    free(message);
}

} // namespace tarvotool
