// Statements as JSON Lines.
#ifndef TARVOTOOL_STATEMENT_JSON_H
#define TARVOTOOL_STATEMENT_JSON_H

#include <stdio.h>

#include "tarvo.h"

namespace tarvotool {

// Writes one JSON object per statement, each on its own line, with its transactions.
// Texts are written in UTF-8: a text that is not UTF-8 is read as ISO-8859-1.
void write_statements_json(const tarvo_stmt_t *first, FILE *out);

} // namespace tarvotool

#endif
