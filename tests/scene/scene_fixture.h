// The fixture of the scene builder's tests: a trace device, a scratch Resource folder, the
// message boxes the code under test shows, and clean input and window state.
#pragma once

#include <host.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/app_shell.h"
#include "framework/input_devices.h"
#include "tests/scene/scene_test_files.h"

namespace scene_test {

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::Reset();
        host::SetHeadless(true);
        ClearInput();
        host::SetMessageBoxListener([this](const std::wstring& caption, const std::wstring& text) {
            boxCaptions.push_back(caption);
            boxes.push_back(text);
        });
        folder = std::make_unique<ResourceFolder>();
        device = host::CreateTraceDevice();
    }
    void TearDown() override {
        ReleaseDeviceObjects();
        device->Release();
        folder.reset();
        ClearInput();
        host::Reset();
    }
    // Tests release what they made on the device here, before it goes.
    virtual void ReleaseDeviceObjects() {}

    static void ClearInput() {
        std::memset(KeyTable, 0, sizeof(KeyTable));
        std::memset(MouseButtons, 0, sizeof(MouseButtons));
        std::memset(&MouseState, 0, sizeof(MouseState));
        ElapsedTime = 0.0;
        ClientWidth = 800;
        ClientHeight = 600;
        MainWindow = nullptr;  // the cursor's client position is then its screen position
    }

    // Position of the first call at or after `from` starting with prefix, or -1.
    int IndexOf(const std::string& prefix, int from = 0) const {
        const std::vector<std::string>& calls = host::TraceCalls(device);
        for (size_t i = static_cast<size_t>(from); i < calls.size(); ++i) {
            if (calls[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
        }
        return -1;
    }
    int CountOf(const std::string& prefix) const {
        int count = 0;
        for (const std::string& call : host::TraceCalls(device)) count += call.rfind(prefix, 0) == 0;
        return count;
    }

    IDirect3DDevice9* device = nullptr;
    std::unique_ptr<ResourceFolder> folder;
    std::vector<std::wstring> boxes;
    std::vector<std::wstring> boxCaptions;
};

}  // namespace scene_test
