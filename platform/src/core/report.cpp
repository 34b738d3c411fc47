#include "core/report.h"

#include <cstdio>

namespace platform {

void ReportFailure(const std::string& text) {
    std::string line = "platform: ";
    for (char c : text) line += (c == '\n' || c == '\r') ? ' ' : c;
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace platform
