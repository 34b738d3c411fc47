// The compiled fixed-function emulation: one program per shading mode, sharing one uniform
// buffer that holds FfpUniforms.
#pragma once

#include "gl/ffp_state.h"

#include <epoxy/gl.h>

#include <string>

namespace platform {

class FfpProgram {
public:
    FfpProgram() = default;
    FfpProgram(const FfpProgram&) = delete;
    FfpProgram& operator=(const FfpProgram&) = delete;
    ~FfpProgram();

    // Compiles both variants; false (with the GL log in error) when the driver refuses.
    bool build(std::string* error);
    GLuint program(bool flatShading) const { return flatShading ? flat_ : smooth_; }
    // Uploads the uniforms when they differ from the last upload.
    void upload(const FfpUniforms& uniforms);

private:
    GLuint smooth_ = 0;
    GLuint flat_ = 0;
    GLuint uniformBuffer_ = 0;
    FfpUniforms last_{};
    bool uploaded_ = false;
};

}  // namespace platform
