// Internal interface of the payment QR codes: the payload texts of Swiss QR-bills and EPC
// codes, read and written on top of the identifier checks below them.
#ifndef TARVO_QR_H
#define TARVO_QR_H

#include <stddef.h>
#include <stdint.h>

#include <string_view>

#include "tarvo.h"

namespace tarvo::qr {

// A refusal: the field it concerns and why. The exported functions write "field: reason".
struct Refusal {
    const char *field = nullptr;
    char reason[160] = {};
};
// Sets the refusal and returns false, so that checks read `return refuse(...)`.
bool refuse(Refusal &r, const char *field, const char *fmt, ...) __attribute__((format(printf, 3, 4)));
// Writes "field: reason" into the caller's buffer (when there is one).
void report(const Refusal &r, char *error, size_t size);
// The start of every exported call: the caller's error text cleared. False, with the refusal
// reported, when the payload or the record is missing.
bool begin(const void *input, const void *output, const char *field, char *error, size_t size);
// A payload handed to the caller: a malloc'ed, NUL-terminated copy (null when out of memory).
char *hand_over(std::string_view payload);

// The texts of a payload cut at its line ends: LF or CR LF, mixed as they come; one line end
// at the very end closes the last line instead of opening an empty one. The number of lines,
// or -1 when there are more than max.
int split_lines(std::string_view payload, std::string_view *lines, int max);

// Which characters a field may hold, as a predicate on code points.
using CharacterSet = bool (*)(uint32_t);
bool swiss_character(uint32_t code_point);
bool printable_character(uint32_t code_point);
// The number of characters of a UTF-8 text, or -1 (with the refusal set) when it is not
// well-formed or holds a character outside the set.
int count_characters(std::string_view text, CharacterSet allowed, const char *field, Refusal &r);
// A field of at most max characters from the set; an empty one is refused when required.
bool check_text(std::string_view text, size_t max, bool required, CharacterSet allowed, const char *field,
                Refusal &r);

// An amount written as units, a point and two decimals ("0.50", "1250.00"): no sign, no
// leading zero, no grouping. decimals_optional also reads "12" and "12.5". -1 when the text
// is not such an amount or exceeds the largest amount.
int64_t read_amount(std::string_view text, bool decimals_optional);

// A field of a C record as a view: null is empty.
inline std::string_view view(const char *text) { return text == nullptr ? std::string_view{} : std::string_view{text}; }

// Texts copied behind a record in the same malloc'ed block: record_size bytes for the
// record, then each text with its NUL. Empty texts become null.
class RecordBlock {
  public:
    RecordBlock(size_t record_size, size_t text_bytes);
    ~RecordBlock();
    RecordBlock(const RecordBlock &) = delete;
    RecordBlock &operator=(const RecordBlock &) = delete;
    bool ok() const { return block_ != nullptr; }
    void *record() { return block_; }
    const char *copy(std::string_view text);
    // Hands the block to the caller.
    void *release();

  private:
    char *block_;
    char *next_;
};

// The Unicode code point of a byte in the EPC character set 2 to 8 (1 is UTF-8 and read as
// such); 0 for a byte the set does not define or a control character.
uint32_t epc_code_point(int charset, unsigned char byte);

} // namespace tarvo::qr

#endif
