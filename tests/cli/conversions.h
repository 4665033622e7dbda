// German conversion examples from the shared test data, as the library answers them.
#ifndef TARVO_TESTS_CLI_CONVERSIONS_H
#define TARVO_TESTS_CLI_CONVERSIONS_H

#include <stdint.h>

#include <fstream>
#include <string>
#include <vector>

#include "tarvo.h"

namespace cli_test {

// Conversion cases from the shared examples, as the library answers them.
struct Conversion {
    std::string bank_code;
    std::string account;
    int result;
    uint8_t status;
    std::string iban;
};

inline std::vector<Conversion> conversions() {
    std::vector<Conversion> out;
    std::ifstream in(TARVO_SHARED_DIR "/testdata/iban_convert.csv");
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        const size_t a = line.find(',');
        const size_t b = line.find(',', a + 1);
        Conversion c{line.substr(0, a), line.substr(a + 1, b - a - 1), 0, 0, ""};
        char iban[64] = "";
        c.result = tarvo_iban_convert("DE", c.account.c_str(), c.bank_code.c_str(), iban, &c.status);
        c.iban = iban;
        out.push_back(c);
    }
    return out;
}

inline const Conversion *find(const std::vector<Conversion> &all, bool converted, uint8_t status) {
    for (const Conversion &c : all)
        if ((c.result == 1) == converted && c.status == status) return &c;
    return nullptr;
}

} // namespace cli_test

#endif
