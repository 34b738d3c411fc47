// A water surface on a trace device with a virtual clock that the test moves by hand.
#pragma once

#include <host.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "rain/water_surface.h"

class WaterOnTraceDevice : public ::testing::Test {
protected:
    void SetUp() override {
        host::SetVirtualClock([this] { return now; });
        device = host::CreateTraceDevice();
        water = std::make_unique<WaterSurface>();
        water->Create(device, nullptr);
    }

    void TearDown() override {
        water.reset();
        device->Release();
        host::SetVirtualClock({});
    }

    // Runs one frame of the water at the given clock reading.
    void FrameAt(uint32_t milliseconds) {
        now = milliseconds;
        water->UpdateAndDraw();
    }

    void ClearTrace() { host::ClearTrace(device); }

    // The heights the latest step wrote: after the frame's swap they are the `previous` array.
    const WaterHeights& NewestHeights() const { return water->heights[water->previous]; }

    uint32_t now = 1000;
    IDirect3DDevice9* device = nullptr;
    std::unique_ptr<WaterSurface> water;
};
