#include "tests/platform/window/window_fixture.h"

#include "platform/src/window/window_internal.h"

#include <algorithm>
#include <string>

namespace {

ptrdiff_t IndexOf(const std::vector<ReceivedMessage>& received, UINT message) {
    auto found = std::find_if(received.begin(), received.end(),
                              [message](const ReceivedMessage& r) { return r.message == message; });
    return found == received.end() ? -1 : found - received.begin();
}

LRESULT CALLBACK RefusingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return -1;
    return DefWindowProcW(window, message, wParam, lParam);
}

using Windows = WindowTest;
using Messages = WindowTest;
using Cursor = WindowTest;
using MessageBoxes = WindowTest;

TEST_F(Windows, CreationSendsCreateThenClientSize) {
    HWND window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    const auto& received = Received();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front().message, static_cast<UINT>(WM_CREATE));
    ptrdiff_t size = IndexOf(received, WM_SIZE);
    ASSERT_GT(size, 0);
    // An 800 x 600 overlapped window has a 784 x 561 client area with the usual frame.
    EXPECT_EQ(LOWORD(received[size].lParam), 784);
    EXPECT_EQ(HIWORD(received[size].lParam), 561);
    EXPECT_EQ(received[size].wParam, static_cast<WPARAM>(SIZE_RESTORED));

    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 784);
    EXPECT_EQ(client.bottom, 561);
    int width = 0, height = 0;
    platform::ClientSizeOf(window, &width, &height);
    EXPECT_EQ(width, 784);
    EXPECT_EQ(height, 561);
    EXPECT_NE(platform::NativeWindowOf(window), nullptr);
}

TEST_F(Windows, PopupClientAreaIsTheWholeWindow) {
    HWND window = CreateMainWindow(WS_POPUP | WS_VISIBLE | WS_SYSMENU, 640, 480);
    ASSERT_NE(window, nullptr);
    ptrdiff_t size = IndexOf(Received(), WM_SIZE);
    ASSERT_GE(size, 0);
    EXPECT_EQ(LOWORD(Received()[size].lParam), 640);
    EXPECT_EQ(HIWORD(Received()[size].lParam), 480);
}

TEST_F(Windows, CreationFailsForUnknownClassOrRefusedCreate) {
    EXPECT_EQ(CreateWindowExW(0, L"NoSuchClass", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);

    WNDCLASSEXW refusing{};
    refusing.cbSize = sizeof(refusing);
    refusing.lpfnWndProc = RefusingProcedure;
    refusing.lpszClassName = L"Refusing";
    ASSERT_NE(RegisterClassExW(&refusing), 0);
    // Class names are case-insensitive: the same name cannot be registered twice.
    refusing.lpszClassName = L"REFUSING";
    EXPECT_EQ(RegisterClassExW(&refusing), 0);
    EXPECT_EQ(CreateWindowExW(0, L"refusing", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_TRUE(UnregisterClassW(L"Refusing", nullptr));
    EXPECT_FALSE(UnregisterClassW(L"Refusing", nullptr));
}

TEST_F(Windows, ClassRegistrationNeedsTheStructuresOwnSize) {
    WNDCLASSEXW windowClass{};
    windowClass.lpfnWndProc = RefusingProcedure;
    windowClass.lpszClassName = L"Sized";
    // 48 bytes is the structure of 32-bit Windows; 64-bit Windows (and Wine) refuse it.
    for (UINT size : {0u, 48u, UINT(sizeof(windowClass)) + 4}) {
        windowClass.cbSize = size;
        EXPECT_EQ(RegisterClassExW(&windowClass), 0) << size;
    }
    static_assert(sizeof(WNDCLASSEXW) == 80, "the layout of 64-bit Windows");
    windowClass.cbSize = sizeof(windowClass);
    EXPECT_NE(RegisterClassExW(&windowClass), 0);
    EXPECT_TRUE(UnregisterClassW(L"Sized", nullptr));
}

TEST_F(Windows, CloseThroughDefWindowProcDestroysTheWindow) {
    HWND window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    // A class with live windows cannot be unregistered.
    EXPECT_FALSE(UnregisterClassW(L"Recorder", nullptr));
    Received().clear();
    host::InjectClose();
    EXPECT_EQ(DrainQueue(), std::vector<UINT>{WM_CLOSE});
    ASSERT_EQ(Received().size(), 2u);
    EXPECT_EQ(Received()[1].message, static_cast<UINT>(WM_DESTROY));
    RECT client;
    EXPECT_FALSE(GetClientRect(window, &client));
    EXPECT_FALSE(PostMessageW(window, WM_USER, 0, 0));
    EXPECT_EQ(platform::NativeWindowOf(window), nullptr);
    EXPECT_TRUE(UnregisterClassW(L"Recorder", nullptr));
}

TEST_F(Messages, QuitComesAfterEveryQueuedMessage) {
    HWND window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    DrainQueue();
    PostMessageW(window, WM_USER + 1, 0, 0);
    PostQuitMessage(3);
    PostMessageW(window, WM_USER + 2, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages, NoRemoveLeavesTheMessageAndFiltersSelect) {
    HWND window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    DrainQueue();
    PostMessageW(window, WM_USER, 7, 0);
    PostMessageW(window, WM_USER + 5, 8, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    // A range that leaves out the first message reaches past it.
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 1, WM_USER + 9, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 8u);
    EXPECT_EQ(msg.hwnd, window);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x12345), WM_USER, 0, 0));
}

TEST_F(Messages, IdleHookInjectionIsReturnedBySamePeek) {
    ASSERT_NE(CreateMainWindow(), nullptr);
    DrainQueue();
    int calls = 0;
    host::SetIdleHook([&calls] {
        if (++calls == 1) host::InjectKey(VK_SPACE, true);
    });
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_SPACE));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(calls, 2);
}

