#include "gl/ffp_program.h"

#include "core/report.h"

#include <cstring>
#include <vector>

namespace platform {
namespace {

constexpr GLuint kUniformBinding = 0;

GLuint CompileShader(GLenum kind, const std::string& source, std::string* error) {
    GLuint shader = glCreateShader(kind);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled) return shader;
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length) + 1);
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    if (error != nullptr) *error = log.data();
    glDeleteShader(shader);
    return 0;
}

GLuint LinkProgram(const FfpSources& sources, const FfpShape& shape, std::string* error) {
    GLuint vertex = CompileShader(GL_VERTEX_SHADER, sources.vertex(shape), error);
    GLuint fragment = vertex == 0 ? 0 : CompileShader(GL_FRAGMENT_SHADER, sources.fragment(shape), error);
    if (vertex == 0 || fragment == 0) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return 0;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, kAttributePosition, "inPosition");
    glBindAttribLocation(program, kAttributeNormal, "inNormal");
    glBindAttribLocation(program, kAttributePointSize, "inPointSize");
    glBindAttribLocation(program, kAttributeDiffuse, "inDiffuse");
    glBindAttribLocation(program, kAttributeSpecular, "inSpecular");
    glBindAttribLocation(program, kAttributeTexCoord0, "inTexCoord0");
    glBindAttribLocation(program, kAttributeTexCoord1, "inTexCoord1");
    glBindAttribLocation(program, kAttributeEdge, "inEdge");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        char log[2048] = {};
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        if (error != nullptr) *error = log;
        glDeleteProgram(program);
        return 0;
    }
    glUniformBlockBinding(program, glGetUniformBlockIndex(program, "FfpBlock"), kUniformBinding);
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);  // the state cache's idea of it stays true
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "texture0"), 0);
    glUniform1i(glGetUniformLocation(program, "texture1"), 1);
    glUseProgram(static_cast<GLuint>(current));
    return program;
}

}  // namespace

FfpProgram::~FfpProgram() {
    for (const auto& [shape, program] : programs_) {
        if (program != 0) glDeleteProgram(program);
    }
    if (uniformBuffer_ != 0) glDeleteBuffers(1, &uniformBuffer_);
}

GLuint FfpProgram::link(const FfpShape& shape) {
    std::string error;
    GLuint program = LinkProgram(sources_, shape, &error);
    if (program == 0) ReportFailure("the driver refused a fixed-function shader; draws that need it fail: " + error);
    return program;
}

GLuint FfpProgram::programFor(const FfpShape& shape) {
    if (lastProgram_ != 0 && shape == lastShape_) return lastProgram_;
    auto found = programs_.find(shape);
    if (found == programs_.end()) found = programs_.emplace(shape, link(shape)).first;  // a refusal is remembered too
    lastShape_ = shape;
    lastProgram_ = found->second;
    return lastProgram_;
}

bool FfpProgram::build(const FfpShape& first) {
    GLuint program = link(first);
    if (program == 0) return false;
    programs_.emplace(first, program);
    glGenBuffers(1, &uniformBuffer_);
    glBindBuffer(GL_UNIFORM_BUFFER, uniformBuffer_);
    glBufferData(GL_UNIFORM_BUFFER, sizeof(FfpUniforms), nullptr, GL_DYNAMIC_DRAW);
    glBindBufferBase(GL_UNIFORM_BUFFER, kUniformBinding, uniformBuffer_);
    return true;
}

void FfpProgram::upload(const FfpUniforms& uniforms) {
    if (uploaded_ && std::memcmp(&uniforms, &last_, sizeof uniforms) == 0) return;
    glBindBuffer(GL_UNIFORM_BUFFER, uniformBuffer_);
    glBufferSubData(GL_UNIFORM_BUFFER, 0, sizeof uniforms, &uniforms);
    last_ = uniforms;
    uploaded_ = true;
}

}  // namespace platform
