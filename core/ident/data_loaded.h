// A data file in use: its checked tables and the mapping they point into.
#ifndef TARVO_DATA_LOADED_H
#define TARVO_DATA_LOADED_H

#include <string>

#include "ident/data_tables.h"

namespace tarvo {

struct loaded_data {
    data_file file;
    const void *mapping;
    size_t size;
    std::string path;
};

// The file the calling thread's data_pin holds; null for the compiled-in tables.
const loaded_data *pinned_data();

} // namespace tarvo

#endif
