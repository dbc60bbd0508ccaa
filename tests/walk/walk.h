// The pages of the wizard as a person meets them: one function per page that
// waits for it, takes a screenshot and passes it the usual way. Scenarios
// that look closer use the driver directly.
#pragma once

#include <windows.h>

#include <string>

#include "tests/walk/driver.h"
#include "tests/support/screen.h"

// One run of setup.exe and the screenshots it leaves, named
// "<name>-NN-<step>.png".
struct Walk {
    explicit Walk(const std::string& name) : name(name) {}
    ~Walk() { CloseRun(&run); }
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;

    SetupRun run;
    std::string name;
    int shots = 0;
};

// Page windows: the welcome page has its own class; the others are plain
// dialogs known by their captions.
HWND WaitForWelcome(const Walk& walk, DWORD timeoutMs = 20000);
HWND WaitForBackdrop(const Walk& walk, DWORD timeoutMs = 10000);
HWND WaitForPage(const Walk& walk, const char* caption, DWORD timeoutMs = 15000);

// A page caption of the resource script ("%s Program Location") with the
// product name of the record.
std::string ProductCaption(const char* format);

// What the run shows now, for a step that did not go on: one line per
// visible top-level window of the run, its class and caption, and a message
// box's text.
std::string DescribeRunWindows(const SetupRun& run);

// Saves a screenshot of the whole screen; returns its path.
std::string Snap(Walk& walk, const std::string& step);

// The step panel as a screen shows it, a letter per label from the top: 'A'
// for a label in the active colour only, 'i' for the inactive colour only,
// '?' for anything else.
std::string StepColours(const Image& screen);

// The one highlighted step (0 "- License Agreement" to 6 "- Finished"), -1
// for none, -2 for several. What the screen shows can lag behind the
// program's paint, so it looks again for up to patienceMs until it shows
// expected.
int HighlightedStep(int expected, DWORD patienceMs = 1500);

// Removes what earlier runs left in the registry (the remembered folder, the
// version, the uninstall entry, the search extension, the unload switch).
void ForgetEarlierRuns();

// Creates Explorer's find-extension key, which Windows has and a fresh Wine
// prefix does not; the search extension is registered only under it.
void ProvideFindExtensionsKey();

bool PassWelcome(Walk& walk);
bool PassLicense(Walk& walk);
// Types folder into the path field (unless empty) and continues.
bool PassLocation(Walk& walk, const std::string& folder);
// Waits while the files go in, with screenshots mid-way and at the end.
bool PassInstalling(Walk& walk);
// Types group into the field (unless empty), continues, and waits while the
// shortcuts are made. barPixels, when given, receives how many pixels of the
// shortcut dialog's progress bar showed the highlight colour.
bool PassGroup(Walk& walk, const std::string& group, int* barPixels = nullptr);
// Answers the read-me question (IDYES or IDNO) and closes the last message.
bool PassCompletion(Walk& walk, int readMeAnswer);

// The whole installation with a person's usual answers, as `make demo` shows
// it: folder typed on the location page, the group left as offered (or group
// typed), the read-me declined. report, when given, hears of each step (its
// name, whether it went on); the walk stops at the first step that did not
// and returns false.
typedef void (*StepReport)(const Walk& walk, const std::string& step, bool done);
bool WalkWholeInstallation(Walk& walk, const std::string& folder, StepReport report,
                           const std::string& group = "");
// The report of the tests: a step that did not go on is a failure that names
// it and the windows the run showed.
void ReportFailedStep(const Walk& walk, const std::string& step, bool done);
