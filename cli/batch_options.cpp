// The options of the batch commands.
#include <charconv>
#include <string_view>

#include "batch.h"

namespace tarvotool {

bool read_batch_options(char **args, BatchOptions &options) {
    constexpr unsigned most_jobs = 256;
    for (char **word = args; *word != nullptr; ++word) {
        const std::string_view w(*word);
        if (w == "--json") {
            options.format = Format::json_lines;
        } else if (w == "-j" || w.starts_with("-j")) {
            const char *number = w.size() > 2 ? *word + 2 : *++word;
            if (number == nullptr) return false;
            const std::string_view digits(number);
            unsigned jobs = 0;
            const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), jobs);
            if (error != std::errc() || end != digits.data() + digits.size() || jobs == 0 || jobs > most_jobs)
                return false;
            options.jobs = jobs;
        } else if (w.size() > 1 && w[0] == '-') {
            return false;
        } else if (options.path != nullptr) {
            return false;
        } else {
            options.path = *word;
        }
    }
    return options.path != nullptr;
}

} // namespace tarvotool
