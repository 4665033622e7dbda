// convert-batch: lines "country;bank code;account", each converted to its IBAN and BIC.
#include <stdint.h>
#include <string.h>

#include <array>

#include "batch.h"
#include "commands.h"
#include "status_text.h"
#include "tarvo.h"

namespace tarvotool {

namespace {

constexpr const char *columns[] = {"line", "input", "country", "bank_code", "account", "iban", "bic", "valid", "status", "status_text", "error"};

constexpr size_t field_count = 3;
// The longest field the conversion could accept: an account of ten digits, with room.
constexpr size_t longest_field = 35;

struct Fields {
    std::array<std::string_view, field_count> text;
    size_t count = 0; // as found in the line, possibly more than field_count
};

Fields split(std::string_view line) {
    Fields f;
    for (;;) {
        const size_t semicolon = line.find(';');
        if (f.count < field_count) f.text[f.count] = trimmed(line.substr(0, semicolon));
        ++f.count;
        if (semicolon == std::string_view::npos) return f;
        line.remove_prefix(semicolon + 1);
    }
}

bool has_digit(std::string_view text) { return text.find_first_of("0123456789") != std::string_view::npos; }

// A first line whose bank code and account are words, such as "country;bank code;account".
bool header(const Line &line, const Fields &f) {
    return line.number == 1 && f.count == field_count && !has_digit(f.text[1]) && !has_digit(f.text[2]);
}

// The field as a NUL-terminated text; false when it is too long for any conversion.
bool terminated(std::string_view field, char (&out)[longest_field + 1]) {
    if (field.size() > longest_field) return false;
    memcpy(out, field.data(), field.size());
    out[field.size()] = '\0';
    return true;
}

void write_error(Row &row, const Fields &f, const char *error) {
    for (const std::string_view field : f.text) row.text(field);
    row.text("");
    row.text("");
    row.flag(false);
    row.text("");
    row.text("");
    row.text(error);
    row.end();
}

const char *refusal(int result) {
    switch (result) {
    case 0: return "No IBAN conversion for this country";
    case -3: return "Unknown bank code";
    default: return "Conversion refused";
    }
}

Verdict convert_row(const Line &line, Row &row) {
    const Fields f = line.problem == nullptr ? split(line.text) : Fields{};
    if (line.problem == nullptr && header(line, f)) return Verdict::skipped;
    row.number(static_cast<int64_t>(line.number));
    row.text(line.text);
    if (line.problem != nullptr) {
        write_error(row, Fields{}, line.problem);
        return Verdict::invalid;
    }
    if (f.count != field_count) {
        write_error(row, f, "Expected 3 fields: country;bank code;account");
        return Verdict::invalid;
    }
    char country[longest_field + 1], bank_code[longest_field + 1], account[longest_field + 1];
    if (!terminated(f.text[0], country) || !terminated(f.text[1], bank_code) || !terminated(f.text[2], account)) {
        write_error(row, f, "Field longer than 35 characters");
        return Verdict::invalid;
    }
    char iban[64] = "";
    uint8_t status = 0;
    const int result = tarvo_iban_convert(country, account, bank_code, iban, &status);
    char bic[16] = "";
    if (result == 1) tarvo_iban_getBIC(iban, bic);
    for (const std::string_view field : f.text) row.text(field);
    row.text(iban);
    row.text(bic);
    row.flag(result == 1);
    row.number(static_cast<int8_t>(status));
    row.text(status_text(status));
    row.text(result == 1 ? "" : refusal(result));
    row.end();
    return result == 1 ? Verdict::valid : Verdict::invalid;
}

} // namespace

int cmd_convert_batch(char **args) {
    BatchOptions options;
    if (!read_batch_options(args, options)) return wrong_usage;
    // The library compiles its patterns on first use: once here, before the threads start.
    char iban[64];
    uint8_t status;
    tarvo_iban_convert("DE", "532013000", "37040044", iban, &status);
    return run_batch({columns, convert_row}, options);
}

} // namespace tarvotool
