#include "sim/hub/diagnostics.h"

#include <cstdio>

namespace simhub {

void Complain(const std::string& what) {
    std::string line = what;
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    std::fprintf(stderr, "TessaroKDXLib: %s\n", line.c_str());
}

} // namespace simhub
