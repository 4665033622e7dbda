// Helpers for the document writer tests: messages and key/value lists that clean up
// after themselves, a fixed rendering instant, expected documents written line by line,
// and validation against the published schemas with xmllint.
#ifndef TARVO_TESTS_XML_TEST_SUPPORT_H
#define TARVO_TESTS_XML_TEST_SUPPORT_H

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "message/xml_common.h"

namespace tarvo::test {

// 2024-06-10T06:13:20Z
inline constexpr time_t fixed_instant = 1718000000;

struct MessageDeleter {
    void operator()(tarvo_t *h) const { tarvo_free(h); }
};
using Message = std::unique_ptr<tarvo_t, MessageDeleter>;

// Selects a rulebook for one test and puts the previous selection back afterwards.
class RulebookScope {
public:
    explicit RulebookScope(const char *id) : saved_(__tarvo_rulebook) {
        EXPECT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, id), 1) << id;
    }
    ~RulebookScope() { __tarvo_rulebook = saved_; }
    RulebookScope(const RulebookScope &) = delete;
    RulebookScope &operator=(const RulebookScope &) = delete;

private:
    int saved_;
};

// A key/value list in the form tarvo_add takes, owning its texts.
class Kv {
public:
    Kv(std::initializer_list<std::pair<const char *, std::string>> pairs) {
        for (const auto &[key, value] : pairs) set(key, value);
    }
    Kv &set(const char *key, std::string value) {
        texts_.emplace_back(key);
        texts_.emplace_back(std::move(value));
        return *this;
    }
    // The pairs as set; a key set twice keeps its last value.
    std::map<std::string, std::string> pairs() const {
        std::map<std::string, std::string> out;
        for (size_t i = 0; i + 1 < texts_.size(); i += 2) out[texts_[i]] = texts_[i + 1];
        return out;
    }
    const char *const *list() {
        pointers_.clear();
        for (const auto &t : texts_) pointers_.push_back(t.c_str());
        pointers_.push_back(nullptr);
        return pointers_.data();
    }

private:
    std::vector<std::string> texts_;
    std::vector<const char *> pointers_;
};

inline void add_ok(tarvo_t *h, Kv kv) {
    ASSERT_EQ(tarvo_add(h, kv.list()), 1) << (tarvo_getError(h) ? tarvo_getError(h) : "(no error text)");
}

// The document, or nothing when the writer refused (then the message's error says why).
inline std::optional<std::string> render_at(tarvo_t *h, time_t now = fixed_instant) {
    char *doc = tarvo::render(h, now);
    if (doc == nullptr) return std::nullopt;
    std::string text(doc);
    free(doc);
    return text;
}

inline std::string error_of(tarvo_t *h) { return tarvo_getError(h) ? tarvo_getError(h) : ""; }

// An expected document, line by line: depth TABs, the text, a line feed.
class Lines {
public:
    Lines &operator()(int depth, const std::string &text) {
        text_.append(static_cast<size_t>(depth), '\t').append(text).push_back('\n');
        return *this;
    }
    Lines &raw(const std::string &text) {
        text_ += text;
        return *this;
    }
    const std::string &str() const { return text_; }

private:
    std::string text_;
};

