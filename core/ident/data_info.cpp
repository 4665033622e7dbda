// Which editions the data in use comes from, for the front ends to show.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "ident/data_loaded.h"

namespace tarvo {

namespace {

namespace format = data_format;

// Dates were checked on loading (years to 9999); the bounds here only keep the texts short.
void print_date(char (&out)[11], const format::date &d) {
    const unsigned year = d.year % 10000u, month = d.month % 100u, day = d.day % 100u;
    if (d.year == 0)
        out[0] = '\0';
    else if (d.day == 0)
        snprintf(out, sizeof out, "%04u-%02u", year, month);
    else
        snprintf(out, sizeof out, "%04u-%02u-%02u", year, month, day);
}

// Days since 1970-01-01 (proleptic Gregorian).
long day_number(const format::date &d) {
    const int y = d.year - (d.month <= 2);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (d.month + (d.month > 2 ? -3 : 9)) + 2) / 5 + d.day - 1;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

// The editions of the data in use, and its path when it is a file.
struct snapshot {
    format::edition editions[format::source_count];
    std::string path;
    bool file = false;
};

snapshot take_snapshot() {
    snapshot s;
    data_pin pin;
    if (const loaded_data *d = pinned_data()) {
        memcpy(s.editions, d->file.editions, sizeof s.editions);
        s.path = d->path;
        s.file = true;
    } else {
        memcpy(s.editions, directory_editions, sizeof s.editions);
    }
    return s;
}

// A source slot left empty (the next Bundesbank edition of a one-edition build) is not shown.
bool shown(const snapshot &s, unsigned source) {
    return source != format::bundesbank_next || s.editions[source].issued.year != 0;
}

void json_string(std::string &out, const char *text) {
    out += '"';
    for (const char *p = text; *p; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[7];
            snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

char *copy_out(const std::string &text) {
    char *copy = static_cast<char *>(malloc(text.size() + 1));
    if (copy)
        memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

} // namespace

} // namespace tarvo

extern "C" tarvo_data_info_t *tarvo_data_info(void) {
    using namespace tarvo;
    const snapshot s = take_snapshot();
    size_t count = 0;
    for (unsigned i = 0; i < format::source_count; ++i)
        count += shown(s, i);
    const size_t size = sizeof(tarvo_data_info_t) + count * sizeof(tarvo_data_source_t) + s.path.size() + 1;
    auto *info = static_cast<tarvo_data_info_t *>(malloc(size));
    if (!info)
        return nullptr;
    info->count = count;
    info->sources = reinterpret_cast<tarvo_data_source_t *>(info + 1);
    char *path = reinterpret_cast<char *>(info->sources + count);
    memcpy(path, s.path.c_str(), s.path.size() + 1);
    tarvo_data_source_t *out = info->sources;
    for (unsigned i = 0; i < format::source_count; ++i) {
        if (!shown(s, i))
            continue;
        out->source = format::source_names[i];
        print_date(out->edition, s.editions[i].issued);
        print_date(out->valid_until, s.editions[i].valid_until);
        out->origin = s.file ? "file" : "compiled-in";
        out->path = s.file ? path : nullptr;
        ++out;
    }
    return info;
}

extern "C" char *tarvo_data_info_json(void) {
    tarvo_data_info_t *info = tarvo_data_info();
    if (!info)
        return nullptr;
    std::string text;
    for (size_t i = 0; i < info->count; ++i) {
        const tarvo_data_source_t &s = info->sources[i];
        text += "{\"source\":\"";
        text += s.source;
        text += "\",\"edition\":";
        if (s.edition[0])
            tarvo::json_string(text, s.edition);
        else
            text += "null";
        if (s.valid_until[0]) {
            text += ",\"validUntil\":";
            tarvo::json_string(text, s.valid_until);
        }
        text += ",\"origin\":\"";
        text += s.origin;
        text += '"';
        if (s.path) {
            text += ",\"path\":";
            tarvo::json_string(text, s.path);
        }
        text += "}\n";
    }
    free(info);
    return tarvo::copy_out(text);
}

extern "C" char *tarvo_data_warning(time_t now) {
    using namespace tarvo;
    const snapshot s = take_snapshot();
    // The data is valid as long as its newest Bundesbank edition.
    const format::date *until = nullptr;
    for (unsigned i : {format::bundesbank, format::bundesbank_next})
        if (s.editions[i].valid_until.year != 0)
            until = &s.editions[i].valid_until;
    if (!until)
        return nullptr;
    const long today = static_cast<long>(now >= 0 ? now / 86400 : (now - 86399) / 86400);
    const long late = today - day_number(*until);
    if (late <= 0)
        return nullptr;
    char date[11], text[96];
    print_date(date, *until);
    snprintf(text, sizeof text, "bank codes valid until %s: %ld day%s out of date", date, late, late == 1 ? "" : "s");
    return copy_out(text);
}
