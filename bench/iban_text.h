// IBANs made up by the benchmarks: a country code and BBAN with the check digits that
// make them pass MOD 97-10.
#ifndef TARVO_BENCH_IBAN_TEXT_H
#define TARVO_BENCH_IBAN_TEXT_H

#include <string>

inline std::string with_check_digits(const std::string &country, const std::string &bban) {
    int remainder = 0;
    for (char c : bban + country + "00") {
        const int n = c <= '9' ? c - '0' : c - 'A' + 10;
        remainder = (n < 10 ? remainder * 10 + n : remainder * 100 + n) % 97;
    }
    const int check = 98 - remainder;
    return country + char('0' + check / 10) + char('0' + check % 10) + bban;
}

#endif
