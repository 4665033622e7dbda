// The lettered check methods A1..E4.
//
// Placeholder so the library links while these methods are being written: every
// lettered method reports "not checkable". Replace the whole file; every function of
// TARVO_LETTERED_METHODS in account.h must be defined here.
#include "account/account.h"

#define TARVO_PENDING_ACCOUNT_RULE(code) \
    int account_rule_##code(const char *) { return 0; }
TARVO_LETTERED_METHODS(TARVO_PENDING_ACCOUNT_RULE)
#undef TARVO_PENDING_ACCOUNT_RULE
