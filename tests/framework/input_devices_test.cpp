// The snapshot queries and reading without devices.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/input_devices.h"

TEST(InputDevices, QueriesReturnTheMaskedBit) {
    std::memset(KeyboardState, 0, sizeof(KeyboardState));
    KeyboardState[DIK_W] = 0xFF;
    KeyboardState[DIK_S] = 0x7F;
    EXPECT_EQ(IsKeyDown(DIK_W), 0x80);
    EXPECT_EQ(IsKeyDown(DIK_S), 0);
    // Codes are taken modulo 256.
    EXPECT_EQ(IsKeyDown(DIK_W + 256), 0x80);
    EXPECT_EQ(IsKeyDown(DIK_W - 256), 0x80);

    std::memset(&MouseState, 0, sizeof(MouseState));
    MouseState.rgbButtons[1] = 0x81;
    EXPECT_EQ(IsMouseButtonDown(1), 0x80);
    EXPECT_EQ(IsMouseButtonDown(0), 0);
    EXPECT_EQ(IsMouseButtonDown(4), 0);
    EXPECT_EQ(IsMouseButtonDown(-1), 0);
    std::memset(KeyboardState, 0, sizeof(KeyboardState));
    std::memset(&MouseState, 0, sizeof(MouseState));
}

TEST(InputDevices, ReadingWithoutDevicesLeavesSnapshots) {
    ReleaseInput();
    ASSERT_EQ(Keyboard, nullptr);
    ASSERT_EQ(Mouse, nullptr);
    KeyboardState[DIK_A] = 0x80;
    MouseState.lX = 7;
    ReadInput();
    EXPECT_EQ(KeyboardState[DIK_A], 0x80);
    EXPECT_EQ(MouseState.lX, 7);
    ReleaseInput();
    EXPECT_EQ(DirectInput, nullptr);
    KeyboardState[DIK_A] = 0;
    MouseState.lX = 0;
}
