// Submission cost of the GL device against the same work written directly in OpenGL, and one
// lit, textured frame. Runs headless. The raw-GL half shares the device's context, which is
// why this benchmark (alone outside platform/src) includes the GL headers.
#include <d3d9.h>
#include <windows.h>

#include <host.h>

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int kSize = 256;
constexpr int kDraws = 1000;

struct Vertex {  // D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// One window and GL device for the whole run.
IDirect3DDevice9* Device() {
    static IDirect3DDevice9* device = [] {
        host::SetHeadless(true);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Procedure;
        windowClass.lpszClassName = L"GlBench";
        RegisterClassExW(&windowClass);
        HWND window = CreateWindowExW(0, L"GlBench", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, kSize, kSize, nullptr,
                                      nullptr, nullptr, nullptr);
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = kSize;
        parameters.BackBufferHeight = kSize;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.Windowed = TRUE;
        parameters.EnableAutoDepthStencil = TRUE;
        parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
        IDirect3DDevice9* created = nullptr;
        IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
        d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0, &parameters, &created);
        d3d->Release();
        return created;
    }();
    return device;
}

IDirect3DTexture9* CheckerTexture(IDirect3DDevice9* device, D3DCOLOR a, D3DCOLOR b) {
    IDirect3DTexture9* texture = nullptr;
    device->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 64; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < 64; ++x) row[x] = ((x ^ y) & 8) ? a : b;
    }
    texture->UnlockRect(0);
    return texture;
}

// 1000 small quads through the layer, each after a render-state and a texture change.
class LayerDraws {
public:
    LayerDraws() : device_(Device()) {
        textures_[0] = CheckerTexture(device_, 0xffffffff, 0xff808080);
        textures_[1] = CheckerTexture(device_, 0xffff0000, 0xff0000ff);
        Vertex quad[4] = {{0, 0, 0.5f, 1, 0xffffffff, 0, 0}, {8, 0, 0.5f, 1, 0xffffffff, 1, 0},
                          {0, 8, 0.5f, 1, 0xffffffff, 0, 1}, {8, 8, 0.5f, 1, 0xffffffff, 1, 1}};
        device_->CreateVertexBuffer(sizeof quad, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer_, nullptr);
        void* data = nullptr;
        buffer_->Lock(0, 0, &data, 0);
        std::memcpy(data, quad, sizeof quad);
        buffer_->Unlock();
        device_->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        device_->SetStreamSource(0, buffer_, 0, sizeof(Vertex));
        device_->SetRenderState(D3DRS_ZENABLE, FALSE);
    }
    ~LayerDraws() {
        device_->SetTexture(0, nullptr);
        device_->SetStreamSource(0, nullptr, 0, 0);
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        buffer_->Release();
        textures_[0]->Release();
        textures_[1]->Release();
    }
    void Run() {
        device_->BeginScene();
        for (int i = 0; i < kDraws; ++i) {
            device_->SetRenderState(D3DRS_ALPHABLENDENABLE, i & 1);
            device_->SetTexture(0, textures_[i & 1]);
            device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
        }
        device_->EndScene();
        glFinish();
    }

private:
    IDirect3DDevice9* device_;
    IDirect3DTexture9* textures_[2] = {nullptr, nullptr};
    IDirect3DVertexBuffer9* buffer_ = nullptr;
};

GLuint Compile(GLenum kind, const char* source) {
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

// The GL state the raw draws change, put back afterwards so that the device's state cache
// stays true.
struct SavedGlState {
    GLint vertexArray = 0, arrayBuffer = 0, program = 0, activeTexture = GL_TEXTURE0, texture = 0, sampler = 0;
    GLboolean blend = GL_FALSE;
    void Capture() {
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
        glActiveTexture(GL_TEXTURE0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        glGetIntegerv(GL_SAMPLER_BINDING, &sampler);
        blend = glIsEnabled(GL_BLEND);
    }
    void Restore() const {
        glBindVertexArray(vertexArray);
        glBindBuffer(GL_ARRAY_BUFFER, arrayBuffer);
        glUseProgram(program);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture);
        glBindSampler(0, sampler);
        glActiveTexture(activeTexture);
        if (blend) glEnable(GL_BLEND);
        else glDisable(GL_BLEND);
    }
};

// The same 1000 quads written directly in GL: a minimal textured shader, one vertex buffer,
// blending toggled and the texture switched between draws, into the device's back buffer.
class RawGlDraws {
public:
    RawGlDraws() {
        Device();  // makes the context current and binds the back buffer
        saved_.Capture();
        const char* vertexSource =
            "#version 330 core\nin vec2 position; in vec2 uv; out vec2 vUv;\n"
            "void main() { vUv = uv; gl_Position = vec4(position / 128.0 - 1.0, 0.0, 1.0); }\n";
        const char* fragmentSource =
            "#version 330 core\nuniform sampler2D image; in vec2 vUv; out vec4 color;\n"
            "void main() { color = texture(image, vUv); }\n";
        program_ = glCreateProgram();
        glAttachShader(program_, Compile(GL_VERTEX_SHADER, vertexSource));
        glAttachShader(program_, Compile(GL_FRAGMENT_SHADER, fragmentSource));
        glBindAttribLocation(program_, 0, "position");
        glBindAttribLocation(program_, 1, "uv");
        glLinkProgram(program_);
        std::vector<uint32_t> texels(64 * 64, 0xffffffff);
        glGenTextures(2, textures_);
        glActiveTexture(GL_TEXTURE0);
        for (GLuint texture : textures_) {
            glBindTexture(GL_TEXTURE_2D, texture);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        }
        const float quad[16] = {0, 0, 0, 0, 8, 0, 1, 0, 0, 8, 0, 1, 8, 8, 1, 1};
        glGenVertexArrays(1, &vertexArray_);
        glGenBuffers(1, &buffer_);
        glBindVertexArray(vertexArray_);
        glBindBuffer(GL_ARRAY_BUFFER, buffer_);
        glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<void*>(8));
        glBindVertexArray(saved_.vertexArray);
    }
    ~RawGlDraws() {
        saved_.Restore();
        glDeleteBuffers(1, &buffer_);
        glDeleteVertexArrays(1, &vertexArray_);
        glDeleteTextures(2, textures_);
        glDeleteProgram(program_);
    }
    void Run() {
        glBindVertexArray(vertexArray_);
        glUseProgram(program_);
        glActiveTexture(GL_TEXTURE0);
        glBindSampler(0, 0);  // the texture's own filtering, not the device's sampler object
        for (int i = 0; i < kDraws; ++i) {
            if (i & 1) glEnable(GL_BLEND);
            else glDisable(GL_BLEND);
            glBindTexture(GL_TEXTURE_2D, textures_[i & 1]);
            glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        }
        glFinish();
    }
    // Hands GL back to the device as it left it.
    void Restore() const { saved_.Restore(); }

private:
    SavedGlState saved_;
    GLuint program_ = 0, vertexArray_ = 0, buffer_ = 0;
    GLuint textures_[2] = {0, 0};
};

