// Loading a bank data file: lookups answer from it, refused files change nothing, and
// unloading returns to the compiled-in data.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "directory_data.h"
#include "ident/data_format.h"
#include "ident/ident.h"
#include "ident/older_edition_file.h"
#include "tarvo.h"

namespace {

namespace format = tarvo::data_format;

// What a lookup says about a German bank code, as one comparable text.
std::string german_answer(const std::string &code, bool at_instant, time_t when) {
    tarvo::bank_record r;
    const int found = at_instant ? tarvo::lookup_bank_at("DE", code.c_str(), &r, when)
                                 : tarvo::lookup_bank("DE", code.c_str(), &r);
    if (found != 1)
        return "-";
    return std::string(r.name) + "|" + r.bic + "|" + r.zip + "|" + r.city + "|" + std::to_string(r.method) + "|" +
           std::to_string(r.deleted) + "|" + std::to_string(r.iban_rule) + "|" +
           std::to_string(at_instant ? tarvo::german_method_at(code.c_str(), when) : tarvo::german_method(code.c_str()));
}

std::vector<std::string> german_codes() {
    std::vector<std::string> codes;
    for (int i = tarvo::db_de_first; i < tarvo::db_records; ++i)
        codes.emplace_back(tarvo::DB[i] + 3, 8);
    return codes;
}

std::string loaded_path() {
    tarvo_data_info_t *info = tarvo_data_info();
    std::string path = info->sources[0].path ? info->sources[0].path : "compiled-in";
    free(info);
    return path;
}

class DataFile : public ::testing::Test {
protected:
    void TearDown() override { tarvo_data_unload(); }
};

TEST_F(DataFile, TheOlderEditionAnswersWhileLoadedAndTheCompiledInOneAfterUnloading_SharedEdition) {
    const time_t older_in_force = tarvo::directory_switch_instant - 1;
    std::vector<std::string> changed;
    for (const auto &code : german_codes())
        if (german_answer(code, true, older_in_force) != german_answer(code, false, 0))
            changed.push_back(code);
    ASSERT_GE(changed.size(), 40u) << "the shared editions differ in about 40 bank codes";

    std::vector<std::string> compiled_now, older;
    for (const auto &code : changed) {
        compiled_now.push_back(german_answer(code, false, 0));
        older.push_back(german_answer(code, true, older_in_force));
    }
    char *message = nullptr;
    ASSERT_EQ(tarvo_data_load(older_edition_file().c_str(), &message), 1) << message;
    // The file holds one edition: it answers by it whatever the clock says.
    for (std::size_t i = 0; i < changed.size(); ++i) {
        EXPECT_EQ(german_answer(changed[i], false, 0), older[i]) << changed[i];
        EXPECT_EQ(german_answer(changed[i], true, older_in_force), older[i]) << changed[i];
    }
    tarvo_data_unload();
    for (std::size_t i = 0; i < changed.size(); ++i)
        EXPECT_EQ(german_answer(changed[i], false, 0), compiled_now[i]) << changed[i];
}

// An update written in place over the file in use (truncated, then rewritten) must not
// reach the lookups, let alone end the process.
TEST_F(DataFile, TruncatingTheFileInUseLeavesTheLookupsAlone_SharedEdition) {
    const std::string copy = testing::TempDir() + "tarvo_truncated.tdat";
    std::filesystem::copy_file(older_edition_file(), copy, std::filesystem::copy_options::overwrite_existing);
    ASSERT_EQ(tarvo_data_load(copy.c_str(), nullptr), 1);
    const auto codes = german_codes();
    std::vector<std::string> before;
    for (std::size_t i = 0; i < codes.size(); i += 97)
        before.push_back(german_answer(codes[i], false, 0));
    std::filesystem::resize_file(copy, 0);
    for (std::size_t i = 0, k = 0; i < codes.size(); i += 97, ++k)
        EXPECT_EQ(german_answer(codes[i], false, 0), before[k]) << codes[i];
    std::filesystem::remove(copy);
}

// Refusals: each damages a valid file in one way and expects the check that names it.
struct Damage {
    const char *name;
    std::function<void(std::string &)> apply;
    bool fix_checksum; // rewrite the checksum so that a later check must catch it
    const char *message;
};

format::header header_of(const std::string &bytes) {
    format::header h;
    memcpy(&h, bytes.data(), sizeof h);
    return h;
}
void put_header(std::string &bytes, const format::header &h) { memcpy(bytes.data(), &h, sizeof h); }
template <typename F>
void edit_header(std::string &bytes, F f) {
    format::header h = header_of(bytes);
    f(h);
    put_header(bytes, h);
}

const Damage damages[] = {
    {"empty", [](std::string &b) { b.clear(); }, false, "empty file"},
    {"header cut", [](std::string &b) { b.resize(40); }, false, "truncated: shorter than the header"},
    {"body cut", [](std::string &b) { b.resize(b.size() / 2); }, false, "truncated: shorter than its header says"},
    {"bytes appended", [](std::string &b) { b += "extra"; }, false, "size: longer than its header says"},
    {"magic", [](std::string &b) { b[0] = 'X'; }, false, "magic: not a tarvo data file"},
    {"version", [](std::string &b) { edit_header(b, [](auto &h) { ++h.version; }); }, false,
     "format version: written for another version of the library"},
    {"checksum", [](std::string &b) { b[b.size() - 2] ^= 0x20; }, false,
     "checksum: the content does not match its CRC-32C"},
    {"section offset past the end",
     [](std::string &b) { edit_header(b, [&](auto &h) { h.sections[format::g].offset = uint32_t(b.size()); }); },
     true, "section bounds: a table lies outside the file or is misaligned"},
    {"misaligned section",
     [](std::string &b) { edit_header(b, [](auto &h) { h.sections[format::t1].offset += 4; }); }, true,
     "section bounds: a table lies outside the file or is misaligned"},
    {"section size",
     [](std::string &b) { edit_header(b, [](auto &h) { h.sections[format::german_code].size -= 4; }); }, true,
     "section size: a table's size does not match the record counts"},
    {"records past the hash",
     [](std::string &b) { edit_header(b, [](auto &h) { h.de_first = h.records + 1; }); }, true,
     "record counts: out of range or out of order"},
    {"vertex value",
     [](std::string &b) {
         const auto h = header_of(b);
         const int32_t huge = 0x40000000;
         memcpy(&b[h.sections[format::g].offset], &huge, sizeof huge);
     },
     true, "hash table: a vertex value is no record index"},
    {"record offset past the text",
     [](std::string &b) {
         const auto h = header_of(b);
         const uint32_t past = h.sections[format::record_text].size + 1;
         memcpy(&b[h.sections[format::record_offsets].offset + 4], &past, sizeof past);
     },
     true, "record offsets: a record is shorter than its key or out of order"},
    {"German version past its record",
     [](std::string &b) {
         // The last record is German: a sixth '|' announces a version that does not follow.
         const auto h = header_of(b);
         const auto &text = h.sections[format::record_text];
         b[text.offset + text.size - 2] = '|';
     },
     true, "record text: a German record's versions run past its end"},
    {"last record's NUL",
     [](std::string &b) {
         const auto &text = header_of(b).sections[format::record_text];
         b[text.offset + text.size - 1] = 'x';
     },
     true, "record text: a record does not end with a NUL byte"},
    {"edition date",
     [](std::string &b) { edit_header(b, [](auto &h) { h.editions[format::scl].issued.month = 13; }); }, true,
     "editions: a date is not a calendar date"},
};

void rewrite_checksum(std::string &bytes) {
    format::header h = header_of(bytes);
    h.checksum = format::crc32c(reinterpret_cast<const unsigned char *>(bytes.data()) + format::checksum_start,
                                bytes.size() - format::checksum_start);
    put_header(bytes, h);
}

TEST_F(DataFile, RefusedFilesNameTheirCheckAndLeaveTheDataInUse) {
    const std::string good = file_bytes(older_edition_file());
    ASSERT_EQ(tarvo_data_load(older_edition_file().c_str(), nullptr), 1);
    const std::string before = german_answer("37060193", false, 0);
    for (const Damage &d : damages) {
        SCOPED_TRACE(d.name);
        std::string bytes = good;
        d.apply(bytes);
        if (d.fix_checksum)
            rewrite_checksum(bytes);
        const std::string path = older_edition_file() + ".damaged";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        char *message = nullptr;
        EXPECT_EQ(tarvo_data_load(path.c_str(), &message), 0);
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message, path + ": " + d.message);
        free(message);
        EXPECT_EQ(loaded_path(), older_edition_file());
        EXPECT_EQ(german_answer("37060193", false, 0), before);
        std::filesystem::remove(path);
    }
}

