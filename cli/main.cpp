// tarvotool: tries the library's lookups and the statement parser from a shell, and
// checks or converts whole files of them.
#include <errno.h>
#include <locale.h>
#include <stdio.h>
#include <string.h>

#include <string_view>

#include "commands.h"
#include "locale_text.h"
#include "tarvo.h"

namespace {

using namespace tarvotool;

struct Command {
    std::string_view name;
    int words; // counting the program name and the command word; 0: the command reads its own options
    const char *usage; // after the program name
    int (*run)(char **args);
    const char *summary = nullptr;  // one line for --help
    const char *synopsis = nullptr; // the usage with every option, for --help; null: usage
    const char *details = nullptr;  // more for "<command> --help"
    const char *notes = nullptr;    // what follows the details, shared between commands
    bool listed_without_command = true;
    int usage_status = 1;
};

constexpr const char *batch_details =
    "Reads the file, or standard input for '-', and writes one result row per line in input\n"
    "order to standard output: CSV with ';' between fields and a header row, or with --json\n"
    "one JSON object per line (empty fields left out). Output texts are UTF-8. Lines that are\n"
    "empty, longer than 1024 bytes or not UTF-8 text get a row with an error.\n"
    "  --json   JSON Lines instead of CSV\n"
    "  -j N     N threads (default: one per core)\n"
    "Exit code: 0 every line valid, 1 some lines not, 2 the run failed.\n";

constexpr Command commands[] = {
    {"bankid", 4, "bankid <country> <bank_id>", cmd_bankid, "the bank of a national bank code"},
    {"convert", 5, "convert <country> <bank_id> <account>", cmd_convert, "a German account and bank code as IBAN"},
    {"getbic", 3, "getbic <iban>", cmd_getbic, "the BIC and bank of an IBAN"},
    {"check", 3, "check <iban>", cmd_check, "whether an IBAN is valid; spaces and lower case are fine"},
    {"bic", 3, "bic <bic>", cmd_bic, "the bank of a BIC and the SEPA schemes it reaches"},
    {"mt940", 0, "mt940 <file>", cmd_mt940, "the statements of an MT940 file", "mt940 [--json] <file>",
     "  --json   the statements as JSON Lines: one statement object per line, with its\n"
     "           transactions; texts in UTF-8, amounts as decimal strings, dates as\n"
     "           YYYY-MM-DD, fields without a value left out\n"
     "  <file>   \"-\" reads standard input\n"
     "Exit code: 0 read, 1 not a statement file or a statement cut off by a malformed line.\n"},
    {"camt053", 0, "camt053 <file>", cmd_camt053, "the statements of a camt.052, camt.053 or camt.054 file",
     "camt053 [--json] <file>", "  --json   as for mt940\n  <file>   \"-\" reads standard input\nExit code: as for mt940\n"},
    {"pain002", 0, "pain002 <file|->", cmd_pain002, "the records of a payment status report (pain.002)",
     "pain002 [--json] <file|->",
     "Reads the file, or standard input for '-'.\n"
     "  --json   one JSON object per record (group, payment, transaction) with the keys\n"
     "           level, originalMessageId, originalPaymentInformationId, originalEndToEndId,\n"
     "           originalInstructionId, status, reasons, additionalInfo, counts,\n"
     "           originalUETR and version; keys without a value left out\n"
     "Exit code: 0 read, 1 refused (with the reason), 2 the output failed.\n",
     nullptr, false},
    {"pain", 0, "pain <file|->", cmd_pain, "the payment-information blocks of a pain.001 or pain.008 file",
     "pain [--json] <file|->",
     "Reads the file, or standard input for '-'.\n"
     "  --json   one JSON object per payment-information block with its transactions;\n"
     "           amounts and dates exactly as written, fields without a value left out\n"
     "Exit code: 0 read, 1 refused (with the reason), 2 the output failed.\n",
     nullptr, false},
    {"check-batch", 0, "check-batch [--json] [-j N] <file|->", cmd_check_batch,
     "checks a file of IBANs, one per line", nullptr,
     "Columns: line;input;iban;valid;error;bank_code;bic;bank_name\n"
     "A first line \"IBAN\" is taken as a header and skipped.\n", batch_details, false, 2},
    {"convert-batch", 0, "convert-batch [--json] [-j N] <file|->", cmd_convert_batch,
     "converts a file of country;bank code;account lines", nullptr,
     "Columns: line;input;country;bank_code;account;iban;bic;valid;status;status_text;error\n"
     "A first line whose bank code and account hold no digit is taken as a header and skipped.\n",
     batch_details, false, 2},
    {"account", 4, "account <account> <bank_id>", cmd_account, "a German account checked by its bank's method"},
    {"data", 0, "data info [--json] | data build --out <file> [options]", cmd_data,
     "the editions of the bank data in use; builds a bank data file",
     "data info [--json]\n       data build --out <file> [--blz <file> [--blz <file>]] [--iban-rules <dir>]\n"
     "                  [--scl <file>] [--oenb <file>] [--six <file>] [--<source>-edition YYYY-MM-DD]",
     "info     one line per source: edition, last valid day, compiled-in or the file in use;\n"
     "         --json: one JSON object per line. Warns when the bank codes are out of date.\n"
     "build    writes a data file from the publishers' files; a source not named comes from\n"
     "         the folder the library was built from. --blz twice: the edition in force and\n"
     "         the next. --blz-edition, --iban-rules-edition, --scl-edition, --oenb-edition,\n"
     "         --six-edition: the edition of a file whose name carries no date.\n"
     "Every command uses the data file named by TARVO_DATA, when set.\n", nullptr, false},
    {"reconcile", 0, "reconcile --payments <file>... [--status <file>...] [--statements <file>...] [--json]",
     cmd_reconcile, "what the bank did with each transaction of payment files",
     "reconcile [--json] --payments <pain file>... [--status <pain.002>...] [--statements <camt or MT940>...]",
     "Lists every transaction of the payment files (pain.001, pain.008) with its state, from the\n"
     "status reports and the statements (camt or MT940): rejected, returned, booked, accepted\n"
     "or unknown, the reason, the payee verification result (VOP) and the file and element\n"
     "that decided it. Statement entries and status records that fit no transaction follow\n"
     "as \"unmatched\". Warnings (amounts that disagree, reports for other files) go to\n"
     "standard error.\n"
     "  --json   one JSON object per line with messageId, paymentInformationId, endToEndId,\n"
     "           amount, state, reason, vop and evidence (empty fields left out)\n"
     "Exit code: 0 listed, 1 a file refused or the payment files contradict each other\n"
     "(an end-to-end id in two of them), 2 output failed.\n",
     nullptr, false},
    {"rf", 0, "rf [--make] <reference>", cmd_rf, "checks an ISO 11649 creditor reference (RF...)", nullptr,
     "  --make   the reference for a base of 1 to 21 letters or digits, with its check digits\n"
     "Exit code: 0 valid, 1 invalid.\n", nullptr, false},
    {"qrr", 0, "qrr [--make] <reference>", cmd_qrr, "checks a Swiss QR reference (27 digits)", nullptr,
     "  --make   the reference for a base of 1 to 26 digits: padded with zeros, check digit appended\n"
     "Exit code: 0 valid, 1 invalid.\n", nullptr, false},
    {"qrbill", 0, "qrbill --json <payload file|->", cmd_qrbill, "decodes or writes a Swiss QR-bill payload",
     "qrbill --json <payload file|-> | --make <fields as JSON> [--svg F | --png F]",
     "  --json   the payload's fields as JSON; empty fields left out\n"
     "  --make   the payload for fields as --json writes them (JSON text, or a file or '-')\n"
     "  --svg F, --png F  also the code, with the Swiss cross, as a picture in F\n"
     "Exit code: 0 done, 1 invalid payload or fields (with the reason), 2 a file failed.\n", nullptr, false},
    {"epcqr", 0, "epcqr --json <payload file|->", cmd_epcqr, "decodes or writes an EPC QR code payload (GiroCode)",
     "epcqr --json <payload file|-> | --name N --iban I [--bic B] [--amount A] [--purpose P]\n"
     "             [--ref R | --text T] [--info I] [--version 001|002] [--svg F | --png F]",
     "  --json   the payload's fields as JSON; empty fields left out\n"
     "  otherwise the payload for the fields given (character set 1, UTF-8)\n"
     "  --svg F, --png F  also the code as a picture in F\n"
     "Exit code: 0 done, 1 invalid payload or fields (with the reason), 2 a file failed.\n", nullptr, false},
};

void print_summary(const char *program) {
    fprintf(stderr, "%s: missing command\n", program);
    fputs("Usage:\n", stderr);
    for (const Command &c : commands)
        if (c.listed_without_command) fprintf(stderr, "  %s %s\n", program, c.usage);
}

const char *synopsis(const Command &c) { return c.synopsis != nullptr ? c.synopsis : c.usage; }

void print_help(const char *program) {
    printf("Usage: %s <command> <arguments>\n", program);
    printf("       %s <command> --help\n", program);
    printf("       %s --version\n\nCommands:\n", program);
    for (const Command &c : commands)
        printf("  %-40s %s\n", synopsis(c), c.summary != nullptr ? c.summary : "");
}

void print_command_help(const char *program, const Command &c) {
    printf("Usage: %s %s\n", program, synopsis(c));
    if (c.summary != nullptr) printf("\n%s.\n", c.summary);
    if (c.details != nullptr) printf("\n%s", c.details);
    if (c.notes != nullptr) printf("\n%s", c.notes);
}

// Flushes standard output: a full disk or a closed pipe fails the run.
bool output_written() {
    if (fflush(stdout) == 0 && ferror(stdout) == 0) return true;
    fprintf(stderr, "tarvotool: cannot write the output: %s\n", strerror(errno));
    return false;
}

int dispatch(int argc, char **argv) {
    const char *program = argv[0];
    const std::string_view word(argv[1]);
    if (word == "--help") {
        print_help(program);
        return 0;
    }
    if (word == "--version") {
        printf("tarvotool %s\nbank data:\n", tarvo_version_str);
        print_data_editions(stdout);
        return 0;
    }
    const Command *command = nullptr;
    for (const Command &c : commands)
        if (c.name == word) command = &c;
    if (command == nullptr) {
        fprintf(stderr, "%s: unknown command '%s'\n", program, argv[1]);
        return 1;
    }
    if (argc == 3 && strcmp(argv[2], "--help") == 0) {
        print_command_help(program, *command);
        return 0;
    }
    int status = wrong_usage;
    if (command->words == 0 || argc == command->words) status = command->run(argv + 2);
    if (status == wrong_usage) {
        fprintf(stderr, "Usage: %s %s\n", program, command->usage);
        status = command->usage_status;
    }
    return status;
}

} // namespace

int main(int argc, char **argv) {
    setlocale(LC_ALL, "");
    const char *program = argc > 0 ? argv[0] : "tarvotool";
    if (!open_locale_text()) {
        fprintf(stderr, "iconv_open() failed: %s\n", strerror(errno));
        return 1;
    }
    load_data_from_environment();
    int status = 0;
    if (argc < 2)
        print_summary(program);
    else
        status = dispatch(argc, argv);
    close_locale_text();
    if (!output_written()) status = 2;
    return status;
}
