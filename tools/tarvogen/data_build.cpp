#include "data_build.h"

#include <cstdlib>
#include <iostream>

#include "data_file.h"

namespace tarvogen {

namespace {

struct Given {
    std::vector<std::filesystem::path> blz;
    std::optional<std::filesystem::path> iban_rules, scl, oenb, six;
    std::vector<std::string> blz_edition;
    std::optional<std::string> iban_rules_edition, scl_edition, oenb_edition, six_edition;
};

// The date of an --X-edition option, for a source whose name carries none.
void apply_edition(SourceFile &source, const std::optional<std::string> &option, const std::string &name) {
    if (option) {
        source.edition = parse_iso_date(*option, source.month_only);
        if (!source.edition)
            throw InputError("--" + name + "-edition " + *option + ": not a date (YYYY-MM-DD)");
        source.month_only = source.month_only && option->size() == 7;
    }
    if (!source.edition)
        throw InputError(source.path.string() + ": the name carries no edition date; give --" + name +
                         "-edition YYYY-MM-DD");
}

} // namespace

DataBuild parse_data_build(const std::vector<std::string> &args, const std::filesystem::path &data_dir) {
    DataBuild build;
    Given given;
    std::filesystem::path data = data_dir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &option = args[i];
        if (i + 1 >= args.size())
            throw InputError(option + ": missing value");
        const std::string value = args[++i];
        if (option == "--out") build.out = value;
        else if (option == "--data") data = value;
        else if (option == "--blz") given.blz.emplace_back(value);
        else if (option == "--iban-rules") given.iban_rules = value;
        else if (option == "--scl") given.scl = value;
        else if (option == "--oenb") given.oenb = value;
        else if (option == "--six") given.six = value;
        else if (option == "--blz-edition") given.blz_edition.push_back(value);
        else if (option == "--iban-rules-edition") given.iban_rules_edition = value;
        else if (option == "--scl-edition") given.scl_edition = value;
        else if (option == "--oenb-edition") given.oenb_edition = value;
        else if (option == "--six-edition") given.six_edition = value;
        else throw InputError(option + ": unknown option");
    }
    if (build.out.empty())
        throw InputError("--out FILE is required");
    if (given.blz.size() > 2)
        throw InputError("--blz: at most two editions (the one in force and the next)");
    if (given.blz_edition.size() > std::max<std::size_t>(given.blz.size(), 1))
        throw InputError("--blz-edition: one per --blz");
    const bool all_named = !given.blz.empty() && given.iban_rules && given.scl && given.oenb && given.six;
    SourceFiles &s = build.sources;
    if (!all_named)
        s = default_sources(data);
    if (!given.blz.empty()) {
        s.blz.clear();
        for (const auto &file : given.blz)
            s.blz.push_back(bundesbank_file(file));
    }
    if (given.iban_rules) s.iban_rules = iban_rule_table(*given.iban_rules);
    if (given.scl) s.scl = scl_file(*given.scl);
    if (given.oenb) s.oenb = oenb_file(*given.oenb);
    if (given.six) s.six = six_file(*given.six);
    for (std::size_t i = 0; i < s.blz.size(); ++i)
        apply_edition(s.blz[i], i < given.blz_edition.size() ? std::optional(given.blz_edition[i]) : std::nullopt, "blz");
    apply_edition(s.iban_rules, given.iban_rules_edition, "iban-rules");
    apply_edition(s.scl, given.scl_edition, "scl");
    apply_edition(s.oenb, given.oenb_edition, "oenb");
    apply_edition(s.six, given.six_edition, "six");
    for (const auto *file : {&s.iban_rules, &s.scl, &s.oenb, &s.six})
        if (!std::filesystem::is_regular_file(file->path))
            throw InputError(file->path.string() + ": no such file");
    return build;
}

int run_data_build(const std::vector<std::string> &args, const std::filesystem::path &data_dir,
                   const char *program, std::optional<int64_t> epoch) {
    try {
        const DataBuild build = parse_data_build(args, data_dir);
        write_data_file(build.sources, build.out, epoch);
    } catch (const std::exception &e) {
        std::cerr << program << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}

std::optional<int64_t> source_date_epoch(const char *value) {
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    char *end = nullptr;
    const long long seconds = std::strtoll(value, &end, 10);
    if (*end != '\0')
        return std::nullopt;
    return seconds;
}

} // namespace tarvogen
