// Writing generated C++ sources: byte-exact string literals, numeric arrays, and files
// that are replaced only when their content changes (so an unchanged table does not make
// the core compile again).
#ifndef TARVOGEN_SOURCE_WRITER_H
#define TARVOGEN_SOURCE_WRITER_H

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace tarvogen {

// A C++ string literal with exactly these bytes: printable ASCII as is, everything else
// (NUL, UTF-8 bytes, control bytes) as three-digit octal escapes, which never swallow a
// following digit.
std::string string_literal(std::string_view bytes);

// "const <type> <name>[<n>] = {...};" with 12 values a line.
template <typename T>
void write_array(std::ostream &out, std::string_view type, std::string_view name, const std::vector<T> &values) {
    out << "const " << type << ' ' << name << '[' << values.size() << "] = {";
    for (std::size_t i = 0; i < values.size(); ++i)
        out << (i % 12 == 0 ? "\n    " : " ") << static_cast<int64_t>(values[i]) << ',';
    out << "\n};\n";
}

// Writes content to path unless the file already holds exactly it; throws InputError when
// the file cannot be written.
void write_if_changed(const std::filesystem::path &path, const std::string &content);

} // namespace tarvogen

#endif
