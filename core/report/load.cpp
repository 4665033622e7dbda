#include <errno.h>
#include <string.h>
#include <unistd.h>

#include "frame/frame.h"
#include "report/report.h"

namespace tarvo::report {

void out_of_memory(char (&error)[256]) { format_error(error, "Error while allocating memory: %s", strerror(ENOMEM)); }

bool load(char (&error)[256], bool &used, const char *path, const char *data, size_t size,
          bool (*read)(void *context, const xml::Input &in), void *context) {
    if (used) {
        format_error(error, "Parser already used");
        return false;
    }
    used = true;
    if (path == nullptr && data == nullptr) {
        format_error(error, "Can't open input file: %s", strerror(EINVAL));
        return false;
    }
    if (path == nullptr) return read(context, xml::Input{-1, data, size});
    size_t file_size = 0;
    const int fd = open_input(path, file_size, error);
    if (fd < 0) return false;
    const bool ok = read(context, xml::Input{fd, nullptr, file_size});
    close(fd);
    return ok;
}

} // namespace tarvo::report
