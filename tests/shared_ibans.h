// The IBANs of the shared examples (valid and invalid, every country), as listed.
#ifndef TARVO_TESTS_SHARED_IBANS_H
#define TARVO_TESTS_SHARED_IBANS_H

#include <fstream>
#include <string>
#include <vector>

inline std::vector<std::string> shared_ibans() {
    std::vector<std::string> out;
    std::ifstream in(TARVO_SHARED_DIR "/testdata/ibans.csv");
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        const size_t start = line.find(',') + 1;
        out.push_back(line.substr(start, line.find(',', start) - start));
    }
    return out;
}

#endif
