// An IBAN judged without the library: ISO 13616 MOD 97-10 by long division over the
// digit string, written independently of the validator, so the two can check each other.
#ifndef TARVO_FUZZ_IBAN_ORACLE_H
#define TARVO_FUZZ_IBAN_ORACLE_H

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <string_view>

namespace fuzz {

// The remainder of the IBAN's number (letters as 10..35, the first four characters moved
// to the end), or -1 for a character that is neither a digit nor a capital.
inline int mod97(std::string_view iban) {
    if (iban.size() < 4) return -1;
    std::string digits;
    const std::string moved = std::string(iban.substr(4)) + std::string(iban.substr(0, 4));
    for (char c : moved) {
        if (c >= '0' && c <= '9')
            digits += c;
        else if (c >= 'A' && c <= 'Z')
            digits += std::to_string(c - 'A' + 10);
        else
            return -1;
    }
    int remainder = 0;
    for (char d : digits) remainder = (remainder * 10 + (d - '0')) % 97;
    return remainder;
}

// Stops the run when what the library calls an IBAN is none.
inline void expect_iban(std::string_view iban, const char *how) {
    const bool letters_then_digits = iban.size() >= 15 && iban.size() <= 34 && iban[0] >= 'A' && iban[0] <= 'Z' &&
                                     iban[1] >= 'A' && iban[1] <= 'Z' && iban[2] >= '0' && iban[2] <= '9' &&
                                     iban[3] >= '0' && iban[3] <= '9';
    if (letters_then_digits && mod97(iban) == 1) return;
    fprintf(stderr, "%s: '%.*s' fails MOD 97-10\n", how, static_cast<int>(iban.size()), iban.data());
    abort();
}

} // namespace fuzz

#endif
