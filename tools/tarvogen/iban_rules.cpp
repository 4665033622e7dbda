// Generates the per-bank tables of the German IBAN rules (substitution lists, the
// no-IBAN bank codes, the account ranges of the merged mortgage banks, exemption and
// fixed-IBAN lists) from the Bundesbank's published rule data, one CSV file per table.
// Every line is validated; the first bad line stops the build with "file:line: message".
#include <cstdint>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvogen {
namespace {

// What a CSV column holds and how it is written into the generated source.
enum class Column { Account, BankCode, Prefix, Number, Iban };

// One generated table: where its rows come from and how they are laid out. A table of
// one column is a list of texts (char[width]); the others are arrays of row structs.
struct TableSpec {
    std::string file;
    std::string header;
    std::string type; // row struct, or the element width of a list
    std::string symbol;
    std::vector<Column> columns;
};

std::vector<TableSpec> table_specs() {
    using C = Column;
    std::vector<TableSpec> v;
    for (const std::string rule : {"0004", "0006", "0007", "0015", "0016", "0017", "0018", "0022",
                                   "0023", "0024", "0033", "0034", "0035", "0044", "0049", "0051",
                                   "0054"})
        v.push_back({"rule_" + rule + "_account_substitution.csv", "old_account,new_account",
                     "account_subst", "iban_subst_" + rule, {C::Account, C::Account}});
    v.push_back({"rule_0005_account_substitution.csv", "bank_code,old_account,new_account",
                 "bank_account_subst", "subst_3", {C::BankCode, C::Account, C::Account}});
    v.push_back({"rule_0005_no_iban_bank_codes.csv", "bank_code", "9", "noiban_4", {C::BankCode}});
    v.push_back({"rule_0030_exempt_accounts.csv", "account", "11", "iban_exempt_0030", {C::Account}});
    v.push_back({"rule_0031_0035_account_ranges.csv",
                 "prefix,source_bank_code,lowest_account,highest_account,target_bank_code",
                 "iban_map_row", "iban_map_0031",
                 {C::Prefix, C::BankCode, C::Number, C::Number, C::BankCode}});
    for (const std::string rule : {"0052", "0053"})
        v.push_back({"rule_" + rule + "_substitution.csv", "bank_code,account,new_bank_code,new_account",
                     "bank_account_move", "iban_moves_" + rule,
                     {C::BankCode, C::Account, C::BankCode, C::Account}});
    v.push_back({"rule_0054_fixed_ibans.csv", "account,iban", "fixed_iban", "iban_fixed_0054",
                 {C::Account, C::Iban}});
    v.push_back({"rule_0056_substitution.csv", "account,new_account,iban", "fixed_iban_move",
                 "iban_fixed_0056", {C::Account, C::Account, C::Iban}});
    return v;
}

[[noreturn]] void fail(const std::string &file, size_t line, const std::string &message) {
    throw std::runtime_error(file + ":" + std::to_string(line) + ": " + message);
}

bool digits(std::string_view s, size_t n) {
    if (s.size() != n) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

bool iban_check_digits_valid(std::string_view iban) {
    unsigned v = 0;
    for (size_t k = 0; k < iban.size(); ++k) {
        const char c = iban[(k + 4) % iban.size()];
        v = (c >= 'A' && c <= 'Z') ? (v * 100 + static_cast<unsigned>(c - 'A' + 10)) % 97
                                   : (v * 10 + static_cast<unsigned>(c - '0')) % 97;
    }
    return v == 1;
}

std::vector<std::string_view> split(std::string_view line) {
    std::vector<std::string_view> cells;
    for (size_t start = 0;;) {
        const size_t comma = line.find(',', start);
        cells.push_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos) return cells;
        start = comma + 1;
    }
}

// Checks one cell; returns its generated form.
std::string cell_source(Column kind, std::string_view cell, const std::string &file, size_t line) {
    switch (kind) {
    case Column::Account:
        if (!digits(cell, 10)) fail(file, line, "account is not 10 digits: " + std::string(cell));
        break;
    case Column::BankCode:
        if (!digits(cell, 8) || cell[0] == '0')
            fail(file, line, "bank code is not 8 digits: " + std::string(cell));
        break;
    case Column::Prefix:
        if (!digits(cell, 3) || cell[0] == '0')
            fail(file, line, "prefix is not a three-digit number: " + std::string(cell));
        return std::string(cell) + "u";
    case Column::Number:
        if (!digits(cell, 10)) fail(file, line, "account number is not 10 digits: " + std::string(cell));
        return std::string(cell) + "ull";
    case Column::Iban:
        if (cell.size() != 22 || cell.substr(0, 2) != "DE" || !digits(cell.substr(2), 20))
            fail(file, line, "not a German IBAN: " + std::string(cell));
        if (!iban_check_digits_valid(cell)) fail(file, line, "wrong IBAN check digits: " + std::string(cell));
        break;
    }
    return "\"" + std::string(cell) + "\"";
}

// Cross-column checks of the tables whose columns depend on each other.
void check_row(const TableSpec &spec, const std::vector<std::string_view> &cells,
               uint64_t &previous_lowest, const std::string &file, size_t line) {
    const std::string &symbol = spec.symbol;
    if (symbol == "iban_map_0031") {
        const uint64_t prefix = std::stoull(std::string(cells[0]));
        const uint64_t lowest = std::stoull(std::string(cells[2]));
        const uint64_t highest = std::stoull(std::string(cells[3]));
        if (lowest != prefix * 10000000ull || highest != lowest + 9999999ull)
            fail(file, line, "range does not cover the accounts of its prefix");
        if (lowest < previous_lowest) fail(file, line, "prefixes do not ascend");
        previous_lowest = lowest;
    } else if (symbol == "iban_fixed_0054" && cells[1].substr(12) != cells[0]) {
        fail(file, line, "IBAN does not end with the account");
    } else if (symbol == "iban_fixed_0056" && cells[2].substr(12) != cells[1]) {
        fail(file, line, "IBAN does not end with the new account");
    }
}

void emit_table(std::ostream &out, const TableSpec &spec, const std::string &dir) {
    const std::string file = dir + "/" + spec.file;
    std::ifstream in(file, std::ios::binary);
    if (!in) fail(file, 0, "cannot open");
    const bool list = spec.columns.size() == 1;
    if (list)
        out << "const char " << spec.symbol << "[][" << spec.type << "] = {\n";
    else
        out << "const " << spec.type << " " << spec.symbol << "[] = {\n";

    std::string text;
    size_t line = 0, rows = 0;
    uint64_t previous_lowest = 0;
    while (std::getline(in, text)) {
        ++line;
        if (line == 1) {
            if (text != spec.header) fail(file, line, "expected the header \"" + spec.header + "\"");
            continue;
        }
        const auto cells = split(text);
        if (cells.size() != spec.columns.size())
            fail(file, line, "expected " + std::to_string(spec.columns.size()) + " columns");
        std::string row;
        for (size_t i = 0; i < cells.size(); ++i)
            row += (i ? ", " : "") + cell_source(spec.columns[i], cells[i], file, line);
        check_row(spec, cells, previous_lowest, file, line);
        out << "    " << (list ? row : "{" + row + "}") << ",\n";
        ++rows;
    }
    if (rows == 0) fail(file, line, "no rows");
    out << (list ? "    \"\",\n" : "    {},\n") << "};\n";
    if (spec.symbol == "iban_map_0031")
        out << "const size_t iban_map_0031_rows = " << rows << ";\n";
    out << "\n";
}

} // namespace

// Writes the C++ source of every IBAN rule table read from dir (the iban_rules folder)
// to out; throws std::runtime_error with "file:line: message" on the first bad line.
void generate_iban_rules(const std::string &dir, std::ostream &out) {
    out << "// Generated by tarvogen from the Bundesbank's IBAN rule tables; do not edit.\n"
           "#include \"ident/iban_rules.h\"\n\n"
           "namespace tarvo {\n\n";
    for (const TableSpec &spec : table_specs()) emit_table(out, spec, dir);
    out << "} // namespace tarvo\n";
}

} // namespace tarvogen