TEST_F(Messages, KeyMessagesCarryScanCodeAndRepeatBits) {
    ASSERT_NE(CreateMainWindow(), nullptr);
    DrainQueue();
    host::InjectKey(VK_UP, true);
    host::InjectKey(VK_UP, true);  // auto-repeat
    host::InjectKey(VK_UP, false);
    host::InjectKey(VK_ADD, true);
    host::InjectKey(VK_LSHIFT, true);
    MSG msg[5];
    for (MSG& m : msg) ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(msg[0].wParam, static_cast<WPARAM>(VK_UP));
    // Repeat count 1, scan code 0x48, extended key, not down before.
    EXPECT_EQ(static_cast<uint32_t>(msg[0].lParam), 0x01480001u);
    EXPECT_EQ(msg[1].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(static_cast<uint32_t>(msg[1].lParam), 0x41480001u);
    EXPECT_EQ(msg[2].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(static_cast<uint32_t>(msg[2].lParam), 0xC1480001u);
    EXPECT_EQ(msg[3].wParam, static_cast<WPARAM>(VK_ADD));
    EXPECT_EQ(static_cast<uint32_t>(msg[3].lParam), 0x004E0001u);
    // Left and right modifier keys arrive with the generic code.
    EXPECT_EQ(msg[4].wParam, static_cast<WPARAM>(VK_SHIFT));
    EXPECT_EQ((msg[4].lParam >> 16) & 0xFF, 0x2A);
}

TEST_F(Messages, AltMakesSystemKeysAndTranslateAddsCharacters) {
    ASSERT_NE(CreateMainWindow(), nullptr);
    DrainQueue();
    host::InjectKey('A', true);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(TranslateMessage(&msg));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(L'a'));

    host::InjectKey(VK_MENU, true);
    host::InjectKey('X', true);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_SYSKEYDOWN));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('X'));
    EXPECT_NE(msg.lParam & (1 << 29), 0);  // Alt held
}

TEST_F(Messages, MouseButtonsCarryClientPosition) {
    ASSERT_NE(CreateMainWindow(), nullptr);
    DrainQueue();
    Received().clear();
    host::InjectMouseMove(100, 50);
    host::InjectMouseButton(0, true);
    host::InjectMouseButton(1, true);
    host::InjectMouseButton(0, false);
    std::vector<UINT> expected{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONUP};
    EXPECT_EQ(DrainQueue(), expected);
    const auto& received = Received();
    ASSERT_EQ(received.size(), 4u);
    for (const ReceivedMessage& r : received) {
        EXPECT_EQ(LOWORD(r.lParam), 100);
        EXPECT_EQ(HIWORD(r.lParam), 50);
    }
    EXPECT_EQ(received[1].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(received[2].wParam, static_cast<WPARAM>(MK_LBUTTON | MK_RBUTTON));
    EXPECT_EQ(received[3].wParam, static_cast<WPARAM>(MK_RBUTTON));
}

TEST_F(Cursor, ScreenAndClientCoordinatesRoundTrip) {
    HWND window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    host::InjectMouseMove(120, 45);
    POINT point{};
    ASSERT_TRUE(GetCursorPos(&point));
    // The client area of a window at (0, 0) starts below the caption, inside the frame.
    EXPECT_EQ(point.x, 128);
    EXPECT_EQ(point.y, 76);
    ASSERT_TRUE(ScreenToClient(window, &point));
    EXPECT_EQ(point.x, 120);
    EXPECT_EQ(point.y, 45);
    ASSERT_TRUE(ClientToScreen(window, &point));
    EXPECT_EQ(point.x, 128);

    ASSERT_TRUE(SetCursorPos(300, 200));
    ASSERT_TRUE(GetCursorPos(&point));
    EXPECT_EQ(point.x, 300);
    EXPECT_EQ(point.y, 200);
    EXPECT_FALSE(ScreenToClient(reinterpret_cast<HWND>(0x12345), &point));
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
}

TEST_F(MessageBoxes, HeadlessBoxesAreRecordedAndAnswered) {
    std::vector<std::wstring> captions, texts;
    host::SetMessageBoxListener([&](const std::wstring& caption, const std::wstring& text) {
        captions.push_back(caption);
        texts.push_back(text);
    });
    EXPECT_EQ(MessageBoxW(nullptr, L"灰度图文件不存在", L"", MB_OK), IDOK);
    // The narrow code page is UTF-8: "载入" then "失败".
    const char* narrow = "\xE8\xBD\xBD\xE5\x85\xA5\xE5\xA4\xB1\xE8\xB4\xA5";
    EXPECT_EQ(MessageBoxA(nullptr, narrow, "", MB_OK), IDOK);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], L"灰度图文件不存在");
    EXPECT_EQ(texts[1], L"载入失败");
    EXPECT_EQ(captions[1], L"");

    host::SetMessageBoxListener(nullptr);
    EXPECT_EQ(MessageBoxW(nullptr, L"no listener", L"", MB_OKCANCEL), IDOK);
    EXPECT_EQ(texts.size(), 2u);
}

}  // namespace
