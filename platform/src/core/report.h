// The one way the platform layer tells the user about a failure that its caller cannot see in
// full (a shader the driver refused, a back buffer GL would not make): one line on standard
// error, "platform: " and the text, line breaks in the text folded into spaces.
#pragma once

#include <string>

namespace platform {

void ReportFailure(const std::string& text);

}  // namespace platform
