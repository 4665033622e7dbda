#include "source_writer.h"

#include <fstream>
#include <iterator>

#include "input.h"

namespace tarvogen {

std::string string_literal(std::string_view bytes) {
    std::string out = "\"";
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c >= 0x20 && c < 0x7F) {
            out += ch;
        } else {
            out += '\\';
            out += static_cast<char>('0' + (c >> 6));
            out += static_cast<char>('0' + ((c >> 3) & 7));
            out += static_cast<char>('0' + (c & 7));
        }
    }
    out += '"';
    return out;
}

void write_if_changed(const std::filesystem::path &path, const std::string &content) {
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (old == content)
                return;
        }
    }
    std::error_code ec;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ec);
    std::filesystem::path tmp = path;
    tmp += ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << content;
        if (!out)
            throw InputError(tmp.string() + ": cannot write");
    }
    std::filesystem::rename(tmp, path, ec);
    if (ec)
        throw InputError(path.string() + ": cannot replace: " + ec.message());
}

} // namespace tarvogen
