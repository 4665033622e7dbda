// The status report handle of the C interface.
#include <new>

#include "report/report.h"

struct tarvo_status_parser_s : tarvo::report::Handle<tarvo::report::StatusList> {};

extern "C" tarvo_status_parser_t *tarvo_status_parser_new(void) { return new (std::nothrow) tarvo_status_parser_t; }

extern "C" void tarvo_status_parser_free(tarvo_status_parser_t *p) { delete p; }

extern "C" int tarvo_status_parser_load(tarvo_status_parser_t *p, const char *path) {
    return p != nullptr ? p->load_from<tarvo::report::read_status>(path != nullptr ? path : "", nullptr, 0) : 0;
}

extern "C" int tarvo_status_parser_loadMemory(tarvo_status_parser_t *p, const char *data, size_t size) {
    return p != nullptr ? p->load_from<tarvo::report::read_status>(nullptr, data, size) : 0;
}

extern "C" const tarvo_status_t *tarvo_status_parser_getRecord(tarvo_status_parser_t *p) {
    return p != nullptr ? p->document.first : nullptr;
}

extern "C" const char *tarvo_status_parser_getVersion(tarvo_status_parser_t *p) {
    return p != nullptr ? p->document.version : nullptr;
}

extern "C" const char *tarvo_status_parser_getError(tarvo_status_parser_t *p) {
    return p != nullptr ? p->error : "invalid tarvo_status_parser_t handle";
}
