// Reading the publishers' files: whole files split into lines, ';'/',' fields, the two
// encodings they come in, and errors that name file and line so a bad edition stops the
// build at the place to look at.
#ifndef TARVOGEN_INPUT_H
#define TARVOGEN_INPUT_H

#include <cstddef>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvogen {

// Every failure of a generator module; what() is the complete message for the build log.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Encoding { Latin1, Utf8, Detect };

// A data file read into memory and walked line by line (LF or CRLF). With Encoding::Detect
// the file counts as UTF-8 when all of it is valid UTF-8, else as ISO-8859-1.
class LineReader {
public:
    LineReader(const std::filesystem::path &path, Encoding encoding);

    // The next line without its line end, as raw bytes of the file; false at the end.
    bool next(std::string_view &line);
    std::size_t line_number() const { return line_no_; }
    Encoding encoding() const { return encoding_; }
    // A field of the current line in UTF-8, whatever the file's encoding.
    std::string text(std::string_view raw) const;

    // Throws InputError "<file>:<line>: <message>".
    [[noreturn]] void fail(std::string_view message) const;
    // A BIC field of the current line in its 11-character form ("XXX" added to 8
    // characters); empty stays empty. Anything else is an error on this line.
    std::string bic(std::string_view raw) const;

private:
    std::string name_;
    std::string data_;
    std::size_t pos_ = 0;
    std::size_t line_no_ = 0;
    Encoding encoding_;
};

std::vector<std::string_view> split(std::string_view line, char separator);
std::string_view trim(std::string_view text);
bool all_digits(std::string_view text);
// Upper-case letters and digits, 8 or 11 of them.
bool is_bic(std::string_view text);
bool is_valid_utf8(std::string_view text);
std::string latin1_to_utf8(std::string_view text);
std::string pad_left(std::string_view text, std::size_t width, char fill);

// A calendar date taken from a file name.
struct FileDate {
    int year, month, day;
    auto operator<=>(const FileDate &) const = default;
};

// Days since 1970-01-01 of a day (proleptic Gregorian), and back.
long days_from_civil(const FileDate &date);
FileDate civil_from_days(long days);
// A day that exists in the calendar, from 1970 on.
bool valid_date(const FileDate &date);

// The files of dir whose names are prefix + "YYYY_MM_DD" (or "YYYY_MM" when with_day is
// false) + suffix, oldest first. Names with impossible dates are ignored.
struct DatedFile {
    FileDate date;
    std::filesystem::path path;
};
std::vector<DatedFile> dated_files(const std::filesystem::path &dir, std::string_view prefix,
                                   std::string_view suffix, bool with_day);

// Throws an InputError saying what to download and where to put it when path is missing.
void require_file(const std::filesystem::path &path, std::string_view what_to_get);

} // namespace tarvogen

#endif
