#include "core/report.h"

#include <host.h>

#include <cstdio>
#include <functional>
#include <utility>

namespace platform {
namespace {

std::function<void(const std::string&)>& FailureListener() {
    static std::function<void(const std::string&)> listener;
    return listener;
}

}  // namespace

void ReportFailure(const std::string& text) {
    std::string line = "platform: ";
    for (char c : text) line += (c == '\n' || c == '\r') ? ' ' : c;
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (FailureListener()) {
        FailureListener()(line);
        return;
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace platform

namespace host {

void SetFailureListener(std::function<void(const std::string& line)> listener) {
    platform::FailureListener() = std::move(listener);
}

}  // namespace host
