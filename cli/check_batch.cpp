// check-batch: one IBAN per line, as people write them, each checked and looked up.
#include <string.h>
#include <strings.h>

#include "batch.h"
#include "commands.h"
#include "tarvo.h"

namespace tarvotool {

namespace {

constexpr const char *columns[] = {"line", "input", "iban", "valid", "error", "bank_code", "bic", "bank_name"};

// A first line that names the column instead of holding an IBAN.
bool header(const Line &line) {
    if (line.number != 1 || line.problem != nullptr) return false;
    std::string_view word = trimmed(line.text);
    if (word.size() >= 2 && word.front() == '"' && word.back() == '"') word = word.substr(1, word.size() - 2);
    return word.size() == 4 && strncasecmp(word.data(), "IBAN", 4) == 0;
}

Verdict check_row(const Line &line, Row &row) {
    if (header(line)) return Verdict::skipped;
    row.number(static_cast<int64_t>(line.number));
    row.text(line.text);
    if (line.problem != nullptr) {
        row.text("");
        row.flag(false);
        row.text(line.problem);
        row.end();
        return Verdict::invalid;
    }
    char typed[longest_line + 1];
    memcpy(typed, line.text.data(), line.text.size());
    typed[line.text.size()] = '\0';
    char iban[35];
    if (tarvo_iban_normalize(typed, iban) != 1) {
        row.text("");
        row.flag(false);
        row.text("Not an IBAN: 5 to 34 letters and digits expected");
        row.end();
        return Verdict::invalid;
    }
    tarvo_iban_info_t info;
    const bool valid = tarvo_iban_inspect(iban, &info) == 1;
    row.text(iban);
    row.flag(valid);
    row.text(valid ? "" : info.error);
    row.text(info.bankid);
    row.text(info.bic);
    row.text(info.name);
    row.end();
    return valid ? Verdict::valid : Verdict::invalid;
}

} // namespace

int cmd_check_batch(char **args) {
    BatchOptions options;
    if (!read_batch_options(args, options)) return wrong_usage;
    // The library compiles its patterns on the first check; that first check happens
    // here, before the threads start, so that their first calls do not race for it.
    tarvo_iban_check("DE89370400440532013000");
    return run_batch({columns, check_row}, options);
}

} // namespace tarvotool
