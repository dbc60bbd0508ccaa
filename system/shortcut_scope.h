// Whose Start menu gets the product's group. The links belong to the person
// who will use the product: the user of the desktop the run shows on. That is
// the run's own user when that person started setup.exe, elevated or not. An
// administrator's password typed over a standard user's shoulder makes the
// run the administrator's, and a deployment tool's run is SYSTEM's, with no
// desktop user at all; in both, the group goes to every user's Programs
// folder, which the desktop's user sees too. No Win32 here, so the rule is
// tested natively.
#pragma once

// What the run could find out about the desktop's user.
enum DesktopUser {
    kDesktopUserUnknown,    // the shell's process or its user could not be read
    kDesktopUserIsRunUser,  // the shell runs as the run's own user
    kDesktopUserIsOther,    // the shell runs as someone else
    kNoDesktopUser,         // no shell on this desktop: a service, SYSTEM
};

// True when the group and its links go to the all-users Programs folder;
// false for the current user's, which is also taken when the run cannot tell.
bool LinksForAllUsers(DesktopUser desktop);
