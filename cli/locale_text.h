// Library texts (UTF-8) in the character set of the user's locale.
#ifndef TARVOTOOL_LOCALE_TEXT_H
#define TARVOTOOL_LOCALE_TEXT_H

namespace tarvotool {

// Opens the process-wide converter from UTF-8 to the locale's character set with
// transliteration; false (errno set) when the system has none.
bool open_locale_text();
void close_locale_text();

// The text converted into one shared output area of 1024 bytes, valid until the next
// call. A null text stays null; a text that cannot be converted is reported on
// standard error and comes back empty.
const char *in_locale(const char *utf8);

} // namespace tarvotool

#endif
