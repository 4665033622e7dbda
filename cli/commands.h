// The commands of tarvotool. Each gets the words after the command word and returns
// the process's exit code.
#ifndef TARVOTOOL_COMMANDS_H
#define TARVOTOOL_COMMANDS_H

#include <stdio.h>

namespace tarvotool {

// What a command that reads its own options returns when the words do not fit: the
// caller prints the command's usage text.
constexpr int wrong_usage = -1;

int cmd_bankid(char **args);
int cmd_convert(char **args);
int cmd_getbic(char **args);
int cmd_check(char **args);
int cmd_bic(char **args);
int cmd_mt940(char **args);
int cmd_camt053(char **args);
int cmd_pain002(char **args);
int cmd_pain(char **args);
int cmd_account(char **args);
int cmd_check_batch(char **args);
int cmd_convert_batch(char **args);
int cmd_reconcile(char **args);
int cmd_data(char **args);

// The editions of the bank data in use, one line per source.
void print_data_editions(FILE *out);
// Loads the data file named by TARVO_DATA, if set; a refused file is reported on stderr
// and the compiled-in data stays in use.
void load_data_from_environment();
int cmd_rf(char **args);
int cmd_qrr(char **args);
int cmd_qrbill(char **args);
int cmd_epcqr(char **args);

} // namespace tarvotool

#endif
