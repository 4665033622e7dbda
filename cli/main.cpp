// tarvotool: tries the library's lookups and the statement parser from a shell.
#include <errno.h>
#include <locale.h>
#include <stdio.h>
#include <string.h>

#include <string_view>

#include "commands.h"
#include "locale_text.h"

namespace {

using namespace tarvotool;

struct Command {
    std::string_view name;
    int words; // counting the program name and the command word
    const char *usage; // after the program name
    int (*run)(char **args);
};

constexpr Command commands[] = {
    {"bankid", 4, "bankid <country> <bank_id>", cmd_bankid},
    {"convert", 5, "convert <country> <bank_id> <account>", cmd_convert},
    {"getbic", 3, "getbic <iban>", cmd_getbic},
    {"check", 3, "check <iban>", cmd_check},
    {"bic", 3, "bic <bic>", cmd_bic},
    {"mt940", 3, "mt940 <file>", cmd_mt940},
    {"camt053", 3, "camt053 <file>", cmd_camt053},
    {"account", 4, "account <account> <bank_id>", cmd_account},
};

void print_summary(const char *program) {
    fprintf(stderr, "%s: missing command\n", program);
    fputs("Usage:\n", stderr);
    for (const Command &c : commands) fprintf(stderr, "  %s %s\n", program, c.usage);
}

} // namespace

int main(int argc, char **argv) {
    setlocale(LC_ALL, "");
    const char *program = argc > 0 ? argv[0] : "tarvotool";
    if (!open_locale_text()) {
        fprintf(stderr, "iconv_open() failed: %s\n", strerror(errno));
        return 1;
    }
    int status = 0;
    if (argc < 2) {
        print_summary(program);
    } else {
        const Command *command = nullptr;
        for (const Command &c : commands)
            if (c.name == argv[1]) command = &c;
        if (command == nullptr) {
            fprintf(stderr, "%s: unknown command '%s'\n", program, argv[1]);
            status = 1;
        } else if (argc != command->words) {
            fprintf(stderr, "Usage: %s %s\n", program, command->usage);
            status = 1;
        } else {
            status = command->run(argv + 2);
        }
    }
    close_locale_text();
    return status;
}
