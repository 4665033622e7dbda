// The dispatch table: one entry per method-code byte, null where no method exists.
#include "account/account.h"

namespace {

constexpr std::array<account_rule_fn, 256> make_rules() {
    std::array<account_rule_fn, 256> table{};
#define TARVO_RULE_ENTRY(code) table[0x##code] = account_rule_##code;
    TARVO_NUMBERED_METHODS(TARVO_RULE_ENTRY)
    TARVO_LETTERED_METHODS(TARVO_RULE_ENTRY)
#undef TARVO_RULE_ENTRY
    return table;
}

} // namespace

constexpr std::array<account_rule_fn, 256> rules = make_rules();
