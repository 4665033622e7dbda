// Generates the per-bank tables of the German IBAN rules (substitution lists, the
// no-IBAN bank codes, the account ranges of the merged mortgage banks, exemption and
// fixed-IBAN lists) from the Bundesbank's published rule data, one CSV file per table.
// Every line is validated; the first bad line stops the build with "file:line: message".
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "input.h"
#include "modules.h"
#include "source_writer.h"

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

bool digits(std::string_view s, size_t n) { return s.size() == n && all_digits(s); }

bool iban_check_digits_valid(std::string_view iban) {
    unsigned v = 0;
    for (size_t k = 0; k < iban.size(); ++k) {
        const char c = iban[(k + 4) % iban.size()];
        v = (c >= 'A' && c <= 'Z') ? (v * 100 + static_cast<unsigned>(c - 'A' + 10)) % 97
                                   : (v * 10 + static_cast<unsigned>(c - '0')) % 97;
    }
    return v == 1;
}

// Checks one cell; returns its generated form.
std::string cell_source(Column kind, std::string_view cell, const LineReader &reader) {
    const std::string text(cell);
    switch (kind) {
    case Column::Account:
        if (!digits(cell, 10)) reader.fail("account is not 10 digits: " + text);
        break;
    case Column::BankCode:
        if (!digits(cell, 8) || cell[0] == '0') reader.fail("not an 8-digit bank code: " + text);
        break;
    case Column::Prefix:
        if (!digits(cell, 3) || cell[0] == '0') reader.fail("prefix is not a three-digit number: " + text);
        return text + "u";
    case Column::Number:
        if (!digits(cell, 10)) reader.fail("account number is not 10 digits: " + text);
        return text + "ull";
    case Column::Iban:
        if (cell.size() != 22 || cell.substr(0, 2) != "DE" || !all_digits(cell.substr(2)))
            reader.fail("not a German IBAN: " + text);
        if (!iban_check_digits_valid(cell)) reader.fail("wrong IBAN check digits: " + text);
        break;
    }
    return string_literal(cell);
}

// Cross-column checks of the tables whose columns depend on each other.
void check_row(const TableSpec &table, const std::vector<std::string_view> &cells,
               uint64_t &previous_lowest, const LineReader &reader) {
    if (table.symbol == "iban_map_0031") {
        const uint64_t prefix = std::stoull(std::string(cells[0]));
        const uint64_t lowest = std::stoull(std::string(cells[2]));
        const uint64_t highest = std::stoull(std::string(cells[3]));
        if (lowest != prefix * 10000000ull || highest != lowest + 9999999ull)
            reader.fail("range does not cover the accounts of its prefix");
        if (lowest < previous_lowest) reader.fail("prefixes do not ascend");
        previous_lowest = lowest;
    } else if (table.symbol == "iban_fixed_0054" && cells[1].substr(12) != cells[0]) {
        reader.fail("IBAN does not end with the account");
    } else if (table.symbol == "iban_fixed_0056" && cells[2].substr(12) != cells[1]) {
        reader.fail("IBAN does not end with the new account");
    }
}

void emit_table(std::ostream &out, const TableSpec &table, const std::filesystem::path &dir) {
    LineReader reader(dir / table.file, Encoding::Utf8);
    std::string_view line;
    if (!reader.next(line) || trim(line) != table.header)
        reader.fail("expected the header \"" + table.header + "\"");

    const bool list = table.columns.size() == 1;
    if (list)
        out << "const char " << table.symbol << "[][" << table.type << "] = {\n";
    else
        out << "const " << table.type << " " << table.symbol << "[] = {\n";
    size_t rows = 0;
    uint64_t previous_lowest = 0;
    while (reader.next(line)) {
        if (trim(line).empty()) continue;
        const auto cells = split(line, ',');
        if (cells.size() != table.columns.size())
            reader.fail("expected " + std::to_string(table.columns.size()) + " columns");
        std::string row;
        for (size_t i = 0; i < cells.size(); ++i)
            row += (i ? ", " : "") + cell_source(table.columns[i], cells[i], reader);
        check_row(table, cells, previous_lowest, reader);
        out << "    " << (list ? row : "{" + row + "}") << ",\n";
        ++rows;
    }
    if (rows == 0) reader.fail("no rows");
    out << (list ? "    \"\",\n" : "    {},\n") << "};\n";
    if (table.symbol == "iban_map_0031") out << "const size_t iban_map_0031_rows = " << rows << ";\n";
    out << "\n";
}

} // namespace

// Writes iban_rule_tables.cpp from data_dir/de/iban_rules (rewritten only when its content
// changes); throws InputError "file:line: message" on the first bad line.
void write_iban_rules(const std::filesystem::path &data_dir, const std::filesystem::path &out_dir) {
    std::ostringstream out;
    out << "// Generated by tarvogen from the Bundesbank's IBAN rule tables; do not edit.\n"
           "#include \"ident/iban_rules.h\"\n\n"
           "namespace tarvo {\n\n";
    for (const TableSpec &table : table_specs()) emit_table(out, table, data_dir / "de" / "iban_rules");
    out << "} // namespace tarvo\n";
    write_if_changed(out_dir / "iban_rule_tables.cpp", out.str());
}

} // namespace tarvogen
