// Statements as JSON Lines.
#ifndef TARVOTOOL_STATEMENT_JSON_H
#define TARVOTOOL_STATEMENT_JSON_H

#include <stdio.h>

#include "tarvo.h"

namespace tarvotool {

// Writes one JSON object per statement, each on its own line, with its transactions.
// Texts are written in UTF-8: a file whose texts are not all UTF-8 is read as
// ISO-8859-1. False when the conversion cannot be set up.
bool write_statements_json(const tarvo_stmt_t *first, FILE *out);

} // namespace tarvotool

#endif
