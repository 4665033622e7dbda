// The status texts of the IBAN conversion.
#include <gtest/gtest.h>

#include "status_text.h"

namespace {

TEST(StatusText, KnownStatuses) {
    EXPECT_STREQ(tarvotool::status_text(0), "-");
    EXPECT_STREQ(tarvotool::status_text(1), "Kontonummer wurde ersetzt");
    EXPECT_STREQ(tarvotool::status_text(10), "Bankleitzahl ung\xc3\xbcltig");
    EXPECT_STREQ(tarvotool::status_text(13), "Bankleitzahl wurde ersetzt (zur L\xc3\xb6schung vorgemerkt)");
    EXPECT_STREQ(tarvotool::status_text(50),
                 "F\xc3\xbcr diese Bankleitzahl konnte keine IBAN ermittelt werden - bitte Kontoinhaber fragen");
}

TEST(StatusText, UnknownStatusHasNoClosingParenthesis) {
    for (int status : {2, 9, 16, 22, 24, 49, 51, 127, 128, 255})
        EXPECT_STREQ(tarvotool::status_text(static_cast<uint8_t>(status)), "(unbekannter Status") << status;
}

} // namespace
