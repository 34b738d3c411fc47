// D3DXCreateTextureFromFileW end to end on a trace device: the bytes are written to a file
// under a resource folder and loaded by a Windows-style name, so the path resolver, the file
// reading with its size bound, the decoders, the device's texture limits and the upload all
// run. A texture that is made must fit the device and carry its full mip chain.
#include <d3dx9.h>
#include <host.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

IDirect3DDevice9* device = nullptr;
std::string folder;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folder = "/tmp/texture_file_fuzz_" + std::to_string(getpid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) std::abort();
    host::SetResourceFolder(folder);
    // A small device, so that a file declaring a huge image is cut down to a cheap texture.
    D3DCAPS9 caps{};
    IDirect3DDevice9* probe = host::CreateTraceDevice(64, 64);
    probe->GetDeviceCaps(&caps);
    probe->Release();
    caps.MaxTextureWidth = caps.MaxTextureHeight = 512;
    device = host::CreateTraceDevice(64, 64, &caps);
    host::SetTraceRecording(device, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* out = std::fopen((folder + "/Texture.bmp").c_str(), "wb");
    if (out == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, out);
    std::fclose(out);
    IDirect3DTexture9* texture = nullptr;
    const HRESULT result = D3DXCreateTextureFromFileW(device, L"..\\RESOURCE\\texture.BMP", &texture);
    if (SUCCEEDED(result) != (texture != nullptr)) std::abort();
    if (texture == nullptr) return 0;
    D3DSURFACE_DESC top{};
    if (FAILED(texture->GetLevelDesc(0, &top)) || top.Width > 512 || top.Height > 512) std::abort();
    DWORD levels = 1;
    for (UINT width = top.Width, height = top.Height; width > 1 || height > 1; ++levels) {
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
    }
    if (texture->GetLevelCount() != levels) std::abort();
    texture->Release();
    return 0;
}
