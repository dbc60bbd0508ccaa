// One copy of the program at a time.
#pragma once

// Takes the program's own named mutex, named after the company and the
// product. False when another copy of the program holds it: that copy's
// warning has then been shown, and the caller ends before writing anything.
bool ClaimSingleRun();
