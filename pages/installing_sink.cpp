// The installing page's side of the install step: its reports shown on the
// page with the pauses a person watching needs, its questions and errors in
// boxes owned by the page. Apart from the page's own object, so that the
// install step's tests run it with their own progress recorder.
#include <windows.h>

#include "core/app.h"
#include "core/pump.h"
#include "pages/installing.h"
#include "resources/ids.h"

namespace {

HWND g_page;

void ShowTotals(uint32_t bytes, int files) {
    SetNumberText(g_page, IDC_TOTAL_SIZE, bytes);
    SetNumberText(g_page, IDC_TOTAL_FILES, static_cast<uint32_t>(files));
}

void ShowFile(int number, const char* target) {
    SetDlgItemTextA(g_page, IDC_TARGET_PATH, target);
    SetNumberText(g_page, IDC_CURRENT_FILE, static_cast<uint32_t>(number));
    PumpMessagesFor(g_page, 500);
}

void AdvancePageProgress(uint32_t bytes) { AdvanceProgress(g_page, bytes); }

bool AskPageRetry(InstallQuestion, char* text) {
    return ShowMessage(g_page, text, MB_RETRYCANCEL | MB_ICONWARNING) == IDRETRY;
}

void FailOnPage(const char* text) { ShowMessage(g_page, text, MB_OK | MB_ICONERROR); }

const InstallSink kPageSink = {ShowTotals, ShowFile, AdvancePageProgress, AskPageRetry, FailOnPage};

}  // namespace

const InstallSink& InstallingPageSink(HWND page) {
    g_page = page;
    return kPageSink;
}
