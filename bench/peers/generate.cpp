// Writes the inputs that `make bench-peers` hands to tarvo and to every peer alike, from a
// fixed seed: IBANs of 34 countries and German ones, each with one in ten broken; German
// accounts at current bank codes; payments for pain.008 / pain.001; an MT940 file whose
// every transaction carries the full German :86: structure.
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "directory_data.h"
#include "iban_text.h"
#include "ident/ident.h"
#include "tarvo.h"

namespace {

using Random = std::mt19937_64;

// The SEPA countries: EU, EEA, Switzerland, the United Kingdom, Monaco and San Marino.
const char *const countries[] = {"AT", "BE", "BG", "HR", "CY", "CZ", "DK", "EE", "FI", "FR", "DE", "GR",
                                 "HU", "IS", "IE", "IT", "LV", "LI", "LT", "LU", "MT", "MC", "NL", "NO",
                                 "PL", "PT", "RO", "SM", "SK", "SI", "ES", "SE", "CH", "GB"};
static_assert(std::size(countries) == 34);

int pick(Random &r, int n) { return static_cast<int>(r() % static_cast<uint64_t>(n)); }

// A published IBAN of every country, whose characters give each position's kind.
std::map<std::string, std::string> templates(const std::string &shared) {
    std::map<std::string, std::string> out;
    std::ifstream in(shared + "/testdata/ibans.csv");
    std::string line;
    while (std::getline(in, line)) {
        const size_t c1 = line.find(','), c2 = line.find(',', c1 + 1), c3 = line.find(',', c2 + 1);
        if (c3 == std::string::npos || c2 - c1 < 6) continue;
        // Examples refused only for their check digits serve as well once those are right.
        const std::string country = line.substr(0, c1);
        const std::string iban = with_check_digits(country, line.substr(c1 + 5, c2 - c1 - 5));
        if (!out.count(country) && tarvo_iban_check(iban.c_str()) == 1) out[country] = iban;
    }
    return out;
}

struct Directory {
    std::vector<std::string> codes; // German bank codes the edition in force lists
    std::vector<std::string> absent; // code-shaped keys that are no bank code now
};

Directory german_codes() {
    Directory d;
    for (int i = tarvo::db_de_first; i < tarvo::db_records; ++i) {
        const std::string code(tarvo::DB[i] + 3, 8);
        (tarvo::german_method(code.c_str()) >= 0 ? d.codes : d.absent).push_back(code);
    }
    return d;
}

std::string digits(Random &r, int n) {
    std::string s(static_cast<size_t>(n), '0');
    for (char &c : s) c = static_cast<char>('0' + pick(r, 10));
    return s;
}

// An account that its bank's method accepts (or cannot check), as banks hand them out;
// empty when random numbers do not find one soon.
std::string good_account(Random &r, const std::string &code) {
    for (int attempt = 0; attempt < 400; ++attempt) {
        std::string account = digits(r, 10);
        if (tarvo_account_check_bank(account.c_str(), code.c_str()) >= 0) return account;
    }
    return "";
}

std::string bban_like(Random &r, const std::string &model) {
    std::string s = model.substr(4);
    for (char &c : s) c = c <= '9' ? static_cast<char>('0' + pick(r, 10)) : static_cast<char>('A' + pick(r, 26));
    return s;
}

// One in ten broken, in the ways IBANs break when typed or copied.
std::string broken(Random &r, std::string iban, const Directory &dir) {
    const int kind = pick(r, 20);
    const size_t at = 4 + static_cast<size_t>(pick(r, static_cast<int>(iban.size()) - 5));
    if (kind < 8) { // one digit mistyped
        for (size_t i = at; i < iban.size(); ++i)
            if (iban[i] <= '9') {
                iban[i] = static_cast<char>('0' + (iban[i] - '0' + 1 + pick(r, 9)) % 10);
                break;
            }
    } else if (kind < 12) { // neighbours swapped
        if (iban[at] == iban[at + 1]) iban[at] = iban[at] == '7' ? '3' : '7';
        std::swap(iban[at], iban[at + 1]);
    } else if (kind < 14) { // a character lost or doubled
        if (kind == 12)
            iban.erase(at, 1);
        else
            iban.insert(at, 1, iban[at]);
    } else if (kind < 15) { // unknown country
        iban[0] = 'X';
        iban[1] = static_cast<char>('A' + pick(r, 26));
    } else if (kind < 16) { // a character no IBAN has
        iban[at] = "-/ *"[pick(r, 4)];
    } else if (kind < 17) { // lower case
        for (char &c : iban) c = static_cast<char>(tolower(c));
    } else if (kind < 18) { // check digits 00, 01 or 99: aliases of 97, 98 and 02
        const std::string bban = iban.substr(4), country = iban.substr(0, 2);
        const std::string fixed = with_check_digits(country, bban);
        const std::string check = fixed.substr(2, 2);
        if (check == "97" || check == "98" || check == "02")
            iban = country + (check == "97" ? "00" : check == "98" ? "01" : "99") + bban;
        else
            iban[2] = iban[2] == '9' ? '0' : '9';
    } else if (iban.compare(0, 2, "DE") == 0 && kind < 19) { // check digits right, account wrong
        const std::string code = iban.substr(4, 8);
        std::string account;
        for (int attempt = 0; attempt < 400; ++attempt) {
            account = digits(r, 10);
            if (tarvo_account_check_bank(account.c_str(), code.c_str()) == -1) break;
        }
        iban = with_check_digits("DE", code + account);
    } else if (iban.compare(0, 2, "DE") == 0) { // check digits right, bank code gone
        iban = with_check_digits("DE", dir.absent[static_cast<size_t>(pick(r, static_cast<int>(dir.absent.size())))] +
                                           iban.substr(12));
    } else {
        iban[at] = iban[at] <= '9' ? 'K' : '5'; // a letter where a digit belongs, or the reverse
        iban = with_check_digits(iban.substr(0, 2), iban.substr(4));
    }
    return iban;
}

std::string german_iban(Random &r, const Directory &dir) {
    for (;;) {
        const std::string &code = dir.codes[static_cast<size_t>(pick(r, static_cast<int>(dir.codes.size())))];
        const std::string account = good_account(r, code);
        if (!account.empty()) return with_check_digits("DE", code + account);
    }
}

void write_ibans(Random &r, const std::string &path, bool german_only, const std::map<std::string, std::string> &models,
                 const Directory &dir, int count) {
    std::ofstream out(path);
    for (int i = 0; i < count; ++i) {
        const std::string country = german_only ? "DE" : countries[pick(r, 34)];
        std::string iban = country == "DE" ? german_iban(r, dir) : with_check_digits(country, bban_like(r, models.at(country)));
        if (pick(r, 10) == 0) iban = broken(r, iban, dir);
        out << iban << '\n';
    }
}

void write_accounts(Random &r, const std::string &path, const Directory &dir, int count) {
    std::ofstream out(path);
    for (int i = 0; i < count; ++i)
        out << dir.codes[static_cast<size_t>(pick(r, static_cast<int>(dir.codes.size())))] << ' ' << digits(r, 10) << '\n';
}

const char *const first_names[] = {"Erika", "Max", "Sabine", "Jürgen", "Aylin", "Thomas", "Katarzyna", "Lukas",
                                   "Mehmet", "Anna-Lena", "Björn", "Sophie", "Dieter", "Ewa", "Florian", "Grete"};
const char *const last_names[] = {"Mustermann", "Müller", "Schmidt", "Schneider", "Fischer", "Weber", "Meyer",
                                  "Wagner", "Becker", "Schulz", "Hoffmann", "Schäfer", "Koch", "Bauer", "Richter",
                                  "Klein", "Wolf", "Schröder", "Neumann", "Schwarz"};
const char *const streets[] = {"Hauptstr.", "Bahnhofstr.", "Gartenweg", "Lindenallee", "Schulstr.", "Am Markt"};

std::string person(Random &r) {
    return std::string(first_names[pick(r, 16)]) + " " + last_names[pick(r, 20)];
}

std::string amount(Random &r) {
    const int cents = 100 + pick(r, 500000);
    char text[32];
    snprintf(text, sizeof text, "%d.%02d", cents / 100, cents % 100);
    return text;
}

// One payment a line, tab-separated: name, IBAN, BIC, amount, end-to-end id, mandate id,
// mandate date, sequence type, collection date, remittance text.
void write_payments(Random &r, const std::string &path, const Directory &dir, int count) {
    std::ofstream out(path);
    const char *const sequence[] = {"FRST", "RCUR", "RCUR", "RCUR"};
    for (int i = 0; i < count; ++i) {
        std::string iban, bic(11, '\0');
        do {
            iban = german_iban(r, dir);
            bic.assign(12, '\0');
            tarvo_iban_getBIC(iban.c_str(), bic.data());
            bic.resize(strlen(bic.c_str()));
        } while (bic.size() != 11);
        char mandate_date[16], collection[16];
        snprintf(mandate_date, sizeof mandate_date, "20%02d-%02d-%02d", 15 + pick(r, 10), 1 + pick(r, 12), 1 + pick(r, 28));
        snprintf(collection, sizeof collection, "2026-12-%02d", 10 + pick(r, 5));
        out << person(r) << '\t' << iban << '\t' << bic << '\t' << amount(r) << '\t' << "E2E-2026-" << 100000 + i << '\t'
            << "MNDT-" << digits(r, 8) << '\t' << mandate_date << '\t' << sequence[pick(r, 4)] << '\t' << collection
            << '\t' << "Rechnung " << digits(r, 7) << " Kundennr. " << digits(r, 6) << " Beitrag Dezember 2026, "
            << streets[pick(r, 6)] << ' ' << 1 + pick(r, 120) << '\n';
    }
}

// The :86: value broken into lines of at most 65 characters, as banks write it.
void put_information(std::string &out, const std::string &info) {
    out += ":86:";
    for (size_t at = 0; at < info.size(); at += 65) {
        if (at) out += "\r\n";
        out += info.substr(at, 65);
    }
    out += "\r\n";
}

// Free text cut into the subfields ?20.. of 27 characters, the keyword counted in.
void put_remittance(std::string &info, int &subfield, const std::string &keyword_and_value) {
    for (size_t at = 0; at < keyword_and_value.size() && subfield <= 29; at += 27) {
        const char marker[] = {'?', static_cast<char>('0' + subfield / 10), static_cast<char>('0' + subfield % 10), '\0'};
        ++subfield;
        info.append(marker).append(keyword_and_value, at, 27);
    }
}

std::string mt940_amount(long cents) {
    char text[32];
    snprintf(text, sizeof text, "%ld,%02ld", cents / 100, cents % 100);
    return text;
}

void write_statements(Random &r, const std::string &path, const Directory &dir, size_t size) {
    std::ofstream out(path, std::ios::binary);
    struct Kind {
        int gvc;
        const char *text;
        const char *code;
        bool debit;
    };
    const Kind kinds[] = {{105, "SEPA-BASISLASTSCHRIFT", "NDDT", true}, {166, "SEPA-GUTSCHRIFT", "NTRF", false},
                          {177, "SEPA-UEBERWEISUNG", "NTRF", true},     {171, "SEPA-LASTSCHRIFT EINZUG", "NDDT", false},
                          {152, "DAUERAUFTRAG", "NSTO", true},         {109, "RUECKLASTSCHRIFT", "NRTI", true}};
    size_t written = 0;
    for (unsigned number = 1; written < size; ++number) {
        std::string s;
        const std::string own = german_iban(r, dir);
        long balance = 100000 + pick(r, 10000000);
        s += ":20:STARTUMS\r\n:25:" + own.substr(4, 8) + "/" + own.substr(12) + "\r\n";
        char line[128];
        snprintf(line, sizeof line, ":28C:%05u/001\r\n", number % 100000);
        s += line;
        s += std::string(":60F:") + (balance < 0 ? "D" : "C") + "261201EUR" + mt940_amount(balance) + "\r\n";
        const int transactions = 20 + pick(r, 60);
        for (int t = 0; t < transactions; ++t) {
            const Kind &k = kinds[pick(r, 6)];
            const long cents = 100 + pick(r, 250000);
            balance += k.debit ? -cents : cents;
            const int day = 1 + pick(r, 28);
            snprintf(line, sizeof line, ":61:2612%02d12%02d%s%s%sNONREF//%s\r\n", day, day, k.debit ? "D" : "C",
                     mt940_amount(cents).c_str(), k.code, digits(r, 16).c_str());
            s += line;
            const std::string counterparty = german_iban(r, dir);
            char bic[12] = "";
            tarvo_iban_getBIC(counterparty.c_str(), bic);
            std::string info = std::to_string(k.gvc) + "?00" + k.text + "?10" + digits(r, 4);
            int subfield = 20;
            put_remittance(info, subfield, "EREF+E2E-" + digits(r, 12) + "-" + digits(r, 4));
            if (k.code[1] == 'D') {
                put_remittance(info, subfield, "MREF+MNDT-" + digits(r, 10));
                put_remittance(info, subfield, "CRED+DE98ZZZ0" + digits(r, 10));
            }
            put_remittance(info, subfield, "SVWZ+Rechnung " + digits(r, 7) + " vom " + std::to_string(day) +
                                               ".12.2026 Kundennummer " + digits(r, 8) + " Vertrag " + digits(r, 5));
            if (pick(r, 3) == 0) put_remittance(info, subfield, "ABWA+" + person(r));
            info += std::string("?30") + bic + "?31" + counterparty + "?32" + person(r) + "?33" + streets[pick(r, 6)] +
                    "?34" + (k.code[1] == 'D' ? "992" : "000");
            put_information(s, info);
        }
        s += std::string(":62F:") + (balance < 0 ? "D" : "C") + "261231EUR" + mt940_amount(balance < 0 ? -balance : balance) +
             "\r\n-\r\n";
        out << s;
        written += s.size();
    }
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 4) {
        std::cerr << "usage: " << argv[0] << " <shared folder> <output folder> <MT940 megabytes>\n";
        return 2;
    }
    const std::string shared = argv[1], dir = argv[2];
    Random r(20261208);
    const auto models = templates(shared);
    for (const char *c : countries)
        if (!models.count(c)) {
            std::cerr << "no valid example IBAN of " << c << " in " << shared << "/testdata/ibans.csv\n";
            return 1;
        }
    const Directory directory = german_codes();
    write_ibans(r, dir + "/ibans_mixed.txt", false, models, directory, 1'000'000);
    write_ibans(r, dir + "/ibans_de.txt", true, models, directory, 1'000'000);
    write_accounts(r, dir + "/accounts.txt", directory, 1'000'000);
    write_payments(r, dir + "/payments.tsv", directory, 10'000);
    write_statements(r, dir + "/statements.sta", directory, static_cast<size_t>(atol(argv[3])) << 20);
    return 0;
}
