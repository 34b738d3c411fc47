// The compiled fixed-function emulation: the one shader source, linked once for each
// FfpShape the device draws with, all programs sharing one uniform buffer of FfpUniforms.
#pragma once

#include "gl/ffp_state.h"

#include <epoxy/gl.h>

#include <map>
#include <string>

namespace platform {

class FfpProgram {
public:
    FfpProgram() = default;
    FfpProgram(const FfpProgram&) = delete;
    FfpProgram& operator=(const FfpProgram&) = delete;
    ~FfpProgram();

    // Makes the uniform buffer and links the program of a first shape; false (with the GL
    // log in error) when the driver refuses.
    bool build(const FfpShape& first, std::string* error);
    // The program for a shape, linked on first use; 0 when the driver refuses it.
    GLuint programFor(const FfpShape& shape);
    // Uploads the uniforms when they differ from the last upload.
    void upload(const FfpUniforms& uniforms);

private:
    std::map<FfpShape, GLuint> programs_;
    FfpShape lastShape_{};
    GLuint lastProgram_ = 0;
    GLuint uniformBuffer_ = 0;
    FfpUniforms last_{};
    bool uploaded_ = false;
};

}  // namespace platform
