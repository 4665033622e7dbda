// Turning the publishers' entries into the records of the compiled-in table and checking
// every limit the lookups rely on.
#include <algorithm>

#include "directory.h"

namespace tarvogen {

namespace {

[[noreturn]] void limit_failure(std::string_view key, const std::string &what) {
    throw InputError("record " + std::string(key) + ": " + what);
}

// Fields are cut at '|' and read up to the record's NUL at run time.
void check_field(std::string_view key, std::string_view text) {
    if (text.find('|') == std::string_view::npos && text.find('\0') == std::string_view::npos)
        return;
    std::string shown(text);
    std::replace(shown.begin(), shown.end(), '\0', '?');
    limit_failure(key, "field \"" + shown + "\" contains '|' or a NUL byte");
}

void check_key(std::string_view key) {
    if (key.size() < min_key_length || key.size() > max_key_length)
        limit_failure(key, "key length " + std::to_string(key.size()) + " outside " +
                               std::to_string(min_key_length) + ".." + std::to_string(max_key_length));
    for (char c : key)
        if (c < min_key_char || c > max_key_char)
            limit_failure(key, "key character outside '0'..'z'");
}

// A text part that a lookup copies into bank_record::text must fit with its NUL.
void check_text_size(std::string_view key, std::size_t bytes) {
    if (bytes + 1 > record_text_size)
        limit_failure(key, "text of " + std::to_string(bytes) + " bytes does not fit " +
                               std::to_string(record_text_size) + " bytes with its NUL");
}

std::string join_fields(std::string_view key, std::initializer_list<std::string_view> fields) {
    std::string text;
    bool first = true;
    for (std::string_view f : fields) {
        check_field(key, f);
        if (!first)
            text += '|';
        text += f;
        first = false;
    }
    return text;
}

std::string german_version(std::string_view key, const std::optional<GermanVersion> &v) {
    std::string bytes(4, '\0');
    if (!v) {
        bytes[0] = static_cast<char>(version_absent);
        return bytes + join_fields(key, {"", "", "", "", "", ""});
    }
    bytes[0] = static_cast<char>(v->deleted ? 1 : 0);
    bytes[1] = static_cast<char>(v->method);
    bytes[2] = static_cast<char>(v->iban_rule >> 8);
    bytes[3] = static_cast<char>(v->iban_rule & 0xFF);
    return bytes + join_fields(key, {v->successor, v->bic, v->name, v->zip, v->city, "DE"});
}

} // namespace

std::string bic_record(const BicEntry &entry) {
    check_key(entry.bic);
    check_field(entry.bic, entry.name);
    // flags byte + name as one text
    check_text_size(entry.bic, 1 + entry.name.size());
    std::string record = entry.bic;
    record += static_cast<char>(entry.flags);
    record += entry.name;
    return record;
}

std::string bank_record_text(const BankEntry &entry, std::string_view country_key) {
    std::string key = "_";
    key.append(country_key).append(entry.code);
    check_key(key);
    std::string text = entry.bic + "|" + join_fields(key, {entry.name, entry.zip, entry.city, entry.country});
    check_field(key, entry.bic);
    check_text_size(key, text.size());
    return key + text;
}

std::string german_record(const GermanEntry &entry) {
    std::string key = "_DE";
    key += entry.code;
    check_key(key);
    std::string record = key;
    if (entry.older == entry.newer) {
        std::string v = german_version(key, entry.older);
        check_text_size(key, v.size() - 4);
        return record + v;
    }
    // A code missing from one edition still gets both versions: the lookup must answer
    // "not found" on the side where the code is not listed.
    std::string first = german_version(key, entry.older) + "|";
    std::string second = german_version(key, entry.newer);
    check_text_size(key, first.size() - 4);
    check_text_size(key, second.size() - 4);
    return record + first + second;
}

Directory build_directory(const SourceFiles &sources) {
    Directory dir;
    auto bics = read_scl_directory(sources.scl.path);
    auto at = read_oenb_list(sources.oenb.path);
    auto ch = read_six_bank_master(sources.six.path);
    auto de = read_german_directory(sources.blz, sources.iban_rules.path);

    // Table order: BICs, then "_AT", "_CH", "_DE" keys; each block comes sorted by key.
    for (const auto &e : bics)
        dir.records.push_back(bic_record(e));
    for (const auto &e : at)
        dir.records.push_back(bank_record_text(e, "AT"));
    for (const auto &e : ch)
        dir.records.push_back(bank_record_text(e, "CH"));
    const auto method_of = [](const GermanEntry &e, const std::optional<GermanVersion> &v) {
        if (v && v->method == method_unlisted)
            throw InputError("_DE" + e.code + ": check method " + std::to_string(v->method) + " is reserved");
        return v ? static_cast<uint8_t>(v->method) : method_unlisted;
    };
    for (const auto &e : de.entries) {
        dir.records.push_back(german_record(e));
        dir.second_versions += e.older != e.newer;
        dir.methods_older.push_back(method_of(e, e.older));
        dir.methods_newer.push_back(method_of(e, e.newer));
        dir.german_codes.push_back(static_cast<uint32_t>(std::stoul(e.code)));
    }
    dir.bic_count = bics.size();
    dir.at_count = at.size();
    dir.ch_count = ch.size();
    dir.de_count = de.entries.size();
    dir.switch_instant = de.switch_instant;
    dir.sources = {sources.scl.path.filename().string(), sources.oenb.path.filename().string(),
                   sources.six.path.filename().string(), de.older_name, de.newer_name};
    return dir;
}

} // namespace tarvogen

namespace tarvogen {

namespace {

// Fixed so that the same files give the same bytes on every build.
constexpr uint64_t hash_seed = 0x7461727630303031ull;

std::string key_of(const Directory &dir, std::size_t index) {
    const std::string &record = dir.records[index];
    // BIC keys have 11 characters; bank-code keys are "_" + country + the code.
    if (index < dir.bic_count)
        return record.substr(0, 11);
    return record.substr(0, index < dir.bic_count + dir.at_count + dir.ch_count ? 8 : 11);
}

} // namespace

HashedDirectory hash_directory(Directory dir) {
    std::vector<std::string> keys;
    keys.reserve(dir.records.size());
    for (std::size_t i = 0; i < dir.records.size(); ++i)
        keys.push_back(key_of(dir, i));
    PerfectHash h = build_perfect_hash(keys, hash_seed);
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (evaluate(h, keys[i]) != static_cast<int>(i))
            throw InputError("perfect hash self-check failed for key " + keys[i]);
    return {std::move(dir), std::move(h)};
}

} // namespace tarvogen
