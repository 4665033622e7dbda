// libFuzzer target for the data file loader: random bytes and mutations of a valid file.
// Each input is checked as it is and, as a mutation almost always breaks the checksum,
// once more with its checksum made right, so that the later checks see it too. Every
// accepted file then answers a lookup for each of its records and for keys of the input;
// the sanitizers watch that no lookup reads outside the file's bytes.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "ident/data_tables.h"
#include "ident/ident.h"

namespace {

namespace format = tarvo::data_format;

void read_and_free(tarvo_bank_t *bank) {
    volatile size_t seen = 0;
    for (const char *text : {bank->name, bank->zip, bank->city, bank->country, bank->bic})
        if (text != nullptr) seen = seen + strlen(text);
    free(bank);
}

void look_up(const tarvo::file_tables &t, const std::string &key) {
    tarvo::bank_record r;
    tarvo_bank_t *bank = nullptr;
    if (tarvo::bic_get_bank(t, key.c_str(), &bank) == 1) read_and_free(bank);
    for (const char *country : {"AT", "CH", "DE", "LI"}) {
        const std::string code = key.size() > 3 ? key.substr(3) : key;
        for (time_t when : {time_t{0}, t.switch_instant, time_t{INT32_MAX}})
            tarvo::lookup_bank_in(t, country, code.c_str(), &r, when);
    }
    if (key.size() == 11 && key.compare(0, 3, "_DE") == 0)
        for (time_t when : {time_t{0}, t.switch_instant})
            tarvo::german_method_in(t, key.c_str() + 3, when);
}

void use(const unsigned char *bytes, size_t size, const uint8_t *input, size_t input_size) {
    tarvo::data_file file;
    if (tarvo::check_data_file(bytes, size, file) != nullptr) return;
    const tarvo::file_tables &t = file.tables;
    for (int i = 0; i < t.records; ++i) {
        const char *record = t.record(i);
        look_up(t, std::string(record, strnlen(record, 11)));
    }
    // Keys cut from the input: what a caller might ask.
    for (size_t at = 0; at + 11 <= input_size && at < 256; at += 11)
        look_up(t, std::string(reinterpret_cast<const char *>(input) + at, 11).c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // An exact-size copy: reading one byte past the file is reading past the buffer.
    auto *bytes = static_cast<unsigned char *>(malloc(size ? size : 1));
    if (!bytes) return 0;
    memcpy(bytes, data, size);
    use(bytes, size, data, size);
    format::header h;
    if (size >= sizeof h) {
        memcpy(&h, bytes, sizeof h);
        h.checksum = format::crc32c(bytes + format::checksum_start, size - format::checksum_start);
        memcpy(bytes, &h, sizeof h);
        use(bytes, size, data, size);
    }
    free(bytes);
    return 0;
}
