#include "system/shortcut_scope.h"

#include <gtest/gtest.h>

namespace {

TEST(LinksForAllUsers, OnlyARunOfAnotherUserOrWithoutADesktopUserLeavesTheCurrentUsersStartMenu) {
    const struct {
        DesktopUser desktop;
        bool allUsers;
    } cases[] = {
        {kDesktopUserIsRunUser, false},  // the person at the screen, elevated or not
        {kDesktopUserUnknown, false},    // cannot tell: the current user's, as ever
        {kDesktopUserIsOther, true},     // an administrator over a standard user's shoulder
        {kNoDesktopUser, true},          // SYSTEM under a deployment tool
    };
    for (const auto& c : cases) EXPECT_EQ(LinksForAllUsers(c.desktop), c.allUsers) << c.desktop;
}

}  // namespace
