#include "gl/gl_profile.h"

#include "core/report.h"
#include "gl/gl_api.h"

#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

constexpr char kProfileVariable[] = "DEMO_GL_PROFILE";

GlProfile ProfileFromEnvironment() {
#if defined(__EMSCRIPTEN__)
    return GlProfile::kEs;
#else
    const char* value = std::getenv(kProfileVariable);
    if (value == nullptr || *value == '\0' || std::strcmp(value, "desktop") == 0) return GlProfile::kDesktop;
    if (std::strcmp(value, "es") == 0) return GlProfile::kEs;
    ReportFailure(std::string(kProfileVariable) + "=" + value + " is neither \"desktop\" nor \"es\": desktop GL it is");
    return GlProfile::kDesktop;
#endif
}

}  // namespace

GlProfile ChosenGlProfile() {
    static const GlProfile chosen = ProfileFromEnvironment();
    return chosen;
}

std::string CurrentGlVersion() {
    const GLubyte* version = glGetString(GL_VERSION);
    return version == nullptr ? std::string() : reinterpret_cast<const char*>(version);
}

}  // namespace platform
