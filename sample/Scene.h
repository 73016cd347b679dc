// What the game draws each frame, at the game's own size (the device's back buffer); the
// device stretches it over the window's client area when it presents.
#pragma once

#include <cstdint>

#include "Art.h"
#include "Own.h"
#include "engine/graphics/ID3DRender.h"
#include "engine/graphics/IKYRD3D.h"

constexpr int kGameWidth = 320;
constexpr int kGameHeight = 240;

struct PlayState {
    int playerX = kGameWidth / 2;  // the player's centre, in the game's pixels
    int playerY = kGameHeight / 2;
    uint32_t tick = 0;  // frames played; turns the gems and pulses the glow
};

class Scene {
public:
    // The batches, each bound to its texture. False when the art or a batch cannot be had.
    bool Create(KYR::IKYRD3D* d3d, Art& art);
    // One frame; `fps` below 0 draws no frame rate. False when the device has been lost.
    bool Draw(KYR::IKYRD3D* d3d, const PlayState& play, int fps);

private:
    Own<KYR::ID3DLineRender> frame_;
    Own<KYR::ID3DRender> gems_;
    Own<KYR::ID3DRender> glow_;
    Own<KYR::ID3DRender> ship_;
    Own<KYR::ID3DRender> digits_;
};
