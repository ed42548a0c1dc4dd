#include "fuzz/FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

namespace norak::fuzz {

void require(bool holds, const char* target, const char* what) {
    if (holds)
        return;
    std::fprintf(stderr, "FUZZ PROPERTY FAILED: %s: %s\n", target, what);
    std::fflush(stderr);
    std::abort();
}

}  // namespace norak::fuzz