TEST_F(DataFile, WhatIsNoFileIsRefusedByName) {
    const std::string dir = std::filesystem::temp_directory_path().string();
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {dir, dir + ": not a file: a directory"},
        {dir + "/tarvo-no-such-file", dir + "/tarvo-no-such-file: cannot open: No such file or directory"},
    };
    for (const auto &c : cases) {
        char *message = nullptr;
        EXPECT_EQ(tarvo_data_load(c.path.c_str(), &message), 0);
        EXPECT_EQ(std::string(message ? message : ""), c.message);
        free(message);
        EXPECT_EQ(loaded_path(), "compiled-in");
    }
}

TEST_F(DataFile, InfoNamesTheFileAndItsEditions_SharedEdition) {
    ASSERT_EQ(tarvo_data_load(older_edition_file().c_str(), nullptr), 1);
    char *json = tarvo_data_info_json();
    const std::string p = older_edition_file();
    EXPECT_EQ(std::string(json),
              "{\"source\":\"bundesbank\",\"edition\":\"2025-06-09\",\"validUntil\":\"2025-09-07\",\"origin\":\"file\","
              "\"path\":\"" + p + "\"}\n"
              "{\"source\":\"iban-rules\",\"edition\":\"2024-12-09\",\"origin\":\"file\",\"path\":\"" + p + "\"}\n"
              "{\"source\":\"scl\",\"edition\":\"2016-12\",\"origin\":\"file\",\"path\":\"" + p + "\"}\n"
              "{\"source\":\"oenb\",\"edition\":\"2025-10-06\",\"origin\":\"file\",\"path\":\"" + p + "\"}\n"
              "{\"source\":\"six\",\"edition\":\"2025-10-06\",\"origin\":\"file\",\"path\":\"" + p + "\"}\n");
    free(json);
    tarvo_data_unload();
    EXPECT_EQ(loaded_path(), "compiled-in");
}

TEST(DataWarning, CountsTheDaysPastTheNewestGermanEdition_SharedEdition) {
    const time_t last_valid_day = 1765065600; // 2025-12-07 00:00 UTC
    const struct {
        time_t now;
        const char *warning;
    } cases[] = {
        {last_valid_day + 86399, nullptr},
        {last_valid_day + 86400, "bank codes valid until 2025-12-07: 1 day out of date"},
        {last_valid_day + 366 * 86400 + 5, "bank codes valid until 2025-12-07: 366 days out of date"},
    };
    for (const auto &c : cases) {
        char *w = tarvo_data_warning(c.now);
        EXPECT_EQ(std::string(w ? w : "(none)"), std::string(c.warning ? c.warning : "(none)")) << c.now;
        free(w);
    }
}

} // namespace
