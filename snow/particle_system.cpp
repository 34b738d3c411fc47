#include "snow/particle_system.h"

#include <windows.h>

#include <algorithm>

#include "framework/device_steps.h"
#include "snow/random.h"

namespace {

DWORD ColourByte(float component) {
    return static_cast<DWORD>(std::clamp(component, 0.0f, 1.0f) * 255.0f);
}

}  // namespace

D3DCOLOR PackParticleColour(const ParticleColour& colour) {
    return (ColourByte(colour.r) << 16) | (ColourByte(colour.g) << 8) | ColourByte(colour.b);
}

ParticleSystem::~ParticleSystem() { ReleaseResources(); }

void ParticleSystem::ReleaseResources() {
    if (texture) texture->Release();
    if (vertexBuffer) vertexBuffer->Release();
    texture = nullptr;
    vertexBuffer = nullptr;
}

void ParticleSystem::Create(IDirect3DDevice9* device, D3DXVECTOR3 boxMinimum, D3DXVECTOR3 boxMaximum, int count,
                            const wchar_t* texturePath) {
    ReleaseResources();
    particles.clear();
    this->boxMinimum = boxMinimum;
    this->boxMaximum = boxMaximum;
    batchSize = 512;
    particleCount = std::max(count, 0);
    this->device = device;

    D3DCAPS9 caps{};
    device->GetDeviceCaps(&caps);
    if (!(caps.FVFCaps & D3DFVFCAPS_PSIZE)) MessageBoxW(nullptr, L"显卡不支持D3DFVFCAPS_PSIZE", L"", MB_OK);

    if (texturePath) {
        LoadLinearTexture(device, texturePath, &texture);
    }
    device->CreateVertexBuffer(particleCount * sizeof(ParticleVertex),
                               D3DUSAGE_DYNAMIC | D3DUSAGE_POINTS | D3DUSAGE_WRITEONLY, ParticleVertexFormat,
                               D3DPOOL_DEFAULT, &vertexBuffer, nullptr);
    for (int i = 0; i < particleCount; ++i) {
        Particle particle{};
        ResetParticle(particle);
        particles.push_back(particle);
    }
}

bool ParticleSystem::OutsideBox(const D3DXVECTOR3& p) const {
    return p.x < boxMinimum.x || p.x > boxMaximum.x || p.y < boxMinimum.y || p.y > boxMaximum.y ||
           p.z < boxMinimum.z || p.z > boxMaximum.z;
}

// Sprites sized in camera space and shrinking with distance (scale factors 0, 0, 1), their
// alpha taken from the texture and blended over the scene.
void ParticleSystem::SetSpriteStates() {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSIZE_MIN, FloatBits(0.0f));
    device->SetRenderState(D3DRS_POINTSCALE_A, FloatBits(0.0f));
    device->SetRenderState(D3DRS_POINTSCALE_B, FloatBits(0.0f));
    device->SetRenderState(D3DRS_POINTSCALE_C, FloatBits(1.0f));
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

void ParticleSystem::RestoreStates() {
    device->SetTexture(0, nullptr);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

// Every batch asks for batchSize vertices, but the last one may have fewer left in the
// buffer; the lock is cut to what the buffer holds so it never reaches past its end.
ParticleVertex* ParticleSystem::LockBatch(int start) {
    const int count = std::min(batchSize, particleCount - start);
    if (count <= 0) return nullptr;
    void* data = nullptr;
    if (FAILED(vertexBuffer->Lock(start * sizeof(ParticleVertex), count * sizeof(ParticleVertex), &data,
                                  D3DLOCK_NOOVERWRITE))) {
        return nullptr;
    }
    return static_cast<ParticleVertex*>(data);
}

// The first batch of a frame is drawn with small points and every later one with larger
// points; the sizes are drawn anew each frame.
void ParticleSystem::Render(const D3DXVECTOR3* cameraPosition) {
    if (particles.empty() || !vertexBuffer) return;
    SetSpriteStates();
    device->SetTexture(0, texture);
    device->SetFVF(ParticleVertexFormat);
    device->SetStreamSource(0, vertexBuffer, 0, sizeof(ParticleVertex));

    const D3DCOLOR alpha = texture ? 0 : UntexturedSpriteAlpha;
    int start = 0, n = 0;
    ParticleVertex* batch = LockBatch(start);
    device->SetRenderState(D3DRS_POINTSIZE, FloatBits(RandomFloat(0.22, 0.27)));
    for (const Particle& particle : particles) {
        if (!particle.alive) continue;
        if (!batch) break;
        batch[n].position = particle.position + *cameraPosition;
        batch[n].colour = PackParticleColour(particle.colour) | alpha;
        if (++n == batchSize) {
            vertexBuffer->Unlock();
            device->DrawPrimitive(D3DPT_POINTLIST, start, batchSize);
            start += batchSize;
            batch = LockBatch(start);
            n = 0;
            device->SetRenderState(D3DRS_POINTSIZE, FloatBits(RandomFloat(1.0, 1.25)));
        }
    }
    if (batch) {
        vertexBuffer->Unlock();
        if (n > 0) device->DrawPrimitive(D3DPT_POINTLIST, start, n);
    }
    RestoreStates();
}
