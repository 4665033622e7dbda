// The adapters from the readers' records to the records reconciliation matches.
#ifndef TARVO_RECONCILE_INPUTS_H
#define TARVO_RECONCILE_INPUTS_H

#include <string>

#include "reconcile/reconcile.h"
#include "tarvo.h"

namespace tarvo::reconcile {

// Each reads one document, from the file at path or else from size bytes at data, and
// adds its records under the name source. False with the reason in error when the
// document cannot be read; records may then have been added, which the caller drops.
bool add_payments(Reconciliation &r, const char *path, const char *data, size_t size, std::string_view source,
                  std::string &error);
bool add_status(Reconciliation &r, const char *path, const char *data, size_t size, std::string_view source,
                std::string &error);
// camt or MT940, told apart by the first character.
bool add_statements(Reconciliation &r, const char *path, const char *data, size_t size, std::string_view source,
                    std::string &error);

// TARVO_STMT_FORMAT_CAMT when the text starts like an XML document, else MT940.
int detect_statement_format(std::string_view head);

// The transactions of loaded statements, each an entry named by its position.
void add_statement_entries(Reconciliation &r, const tarvo_stmt_t *statements, std::string_view source);

} // namespace tarvo::reconcile

#endif
