// Submission cost of the GL device against the same work written directly in OpenGL, and one
// lit, textured frame. Runs headless. The raw-GL half shares the device's context, which is
// why this benchmark (alone outside platform/src) includes the GL headers.
#include <d3d9.h>
#include <windows.h>

#include <host.h>

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

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
        Direct3DCreate9(D3D_SDK_VERSION)->CreateDevice(0, D3DDEVTYPE_HAL, window, 0, &parameters, &created);
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

// 1000 small quads, each after a render-state and a texture change, through the layer.
void BM_LayerThousandDraws(benchmark::State& state) {
    IDirect3DDevice9* device = Device();
    IDirect3DTexture9* textures[2] = {CheckerTexture(device, 0xffffffff, 0xff808080),
                                      CheckerTexture(device, 0xffff0000, 0xff0000ff)};
    Vertex quad[4] = {{0, 0, 0.5f, 1, 0xffffffff, 0, 0}, {8, 0, 0.5f, 1, 0xffffffff, 1, 0},
                      {0, 8, 0.5f, 1, 0xffffffff, 0, 1}, {8, 8, 0.5f, 1, 0xffffffff, 1, 1}};
    IDirect3DVertexBuffer9* buffer = nullptr;
    device->CreateVertexBuffer(sizeof quad, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer, nullptr);
    void* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, quad, sizeof quad);
    buffer->Unlock();
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    device->SetStreamSource(0, buffer, 0, sizeof(Vertex));
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetTexture(0, textures[0]);
    for (auto _ : state) {
        device->BeginScene();
        for (int i = 0; i < kDraws; ++i) {
            if (state.range(0) & 1) device->SetRenderState(D3DRS_ALPHABLENDENABLE, i & 1);
            if (state.range(0) & 2) device->SetTexture(0, textures[i & 1]);
            device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
        }
        device->EndScene();
        glFinish();
    }
    device->SetTexture(0, nullptr);
    device->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
    textures[0]->Release();
    textures[1]->Release();
}
BENCHMARK(BM_LayerThousandDraws)->DenseRange(0,3)->Unit(benchmark::kMicrosecond);

GLuint Compile(GLenum kind, const char* source) {
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

// The same 1000 quads written directly in GL: a minimal textured shader, one vertex buffer,
// blending toggled and the texture switched between draws.
void BM_RawGlThousandDraws(benchmark::State& state) {
    Device();  // makes the context current
    const char* vertexSource =
        "#version 330 core\nin vec2 position; in vec2 uv; out vec2 vUv;\n"
        "void main() { vUv = uv; gl_Position = vec4(position / 128.0 - 1.0, 0.0, 1.0); }\n";
    const char* fragmentSource =
        "#version 330 core\nuniform sampler2D image; in vec2 vUv; out vec4 color;\n"
        "void main() { color = texture(image, vUv); }\n";
    GLuint program = glCreateProgram();
    glAttachShader(program, Compile(GL_VERTEX_SHADER, vertexSource));
    glAttachShader(program, Compile(GL_FRAGMENT_SHADER, fragmentSource));
    glBindAttribLocation(program, 0, "position");
    glBindAttribLocation(program, 1, "uv");
    glLinkProgram(program);
    std::vector<uint32_t> texels(64 * 64, 0xffffffff);
    GLuint textures[2];
    glGenTextures(2, textures);
    for (GLuint texture : textures) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }
    const float quad[16] = {0, 0, 0, 0, 8, 0, 1, 0, 0, 8, 0, 1, 8, 8, 1, 1};
    GLuint vertexArray, buffer;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<void*>(8));
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_DEPTH_TEST);
    for (auto _ : state) {
        for (int i = 0; i < kDraws; ++i) {
            if (state.range(0) & 1) { if (i & 1) glEnable(GL_BLEND);
            else glDisable(GL_BLEND); }
            if (state.range(0) & 2) glBindTexture(GL_TEXTURE_2D, textures[i & 1]);
            glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        }
        glFinish();
    }
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteTextures(2, textures);
    glDeleteProgram(program);
    // The device's GL state cache does not know about any of the above.
    glBindVertexArray(0);
}
BENCHMARK(BM_RawGlThousandDraws)->DenseRange(0,3)->Unit(benchmark::kMicrosecond);

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
