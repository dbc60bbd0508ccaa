#include "core/pump.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// --- SetNumberText on a dialog made from an in-memory template ---

enum { kNumberId = 401, kNeighbourId = 402 };

void PushText(std::vector<WORD>& t, const wchar_t* text) {
    do t.push_back(static_cast<WORD>(*text)); while (*text++);
}

void AlignToDword(std::vector<WORD>& t) {
    if (t.size() % 2) t.push_back(0);
}

void PushDword(std::vector<WORD>& t, DWORD value) {
    t.push_back(LOWORD(value));
    t.push_back(HIWORD(value));
}

// A modeless dialog with two static controls, without a font of its own.
std::vector<WORD> TwoStaticsTemplate() {
    std::vector<WORD> t;
    PushDword(t, WS_POPUP | WS_CAPTION);
    PushDword(t, 0);
    t.push_back(2);  // controls
    for (int v : {0, 0, 200, 80}) t.push_back(static_cast<WORD>(v));
    PushText(t, L"");  // no menu
    PushText(t, L"");  // default class
    PushText(t, L"Numbers");
    const WORD ids[] = {kNumberId, kNeighbourId};
    for (int i = 0; i < 2; ++i) {
        AlignToDword(t);
        PushDword(t, WS_CHILD | WS_VISIBLE | SS_LEFT);
        PushDword(t, 0);
        for (int v : {10, 10 + 20 * i, 150, 12}) t.push_back(static_cast<WORD>(v));
        t.push_back(ids[i]);
        t.push_back(0xFFFF);
        t.push_back(0x0082);  // static
        PushText(t, L"");
        t.push_back(0);  // no creation data
    }
    return t;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string ControlText(HWND dialog, int id) {
    char text[64];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

TEST(SetNumberText, ShowsTheValueWithThousandsSeparatorsInTheControl) {
    const std::vector<WORD> dialogTemplate = TwoStaticsTemplate();
    HWND dialog = CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
        nullptr, PlainDialogProc, 0);
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
