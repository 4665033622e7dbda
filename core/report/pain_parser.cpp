// The payment file handle of the C interface.
#include <new>

#include "report/report.h"

struct tarvo_pain_parser_s : tarvo::report::Handle<tarvo::report::PainDocument> {};

extern "C" tarvo_pain_parser_t *tarvo_pain_parser_new(void) { return new (std::nothrow) tarvo_pain_parser_t; }

extern "C" void tarvo_pain_parser_free(tarvo_pain_parser_t *p) { delete p; }

extern "C" int tarvo_pain_parser_load(tarvo_pain_parser_t *p, const char *path) {
    return p != nullptr ? p->load_from<tarvo::report::read_pain>(path != nullptr ? path : "", nullptr, 0) : 0;
}

extern "C" int tarvo_pain_parser_loadMemory(tarvo_pain_parser_t *p, const char *data, size_t size) {
    return p != nullptr ? p->load_from<tarvo::report::read_pain>(nullptr, data, size) : 0;
}

extern "C" const tarvo_pain_block_t *tarvo_pain_parser_getBlock(tarvo_pain_parser_t *p) {
    return p != nullptr ? p->document.first : nullptr;
}

extern "C" const char *tarvo_pain_parser_getVersion(tarvo_pain_parser_t *p) {
    return p != nullptr ? p->document.version : nullptr;
}

extern "C" const char *tarvo_pain_parser_getMessageId(tarvo_pain_parser_t *p) {
    return p != nullptr ? p->document.message_id : nullptr;
}

extern "C" const char *tarvo_pain_parser_getCreationTime(tarvo_pain_parser_t *p) {
    return p != nullptr ? p->document.creation_time : nullptr;
}

extern "C" const char *tarvo_pain_parser_getNumberOfTransactions(tarvo_pain_parser_t *p) {
    return p != nullptr ? p->document.number_of_transactions : nullptr;
}

extern "C" const char *tarvo_pain_parser_getControlSum(tarvo_pain_parser_t *p) {
    return p != nullptr ? p->document.control_sum : nullptr;
}

extern "C" const char *tarvo_pain_parser_getInitiatingParty(tarvo_pain_parser_t *p) {
    return p != nullptr ? p->document.initiating_party : nullptr;
}

extern "C" const char *tarvo_pain_parser_getError(tarvo_pain_parser_t *p) {
    return p != nullptr ? p->error : "invalid tarvo_pain_parser_t handle";
}
