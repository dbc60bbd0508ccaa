// `make bench`: how long a whole installation takes under Wine, from the
// start of setup.exe to its exit, unattended (/VERYSILENT) and walked through
// the wizard as a person would (the walk of `make demo`). Each figure is the
// median of a few runs, each into a fresh folder with no earlier
// installation. It prints figures and never judges them; it fails only when
// a run did not install the product.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/config.h"
#include "core/text.h"
#include "tests/support/temp_folder.h"
#include "tests/walk/installation.h"
#include "tests/walk/walk.h"

namespace {

const int kSilentRuns = 5;
const int kWalkedRuns = 3;
const DWORD kSilentPatienceMs = 30000;

typedef std::chrono::steady_clock Clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Empty when every file of the table is in its folder, else the first one missing.
std::string MissingFile(const Installation& installation) {
    for (int i = 0; i < g_product.fileCount; ++i) {
        const FileEntry& entry = g_product.files[i];
        const std::string& folder =
            (entry.flags & kInWindowsFolder) ? installation.windowsFolder : installation.installFolder;
        if (!FileExists(folder + "\\" + entry.fileName)) return folder + "\\" + entry.fileName;
    }
    return "";
}

// What a finished run left, for the failure line: "" when it installed the product.
std::string CheckRun(int code, int expectedCode, const Installation& installation) {
    if (code != expectedCode)
        return "exit code " + std::to_string(code) + " instead of " + std::to_string(expectedCode);
    const std::string missing = MissingFile(installation);
    return missing.empty() ? "" : "no " + missing;
}

// One unattended run into a fresh folder: the seconds from its start to its
// exit, or -1 with problem set when it did not end by itself with the product
// installed.
double TimeSilentRun(std::string* problem) {
    TempFolder parent("bench");
    // The folder is completed as on the location page.
    const Installation installation =
        ExpectedInstallation(parent.path() + "\\" + g_product.productName);
    RemoveInstallation(installation);
    Walk walk("bench-silent");
    const std::string command = "\"" + SetupPath() + "\" /VERYSILENT /DIR=\"" + parent.path() + "\" /NOICONS";
    const Clock::time_point start = Clock::now();
    if (!StartCommand(&walk.run, command)) {
        *problem = "could not start " + command;
        return -1;
    }
    const bool ended = WaitForSingleObject(walk.run.process.hProcess, Patience(kSilentPatienceMs)) == WAIT_OBJECT_0;
    const double seconds = SecondsSince(start);
    if (!ended) {
        *problem = "it did not end by itself within " + std::to_string(kSilentPatienceMs / 1000) +
                   " s; it showed:\n" + DescribeRunWindows(walk.run);
    } else {
        DWORD code = 0;
        GetExitCodeProcess(walk.run.process.hProcess, &code);
        *problem = CheckRun(static_cast<int>(code), 0, installation);
    }
    RemoveInstallation(installation);
    return problem->empty() ? seconds : -1;
}

std::string g_failedStep;

void NoteFailedStep(const Walk& walk, const std::string& step, bool done) {
    if (!done && g_failedStep.empty()) g_failedStep = step + " did not go on; the run showed:\n" +
                                                      DescribeRunWindows(walk.run);
}

// One run of the wizard walked through with a person's usual answers, the
// folder typed: the seconds from its start to its exit, or -1 with problem set.
double TimeWalkedRun(std::string* problem) {
    TempFolder parent("bench");
    const Installation installation =
        ExpectedInstallation(parent.path() + "\\" + g_product.productName);
    RemoveInstallation(installation);
    Walk walk("bench-walked");
    g_failedStep.clear();
    const Clock::time_point start = Clock::now();
    if (!StartSetup(&walk.run)) {
        *problem = "could not start " + SetupPath();
        return -1;
    }
    const bool walked = WalkWholeInstallation(walk, parent.path(), NoteFailedStep);
    const int code = WaitForExit(&walk.run, 20000);
    const double seconds = SecondsSince(start);
    // The folder as the location page completed it, which the run remembers.
    const std::string remembered = RememberedFolder();
    // The wizard's run ends with exit code 1 however it ends.
    if (!walked)
        *problem = g_failedStep;
    else if (remembered.empty())
        *problem = "no install folder remembered: nothing was installed";
    else
        *problem = CheckRun(code, 1, ExpectedInstallation(remembered));
    if (!remembered.empty()) RemoveInstallation(ExpectedInstallation(remembered));
    RemoveInstallation(installation);
    return problem->empty() ? seconds : -1;
}

// The median of runs of one kind; false, after printing why, when one failed.
bool Median(const char* what, double (*timeRun)(std::string*), int runs, double* median) {
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        std::string problem;
        const double s = timeRun(&problem);
        if (s < 0) {
            printf("installation bench: %s, run %d: %s\n", what, i + 1, problem.c_str());
            return false;
        }
        seconds.push_back(s);
    }
    std::sort(seconds.begin(), seconds.end());
    *median = seconds[seconds.size() / 2];
    return true;
}

uint32_t PayloadBytes() {
    uint32_t total = 0;
    for (int i = 0; i < g_product.fileCount; ++i) total += g_product.files[i].unpackedSize;
    return total;
}

}  // namespace

int main() {
    ProvideFindExtensionsKey();
    double silent = 0, walked = 0;
    const bool silentDone = Median("setup.exe /VERYSILENT", TimeSilentRun, kSilentRuns, &silent);
    const bool walkedDone = Median("the wizard walked through", TimeWalkedRun, kWalkedRuns, &walked);
    char bytes[kThousandsTextSize];
    FormatThousands(PayloadBytes(), bytes);
    char silentText[48] = "no figure, a run failed", walkedText[48] = "no figure, a run failed";
    if (silentDone) snprintf(silentText, sizeof silentText, "%.2f s (median of %d)", silent, kSilentRuns);
    if (walkedDone) snprintf(walkedText, sizeof walkedText, "%.2f s (median of %d)", walked, kWalkedRuns);
    printf("whole installation under Wine, %d files, %s bytes, start to exit: /VERYSILENT %s, "
           "the wizard walked through %s\n",
           g_product.fileCount, bytes, silentText, walkedText);
    return silentDone && walkedDone ? 0 : 1;
}
