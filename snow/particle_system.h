// A fixed population of particles living in a box that travels with the camera, drawn as
// textured, alpha-blended point sprites. Derived systems decide how a particle is born and
// how it moves; the base stores the particles and draws them through one dynamic vertex
// buffer, 512 points per batch.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>

#include <list>

struct ParticleColour {
    float r, g, b;  // 0.0 to 1.0 each
};

struct Particle {
    D3DXVECTOR3 position;  // relative to the camera
    D3DXVECTOR3 velocity;  // units per second of simulation time
    ParticleColour colour;
    bool alive;
};

// 16 bytes: D3DFVF_XYZ | D3DFVF_DIFFUSE.
struct ParticleVertex {
    D3DXVECTOR3 position;
    D3DCOLOR colour;
};
static_assert(sizeof(ParticleVertex) == 16);
constexpr DWORD ParticleVertexFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE;

// The vertex colour of a particle: each component times 255, truncated, as 0x00RRGGBB. The
// alpha byte stays 0 because the sprite's alpha comes from its texture.
D3DCOLOR PackParticleColour(const ParticleColour& colour);

// Without a texture the blend reads the vertex alpha instead, so untextured sprites carry
// this one to stay visible.
constexpr D3DCOLOR UntexturedSpriteAlpha = 0xFF000000;

class ParticleSystem {
public:
    ParticleSystem() = default;
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    // Gives a particle its birth state.
    virtual void ResetParticle(Particle& particle) = 0;
    // Advances every particle by the elapsed simulation time.
    virtual void Update(float seconds) = 0;
    // Frees the particles and releases the texture and the vertex buffer.
    virtual ~ParticleSystem();

    // Creates the sprite texture (none when texturePath is null), a vertex buffer for `count`
    // points and `count` particles in their birth state. A device without per-vertex point
    // size support is reported with a message box; the system is still created.
    void Create(IDirect3DDevice9* device, D3DXVECTOR3 boxMinimum, D3DXVECTOR3 boxMaximum, int count,
                const wchar_t* texturePath);
    // Draws the live particles around the camera; call between BeginScene and EndScene.
    void Render(const D3DXVECTOR3* cameraPosition);

    IDirect3DDevice9* device = nullptr;
    IDirect3DTexture9* texture = nullptr;
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    std::list<Particle> particles;
    int batchSize = 512;
    int particleCount = 0;
    D3DXVECTOR3 boxMinimum{0, 0, 0};
    D3DXVECTOR3 boxMaximum{0, 0, 0};

protected:
    // True when the position lies outside the box; a position exactly on a face is inside.
    bool OutsideBox(const D3DXVECTOR3& position) const;

private:
    void ReleaseResources();
    void SetSpriteStates();
    void RestoreStates();
    // Locks the batch of vertices that begins at vertex `start`, limited to the vertices the
    // buffer holds; null when none are left or the lock fails.
    ParticleVertex* LockBatch(int start);
};
