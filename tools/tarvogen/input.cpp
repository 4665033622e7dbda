#include "input.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <regex>

namespace tarvogen {

namespace fs = std::filesystem;

LineReader::LineReader(const fs::path &path, Encoding encoding)
    : name_(path.string()), encoding_(encoding) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw InputError(name_ + ": cannot open the file");
    data_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        throw InputError(name_ + ": read error");
    if (encoding_ == Encoding::Detect)
        encoding_ = is_valid_utf8(data_) ? Encoding::Utf8 : Encoding::Latin1;
}

bool LineReader::next(std::string_view &line) {
    if (pos_ >= data_.size())
        return false;
    std::size_t end = data_.find('\n', pos_);
    if (end == std::string::npos)
        end = data_.size();
    std::string_view view(data_.data() + pos_, end - pos_);
    if (!view.empty() && view.back() == '\r')
        view.remove_suffix(1);
    pos_ = end + 1;
    ++line_no_;
    line = view;
    return true;
}

std::string LineReader::text(std::string_view raw) const {
    if (encoding_ == Encoding::Latin1)
        return latin1_to_utf8(raw);
    if (!is_valid_utf8(raw))
        fail("text is not valid UTF-8");
    return std::string(raw);
}

void LineReader::fail(std::string_view message) const {
    throw InputError(name_ + ":" + std::to_string(line_no_) + ": " + std::string(message));
}

std::string LineReader::bic(std::string_view raw) const {
    std::string_view bic = trim(raw);
    if (bic.empty())
        return {};
    if (!is_bic(bic))
        fail("not a BIC: \"" + std::string(bic) + "\"");
    std::string full(bic);
    if (full.size() == 8)
        full += "XXX";
    return full;
}

std::vector<std::string_view> split(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = line.find(separator, start);
        if (end == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
}

std::string_view trim(std::string_view text) {
    constexpr std::string_view blanks = " \t";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool all_digits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool is_bic(std::string_view text) {
    if (text.size() != 8 && text.size() != 11)
        return false;
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

bool is_valid_utf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        static constexpr uint32_t min_for_length[] = {0, 0x80, 0x800, 0x10000};
        if (cp < min_for_length[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += extra + 1;
    }
    return true;
}

std::string latin1_to_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string pad_left(std::string_view text, std::size_t width, char fill) {
    std::string out;
    if (text.size() < width)
        out.assign(width - text.size(), fill);
    out += text;
    return out;
}

long days_from_civil(const FileDate &date) {
    int y = date.year - (date.month <= 2);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

FileDate civil_from_days(long days) {
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long doe = days - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (month <= 2)), month, day};
}

bool valid_date(const FileDate &d) {
    static constexpr int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.year < 1970 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > days[d.month - 1])
        return false;
    bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    return !(d.month == 2 && d.day == 29 && !leap);
}

std::vector<DatedFile> dated_files(const fs::path &dir, std::string_view prefix, std::string_view suffix,
                                   bool with_day) {
    const std::regex pattern(with_day ? "([0-9]{4})_([0-9]{2})_([0-9]{2})" : "([0-9]{4})_([0-9]{2})");
    std::vector<DatedFile> found;
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(dir, ec)) {
        std::string name = entry.path().filename().string();
        if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix))
            continue;
        std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        std::smatch m;
        if (!std::regex_match(middle, m, pattern))
            continue;
        FileDate date{std::stoi(m[1]), std::stoi(m[2]), with_day ? std::stoi(m[3]) : 1};
        if (valid_date(date))
            found.push_back({date, entry.path()});
    }
    std::sort(found.begin(), found.end(), [](const DatedFile &a, const DatedFile &b) { return a.date < b.date; });
    return found;
}

void require_file(const fs::path &path, std::string_view what_to_get) {
    if (!fs::is_regular_file(path))
        throw InputError(path.string() + ": missing; " + std::string(what_to_get));
}

} // namespace tarvogen
