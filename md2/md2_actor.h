// Plays one Md2Model: an animation index picks a range of key frames, the elapsed time moves
// a blend weight from one key frame to the next, and drawing blends the two. The actor is a
// FreeCamera only for its matrix, which serves as the actor's world matrix.
#pragma once

#include <windows.h>

#include <d3dx9.h>

#include "framework/free_camera.h"
#include "md2/animation_ranges.h"
#include "md2/md2_model.h"

class Md2Actor : public FreeCamera {
public:
    Md2Actor() = default;
    Md2Actor(const Md2Actor&) = delete;
    Md2Actor& operator=(const Md2Actor&) = delete;

    // Takes the model's frame count and starts animation 0 afresh.
    void Attach(Md2Model* model);
    // Starts animation index (0 to 15) unless it is already the current one.
    void SetAnimation(int index);
    // Jumps to a random frame among the first five of the range (rand() % 5). A range past
    // the model's last frame falls back to frames 0 to 39, and to the frames the model has
    // when it has fewer than 40.
    void Restart();
    // Animation 0 plays 4 key frames a second, the others 8; at most one key frame is
    // stepped per call, and the range loops.
    void Advance(float seconds);
    void Draw(bool textured);

    D3DXMATRIX& world = view;
    Md2Model* model = nullptr;
    int frameCount = 0;
    int animation = 0;
    int startFrame = 0;
    int endFrame = 0;
    int currentFrame = 0;
    int nextFrame = 0;
    float blend = 0;

private:
    void StartRange(int index);
};