// Runs a command and returns its exit status and its combined output.
inline std::pair<int, std::string> run_command(const std::string &command) {
    std::string output;
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return {-1, "popen failed"};
    char chunk[512];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

// Writes doc to a temporary file, hands its path to check, and removes it again.
template <class Check>
auto with_temp_file(const std::string &doc, Check check) {
    char path[] = "/tmp/tarvo-xml-XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, doc.data(), doc.size()), static_cast<ssize_t>(doc.size()));
    close(fd);
    auto result = check(std::string(path));
    unlink(path);
    return result;
}

// xmllint's verdict on doc against a schema of the shared folder ("pain.008.001.08",
// "dk/pain.008.001.02"); the output names the first violations.
inline ::testing::AssertionResult valid_against(const std::string &doc, const std::string &schema) {
    const auto [status, output] = with_temp_file(doc, [&](const std::string &path) {
        return run_command("xmllint --noout --schema " TARVO_SHARED_DIR "/xsd/" + schema + ".xsd " + path);
    });
    if (status == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "not valid against " << schema << ":\n" << output;
}

// xmllint's verdict on many documents at once, one schema load for all: the files that
// do not validate against the schema, each with xmllint's report on it.
inline std::map<std::string, std::string> invalid_files(const std::vector<std::string> &paths,
                                                        const std::string &schema) {
    std::map<std::string, std::string> invalid;
    if (paths.empty()) return invalid;
    std::string command = "xmllint --noout --schema " TARVO_SHARED_DIR "/xsd/" + schema + ".xsd";
    for (const std::string &path : paths) command += " " + path;
    const auto [status, output] = run_command(command);
    if (status == 0) return invalid;
    // Every report line starts with the file's path; "<path> validates" is the good one.
    for (const std::string &path : paths) {
        std::string report;
        for (size_t at = output.find(path + ":"); at != std::string::npos; at = output.find(path + ":", at + 1))
            report += output.substr(at, output.find('\n', at) - at) + "\n";
        if (output.find(path + " fails to validate") != std::string::npos || !report.empty())
            invalid[path] = report.empty() ? output : report;
    }
    if (invalid.empty()) invalid[""] = output; // xmllint failed without naming a file
    return invalid;
}

inline ::testing::AssertionResult well_formed(const std::string &doc) {
    const auto [status, output] =
        with_temp_file(doc, [](const std::string &path) { return run_command("xmllint --noout " + path); });
    if (status == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << output;
}

// The texts of every element named tag, in document order.
inline std::vector<std::string> element_texts(const std::string &doc, const std::string &tag) {
    std::vector<std::string> texts;
    const std::string open = "<" + tag + ">", close = "</" + tag + ">";
    for (size_t at = doc.find(open); at != std::string::npos; at = doc.find(open, at)) {
        at += open.size();
        const size_t end = doc.find(close, at);
        if (end == std::string::npos) break;
        texts.push_back(doc.substr(at, end - at));
    }
    return texts;
}

inline size_t count_of(const std::string &doc, const std::string &needle) {
    size_t n = 0;
    for (size_t at = doc.find(needle); at != std::string::npos; at = doc.find(needle, at + 1)) ++n;
    return n;
}

// The root line a variant gets, as the receiving side reads it.
inline std::string root_line(const std::string &variant, bool schema_location) {
    const std::string ns = "urn:iso:std:iso:20022:tech:xsd:" + variant;
    std::string line = "<Document xmlns=\"" + ns + "\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";
    if (schema_location) line += " xsi:schemaLocation=\"" + ns + " " + variant + ".xsd\"";
    return line + ">";
}

// A test name part for a rulebook identifier ("DE-3.7" gives DE_3_7).
inline std::string rulebook_name(std::string id) {
    for (char &ch : id)
        if (ch == '-' || ch == '.') ch = '_';
    return id;
}

// A party name the rulebook's character set accepts, with the characters that need
// escaping wherever the set has them.
inline const char *party_name(const std::string &rulebook) {
    if (rulebook == "DE-2.6") return "Alpha Beta (Ltd.)";
    if (rulebook == "AT-6") return "Ärger <GmbH> & \"Söhne\" €";
    return "Müller & Söhne *Groß*";
}

// A German address in the form the rulebook takes: structured parts, town and a line
// (hybrid), or two lines.
inline void add_address(Kv &kv, const std::string &rulebook) {
    const Rulebook &rb = *tarvo::rulebook(rulebook_number(rulebook));
    kv.set("addrCC", "DE");
    if (rb.hybrid_address)
        kv.set("addrCode", "10115").set("addrTown", "Berlin").set("addrLine1", "Hauptstraße 7a");
    else if (rb.structured_address)
        kv.set("addrStreet", "Hauptstraße").set("addrNum", "7a").set("addrCode", "10115").set("addrTown", "Berlin");
    else
        kv.set("addrLine1", rulebook == "DE-2.6" ? "Hauptstrasse 7a" : "Hauptstraße 7a")
            .set("addrLine2", "10115 Berlin");
}

// The schemas a rulebook's documents must satisfy: the variant's own, and for the German
// rulebooks in the ISO namespaces also the German restricted edition.
inline std::vector<std::string> schemas_of(const std::string &variant, const std::string &rulebook) {
    std::vector<std::string> schemas{variant};
    if ((variant == "pain.001.001.03" || variant == "pain.008.001.02") && rulebook.rfind("DE-", 0) == 0)
        schemas.push_back("dk/" + variant);
    if ((variant == "pain.001.001.09" || variant == "pain.008.001.08") && rulebook.rfind("DE-", 0) == 0)
        schemas.push_back("dk/" + variant + "_GBIC_5");
    return schemas;
}

inline constexpr const char *all_rulebooks[] = {"DE-2.6", "DE-2.7", "AT-6",   "NL-6",   "DE-2.8",
                                                "DE-2.9", "DE-3.0", "DE-3.1", "DE-3.5", "DE-3.7",
                                                "DE-3.9"};

// Accounts whose IBANs pass the check without any particular directory edition.
inline constexpr const char *creditor_iban = "AT611904300234573201";
inline constexpr const char *creditor_bic = "BKAUATWWXXX";
inline constexpr const char *creditor_id = "DE98ZZZ09999999999";

// A message of either kind whose own side is complete: account, agent, name, and for
// direct debits the creditor identifier.
inline Message new_message(int type, const char *name) {
    Message h(tarvo_new(type));
    EXPECT_EQ(tarvo_setIBAN(h.get(), creditor_iban), 1);
    EXPECT_EQ(tarvo_setBIC(h.get(), creditor_bic), 1);
    EXPECT_EQ(tarvo_setName(h.get(), name), 1);
    EXPECT_EQ(tarvo_setCreditorIdentifier(h.get(), creditor_id), 1);
    return h;
}

} // namespace tarvo::test

#endif
