// A headless window whose procedure records every message it receives.
#pragma once

#include <windows.h>

#include <host.h>

#include <gtest/gtest.h>

#include <vector>

struct ReceivedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class WindowTest : public ::testing::Test {
protected:
    static std::vector<ReceivedMessage>& Received() {
        static std::vector<ReceivedMessage> received;
        return received;
    }

    static LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        Received().push_back({message, wParam, lParam});
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void SetUp() override {
        host::SetHeadless(true);
        host::Reset();
        Received().clear();
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"Recorder";
        ASSERT_NE(RegisterClassExW(&windowClass), 0);
    }

    void TearDown() override { host::Reset(); }

    HWND CreateMainWindow(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, int width = 800, int height = 600) {
        return CreateWindowExW(0, L"Recorder", L"test", style, 0, 0, width, height, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }

    // Dispatches everything queued; returns the messages retrieved, in order.
    std::vector<UINT> DrainQueue() {
        std::vector<UINT> retrieved;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            retrieved.push_back(msg.message);
            if (msg.message == WM_QUIT) break;
            DispatchMessageW(&msg);
        }
        return retrieved;
    }
};
