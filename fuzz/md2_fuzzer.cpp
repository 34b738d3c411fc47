// Loads arbitrary bytes as an MD2 file into a model on the trace device, then plays it: each
// animation restarted and stepped, and the blended frames drawn textured and untextured.
// A file that is accepted must hold exactly the frames and commands its header promises; one
// that is refused must leave its mesh empty and the model's frames alone.
#include "md2/md2_actor.h"
#include "md2/md2_model.h"

#include <host.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/fuzz_support.h"

namespace {

IDirect3DDevice9* Device = nullptr;

using fuzz::Require;

void Play(Md2Model* model) {
    Md2Actor actor;
    actor.Attach(model);
    for (int animation = 0; animation < AnimationCount; animation += 3) {
        actor.SetAnimation(animation);
        for (int step = 0; step < 3; ++step) {
            actor.Advance(0.07f);
            Require(model->frameCount == 0 ||
                    (actor.currentFrame < model->frameCount && actor.nextFrame < model->frameCount));
            actor.Draw(step % 2 == 0);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    host::SetMessageBoxListener([](const std::wstring&, const std::wstring&) {});
    Device = host::CreateTraceDevice();
    host::SetTraceRecording(Device, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = fuzz::ScratchFolder("md2_fuzz") + "/model.md2", skin = fuzz::ScratchFolder("md2_fuzz") + "/model.bmp";
    FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, out);
    std::fclose(out);

    Md2Model model(Device);
    model.AddMesh(std::wstring(file.begin(), file.end()).c_str(), std::wstring(skin.begin(), skin.end()).c_str(), 0.1f);
    Require(model.meshes.size() == 1);
    const Md2Mesh& mesh = *model.meshes[0];
    if (mesh.HasGeometry()) {
        Require(mesh.vertexCount > 0 && mesh.frameCount == model.frameCount);
        Require(mesh.frameVertices.size() == size_t(mesh.frameCount) * size_t(mesh.vertexCount));
        Require(mesh.commands.size() == size_t(mesh.commandWords) && mesh.vertexBuffer != nullptr);
        Require(mesh.drawVertices.size() == size_t(mesh.vertexCount));
    } else {
        Require(model.frameCount == 0 && mesh.frameVertices.empty() && mesh.commands.empty());
    }
    Play(&model);
    return 0;
}