void BM_LayerThousandDraws(benchmark::State& state) {
    LayerDraws draws;
    for (auto _ : state) draws.Run();
    state.counters["per_draw_us"] = benchmark::Counter(kDraws * state.iterations(),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LayerThousandDraws)->Unit(benchmark::kMicrosecond);

void BM_RawGlThousandDraws(benchmark::State& state) {
    {
        RawGlDraws draws;
        for (auto _ : state) draws.Run();
    }
    state.counters["per_draw_us"] = benchmark::Counter(kDraws * state.iterations(),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RawGlThousandDraws)->Unit(benchmark::kMicrosecond);

// Both batches in turn in every iteration, so that they meet the same machine load; the
// counters give each batch's wall time and the layer's cost as a multiple of raw GL's.
void BM_LayerOverRawGl(benchmark::State& state) {
    LayerDraws layer;
    RawGlDraws raw;
    raw.Restore();
    double layerSeconds = 0, rawSeconds = 0;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        auto start = Clock::now();
        layer.Run();
        auto middle = Clock::now();
        raw.Run();
        raw.Restore();
        auto end = Clock::now();
        layerSeconds += std::chrono::duration<double>(middle - start).count();
        rawSeconds += std::chrono::duration<double>(end - middle).count();
    }
    double iterations = static_cast<double>(state.iterations());
    state.counters["layer_ms"] = 1000 * layerSeconds / iterations;
    state.counters["raw_gl_ms"] = 1000 * rawSeconds / iterations;
    state.counters["ratio"] = rawSeconds > 0 ? layerSeconds / rawSeconds : 0;
}
BENCHMARK(BM_LayerOverRawGl)->Unit(benchmark::kMicrosecond);

// One frame of 10,000 lit, textured triangles in 100 draws of 100 triangles each.
void BM_LitTexturedFrame(benchmark::State& state) {
    IDirect3DDevice9* device = Device();
    struct LitVertex {
        float x, y, z, nx, ny, nz, u, v;
    };
    std::vector<LitVertex> vertices;
    for (int i = 0; i < 100; ++i) {  // a fan-like ring of 100 triangles per draw
        float a0 = i * 0.0628f, a1 = (i + 1) * 0.0628f;
        vertices.push_back({0, 0, 0, 0, 0, -1, 0.5f, 0.5f});
        vertices.push_back({std::cos(a0), std::sin(a0), 0, 0, 0, -1, 0, 0});
        vertices.push_back({std::cos(a1), std::sin(a1), 0, 0, 0, -1, 1, 1});
    }
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT bytes = static_cast<UINT>(vertices.size() * sizeof(LitVertex));
    device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer, nullptr);
    void* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, vertices.data(), bytes);
    buffer->Unlock();
    IDirect3DTexture9* texture = CheckerTexture(device, 0xffffffff, 0xff404040);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};
    D3DMATERIAL9 material{};
    material.Diffuse = material.Ambient = {1, 1, 1, 1};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetMaterial(&material);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    device->SetStreamSource(0, buffer, 0, sizeof(LitVertex));
    device->SetTexture(0, texture);
    host::SetFinishOnPresent(true);
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xff000000, 1.0f, 0);
        device->BeginScene();
        for (int i = 0; i < 100; ++i) {
            D3DMATRIX world{};
            world._11 = world._22 = world._33 = 0.1f;
            world._44 = 1;
            world._41 = -0.9f + 0.18f * (i % 10);
            world._42 = -0.9f + 0.18f * (i / 10);
            world._43 = 0.5f;
            device->SetTransform(D3DTS_WORLD, &world);
            device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 100);
        }
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    host::SetFinishOnPresent(false);
    device->SetTexture(0, nullptr);
    device->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
    texture->Release();
}
BENCHMARK(BM_LitTexturedFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
