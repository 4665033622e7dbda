// The adapters from the readers' records to the records reconciliation matches.
#ifndef TARVO_RECONCILE_INPUTS_H
#define TARVO_RECONCILE_INPUTS_H

#include "reconcile/reconcile.h"
#include "tarvo.h"

namespace tarvo::reconcile {

// TARVO_STMT_FORMAT_CAMT when the text starts like an XML document, else MT940.
int detect_statement_format(std::string_view head);

// The transactions of loaded statements, each an entry named by its position.
void add_statement_entries(Reconciliation &r, const tarvo_stmt_t *statements, std::string_view source);

} // namespace tarvo::reconcile

#endif
