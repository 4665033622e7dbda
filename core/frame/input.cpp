// Reading from files for every reader of the library.
#include <errno.h>
#include <unistd.h>

#include <algorithm>

#include "frame/frame.h"

namespace tarvo {

long read_some(int fd, void *into, size_t count) {
    constexpr size_t max_read = size_t{1} << 30;
    ssize_t n;
    do {
        n = read(fd, into, std::min(count, max_read));
    } while (n < 0 && errno == EINTR);
    return n;
}

} // namespace tarvo
