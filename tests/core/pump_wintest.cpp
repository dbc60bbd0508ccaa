#include "core/pump.h"

#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// --- SetNumberText on a real dialog with static controls 400 to 404 ---

enum { kNumberId = 401, kNeighbourId = 402 };

TEST(SetNumberText, ShowsTheValueWithThousandsSeparatorsInTheControl) {
    HWND dialog = CreateTestPage();
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextA(dialog, kNeighbourId, "neighbour");

    const std::pair<uint32_t, const char*> cases[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {947817, "947,817"}, {4294967295u, "4,294,967,295"}};
    for (const auto& c : cases) {
        SetNumberText(dialog, kNumberId, c.first);
        EXPECT_EQ(ControlText(dialog, kNumberId), c.second);
    }
    EXPECT_EQ(ControlText(dialog, kNeighbourId), "neighbour");
    DestroyWindow(dialog);
}

// --- PumpMessagesFor on a window with a child and an unrelated window ---

std::vector<std::pair<HWND, UINT>> g_dispatched;

LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // WM_CLOSE is recorded too, and does not destroy the window.
    if (message >= WM_APP || message == WM_CLOSE) {
        g_dispatched.push_back({window, message});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

const char kClassName[] = "PortavoPumpTest";

class Pump : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = RecordingWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        ASSERT_NE(RegisterClassA(&windowClass), 0);
        page_ = CreateWindowExA(0, kClassName, "page", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        child_ = CreateWindowExA(0, kClassName, "child", WS_CHILD, 0, 0, 50, 20, page_, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        other_ = CreateWindowExA(0, kClassName, "other", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(page_ && child_ && other_);
        DrainQueue();
        g_dispatched.clear();
    }

    void TearDown() override {
        if (other_) DestroyWindow(other_);
        if (page_) DestroyWindow(page_);
        DrainQueue();
        UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
        g_dispatched.clear();
    }

    static void DrainQueue() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    }

    HWND page_ = nullptr;
    HWND child_ = nullptr;
    HWND other_ = nullptr;
};

TEST_F(Pump, DispatchesThePagesAndItsChildsMessagesAndLeavesOthersQueued) {
    PostMessageA(page_, WM_APP + 1, 0, 0);
    PostMessageA(child_, WM_APP + 2, 0, 0);
    PostMessageA(other_, WM_APP + 3, 0, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_APP + 4, 0, 0);

    PumpMessagesFor(page_, 50);

    const std::vector<std::pair<HWND, UINT>> expected = {{page_, WM_APP + 1}, {child_, WM_APP + 2}};
    EXPECT_EQ(g_dispatched, expected);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, other_, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP + 3));
    ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP + 4));
}

TEST_F(Pump, ZeroMillisecondsPollsExactlyOnce) {
    PostMessageA(page_, WM_APP + 1, 0, 0);
    PostMessageA(page_, WM_APP + 2, 0, 0);

    PumpMessagesFor(page_, 0);
    ASSERT_EQ(g_dispatched.size(), 1u);
    EXPECT_EQ(g_dispatched[0].second, static_cast<UINT>(WM_APP + 1));

    PumpMessagesFor(page_, 0);
    ASSERT_EQ(g_dispatched.size(), 2u);
    EXPECT_EQ(g_dispatched[1].second, static_cast<UINT>(WM_APP + 2));
}

TEST_F(Pump, ReturnsAfterAtLeastTheGivenTime) {
    for (uint32_t ms : {1u, 30u, 120u}) {
        SCOPED_TRACE(ms);
        g_dispatched.clear();
        // A request to close does not end the wait early.
        PostMessageA(page_, WM_CLOSE, 0, 0);
        const DWORD start = GetTickCount();
        PumpMessagesFor(page_, ms);
        EXPECT_GE(GetTickCount() - start, ms);
        const std::vector<std::pair<HWND, UINT>> expected = {{page_, WM_CLOSE}};
        EXPECT_EQ(g_dispatched, expected);
    }
}

}  // namespace
