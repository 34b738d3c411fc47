// The state guard of the D3DX helpers puts back what it changed; a state it could not read
// first is still changed, and the guard says that it cannot put it back.
#include "d3dx/device_state_guard.h"

#include <host.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

class StateGuardTest : public ::testing::Test {
protected:
    void SetUp() override { device = host::CreateTraceDevice(); }
    void TearDown() override { device->Release(); }
    IDirect3DDevice9* device = nullptr;
};

TEST_F(StateGuardTest, PutsBackWhatItChanged) {
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    {
        platform::d3dx::DeviceStateGuard guard(device);
        guard.SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        guard.SetRenderState(D3DRS_ZENABLE, D3DZB_USEW);  // saved once, the first time
    }
    DWORD value = 99;
    device->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, DWORD{D3DZB_FALSE});
}

TEST_F(StateGuardTest, StateItCannotReadIsSetAndReported) {
    host::ClearTrace(device);
    CaptureStderr();
    {
        platform::d3dx::DeviceStateGuard guard(device);
        guard.SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_DISABLE);  // past the last stage
    }
    const std::string said = GetCapturedStderr();
    EXPECT_EQ(said,
              "platform: D3DX could not read texture stage 8 state D3DTSS_COLOROP to put it back afterwards; it "
              "is changed all the same\n");
    const std::vector<std::string> expected = {"GetTextureStageState(8, D3DTSS_COLOROP, ptr)",
                                               "SetTextureStageState(8, D3DTSS_COLOROP, 1)"};
    EXPECT_EQ(host::TraceCalls(device), expected);
}

}  // namespace
