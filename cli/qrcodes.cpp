// Payment QR codes from the shell: payloads decoded to JSON, and payloads written from
// fields, with the code drawn as SVG or PNG beside them.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "commands.h"
#include "tarvo_qr.h"
#include "tarvo.h"

namespace tarvotool {
namespace {

using nlohmann::ordered_json;

struct Freed {
    void operator()(void *p) const { free(p); }
};

bool read_input(const char *name, std::string &out) {
    if (strcmp(name, "-") == 0) {
        out.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return true;
    }
    std::ifstream in(name, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

std::string amount_text(int64_t cents) {
    char text[32];
    snprintf(text, sizeof text, "%lld.%02lld", static_cast<long long>(cents / 100), static_cast<long long>(cents % 100));
    return text;
}

// Empty fields are left out.
void put(ordered_json &j, const char *key, const char *value) {
    if (value != nullptr && *value != '\0') j[key] = value;
}

ordered_json address_json(const tarvo_qr_address_t &a) {
    ordered_json j = ordered_json::object();
    put(j, "name", a.name);
    put(j, "street", a.street);
    put(j, "buildingNumber", a.buildingNumber);
    put(j, "postalCode", a.postalCode);
    put(j, "town", a.town);
    put(j, "country", a.country);
    return j;
}

ordered_json bill_json(const tarvo_qrbill_t &b) {
    ordered_json j = ordered_json::object();
    put(j, "iban", b.iban);
    if (b.hasAmount) j["amount"] = amount_text(b.amount);
    put(j, "currency", b.currency);
    put(j, "referenceType", b.referenceType);
    put(j, "reference", b.reference);
    put(j, "message", b.message);
    put(j, "billInformation", b.billInformation);
    for (const char *scheme : b.alternativeSchemes)
        if (scheme != nullptr) j["alternativeSchemes"].push_back(scheme);
    j["creditor"] = address_json(b.creditor);
    const ordered_json debtor = address_json(b.ultimateDebtor);
    if (!debtor.empty()) j["ultimateDebtor"] = debtor;
    return j;
}

ordered_json code_json(const tarvo_epcqr_t &c) {
    ordered_json j = ordered_json::object();
    put(j, "version", c.version);
    j["charset"] = std::to_string(c.charset);
    put(j, "bic", c.bic);
    put(j, "name", c.name);
    put(j, "iban", c.iban);
    if (c.hasAmount) j["amount"] = amount_text(c.amount);
    put(j, "purpose", c.purpose);
    put(j, "reference", c.reference);
    put(j, "text", c.text);
    put(j, "information", c.information);
    return j;
}

int invalid(const char *what, const char *reason) {
    fprintf(stderr, "tarvotool: invalid %s: %s\n", what, reason);
    return 1;
}

// "--json <payload file|->": the payload's fields, or the reason it is refused.
int decode(const char *kind, const char *source) {
    std::string payload;
    if (!read_input(source, payload)) {
        fprintf(stderr, "tarvotool: cannot read %s\n", source);
        return 2;
    }
    char error[256] = "";
    ordered_json j;
    if (strcmp(kind, "QR-bill") == 0) {
        tarvo_qrbill_t *bill = nullptr;
        if (tarvo_qrbill_parse(payload.data(), payload.size(), &bill, error, sizeof error) != 1) return invalid(kind, error);
        j = bill_json(*bill);
        free(bill);
    } else {
        tarvo_epcqr_t *code = nullptr;
        if (tarvo_epcqr_parse(payload.data(), payload.size(), &code, error, sizeof error) != 1) return invalid(kind, error);
        j = code_json(*code);
        free(code);
    }
    puts(j.dump().c_str());
    return 0;
}

// Writes the payload, and the picture when one is asked for; a picture that cannot be
// written whole is not left behind.
int emit(int kind, const std::string &payload, const char *svg, const char *png) {
    char error[256] = "";
    std::unique_ptr<unsigned char, Freed> picture;
    size_t size = 0;
    if (svg != nullptr) {
        picture.reset(reinterpret_cast<unsigned char *>(tarvo_qr_svg(kind, payload.data(), payload.size(), error, sizeof error)));
        if (picture) size = strlen(reinterpret_cast<char *>(picture.get()));
    } else if (png != nullptr) {
        picture.reset(tarvo_qr_png(kind, payload.data(), payload.size(), &size, error, sizeof error));
    }
    const char *path = svg != nullptr ? svg : png;
    if (path != nullptr) {
        if (!picture) return invalid("picture", error);
        FILE *f = fopen(path, "wb");
        const bool written = f != nullptr && fwrite(picture.get(), 1, size, f) == size;
        if ((f != nullptr && fclose(f) != 0) || !written) {
            remove(path);
            fprintf(stderr, "tarvotool: cannot write %s\n", path);
            return 2;
        }
    }
    fwrite(payload.data(), 1, payload.size(), stdout);
    putchar('\n');
    return 0;
}

// The picture options every maker takes; false when the words do not fit.
bool picture_option(char **&args, const char *&svg, const char *&png) {
    const bool is_svg = strcmp(args[0], "--svg") == 0;
    if ((!is_svg && strcmp(args[0], "--png") != 0) || args[1] == nullptr || svg != nullptr || png != nullptr) return false;
    (is_svg ? svg : png) = args[1];
    args += 2;
    return true;
}

const char *text_of(const ordered_json &j, const char *key) {
    const auto it = j.find(key);
    return it != j.end() && it->is_string() ? it->get_ref<const std::string &>().c_str() : nullptr;
}

tarvo_qr_address_t address_of(const ordered_json &j, const char *key) {
    const auto it = j.find(key);
    if (it == j.end() || !it->is_object()) return {};
    return {text_of(*it, "name"), text_of(*it, "street"), text_of(*it, "buildingNumber"), text_of(*it, "postalCode"),
            text_of(*it, "town"), text_of(*it, "country")};
}

int make_bill(const char *fields, const char *svg, const char *png) {
    std::string text = fields;
    if (!text.empty() && text[0] != '{' && !read_input(fields, text)) {
        fprintf(stderr, "tarvotool: cannot read %s\n", fields);
        return 2;
    }
    const ordered_json j = ordered_json::parse(text, nullptr, false);
    if (!j.is_object()) return invalid("QR-bill fields", "not a JSON object");
    tarvo_qrbill_t bill{};
    bill.iban = text_of(j, "iban");
    bill.creditor = address_of(j, "creditor");
    bill.ultimateDebtor = address_of(j, "ultimateDebtor");
    if (const char *amount = text_of(j, "amount"); amount != nullptr) {
        bill.hasAmount = 1;
        if (tarvo_qr_amount(amount, &bill.amount) != 1) return invalid("QR-bill", "amount: not an amount");
    }
    bill.currency = text_of(j, "currency");
    bill.referenceType = text_of(j, "referenceType");
    bill.reference = text_of(j, "reference");
    bill.message = text_of(j, "message");
    bill.billInformation = text_of(j, "billInformation");
    const auto schemes = j.find("alternativeSchemes");
    if (schemes != j.end()) {
        if (!schemes->is_array() || schemes->size() > 2) return invalid("QR-bill", "alternativeSchemes: at most two texts");
        for (size_t i = 0; i < schemes->size(); ++i)
            bill.alternativeSchemes[i] = (*schemes)[i].is_string() ? (*schemes)[i].get_ref<const std::string &>().c_str() : nullptr;
    }
    char error[256] = "";
    std::unique_ptr<char, Freed> payload(tarvo_qrbill_make(&bill, error, sizeof error));
    if (!payload) return invalid("QR-bill", error);
    return emit(TARVO_QR_QRBILL, payload.get(), svg, png);
}

} // namespace

int cmd_qrbill(char **args) {
    if (args[0] == nullptr || args[1] == nullptr) return wrong_usage;
    if (strcmp(args[0], "--json") == 0) return args[2] == nullptr ? decode("QR-bill", args[1]) : wrong_usage;
    if (strcmp(args[0], "--make") != 0) return wrong_usage;
    const char *fields = args[1];
    const char *svg = nullptr, *png = nullptr;
    for (args += 2; *args != nullptr;)
        if (!picture_option(args, svg, png)) return wrong_usage;
    return make_bill(fields, svg, png);
}

int cmd_epcqr(char **args) {
    if (args[0] == nullptr) return wrong_usage;
    if (strcmp(args[0], "--json") == 0) return args[1] != nullptr && args[2] == nullptr ? decode("EPC code", args[1]) : wrong_usage;
    tarvo_epcqr_t code{};
    const char *amount = nullptr, *svg = nullptr, *png = nullptr;
    struct Option {
        const char *name;
        const char **field;
    } const options[] = {{"--name", &code.name},       {"--iban", &code.iban},     {"--bic", &code.bic},
                         {"--amount", &amount},        {"--purpose", &code.purpose}, {"--ref", &code.reference},
                         {"--text", &code.text},       {"--info", &code.information}, {"--version", &code.version}};
    while (*args != nullptr) {
        const Option *match = nullptr;
        for (const Option &o : options)
            if (strcmp(args[0], o.name) == 0) match = &o;
        if (match == nullptr) {
            if (!picture_option(args, svg, png)) return wrong_usage;
            continue;
        }
        if (args[1] == nullptr || *match->field != nullptr) return wrong_usage;
        *match->field = args[1];
        args += 2;
    }
    if (amount != nullptr) {
        code.hasAmount = 1;
        if (tarvo_qr_amount(amount, &code.amount) != 1) return invalid("EPC code", "amount: not an amount");
    }
    char error[256] = "";
    std::unique_ptr<char, Freed> payload(tarvo_epcqr_make(&code, error, sizeof error));
    if (!payload) return invalid("EPC code", error);
    return emit(TARVO_QR_EPC, payload.get(), svg, png);
}

} // namespace tarvotool
