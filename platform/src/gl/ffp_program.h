// The compiled fixed-function emulation: the one shader source, linked once for each
// FfpShape the device draws with, all programs sharing one uniform buffer of FfpUniforms.
#pragma once

#include "gl/ffp_shader_source.h"
#include "gl/ffp_state.h"

#include "gl/gl_api.h"

#include <map>
#include <string>

namespace platform {

// Where the GLSL of a shape comes from: the emulation's own sources, or a test's.
struct FfpSources {
    std::string (*vertex)(const FfpShape&) = FfpVertexShaderSource;
    std::string (*fragment)(const FfpShape&) = FfpFragmentShaderSource;
};

class FfpProgram {
public:
    explicit FfpProgram(FfpSources sources = {}) : sources_(sources) {}
    FfpProgram(const FfpProgram&) = delete;
    FfpProgram& operator=(const FfpProgram&) = delete;
    ~FfpProgram();

    // Makes the uniform buffer and links the program of a first shape; false when the driver
    // refuses it.
    bool build(const FfpShape& first);
    // The program for a shape, linked on first use; 0 when the driver refuses it. A refusal
    // is reported with the driver's log once, when the shape is first asked for.
    GLuint programFor(const FfpShape& shape);
    // Uploads the uniforms when they differ from the last upload.
    void upload(const FfpUniforms& uniforms);

private:
    GLuint link(const FfpShape& shape);

    FfpSources sources_;
    std::map<FfpShape, GLuint> programs_;
    FfpShape lastShape_{};
    GLuint lastProgram_ = 0;
    GLuint uniformBuffer_ = 0;
    FfpUniforms last_{};
    bool uploaded_ = false;
};

}  // namespace platform
