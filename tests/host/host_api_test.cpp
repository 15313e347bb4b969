// The host table, loaded from this test executable, which exports the stand-in host functions.
#include <gtest/gtest.h>

#include "host/host_api.h"

TEST(HostApi, LoadsFromTheExecutableAndFindsEveryCalledEntry) {
    SHostApi api = {};
    ASSERT_TRUE(api.Load());
    EXPECT_EQ(GetModuleHandleA(nullptr), api.hostModule);
    EXPECT_NE(nullptr, api.BKA_GetVersion);
    EXPECT_NE(nullptr, api.BKA_GetWindowHandles);
    EXPECT_NE(nullptr, api.BKA_RegisterCommand);
    EXPECT_NE(nullptr, api.BKA_RegisterUICallback);
    EXPECT_NE(nullptr, api.BKA_GetDataFolder);
    EXPECT_NE(nullptr, api.BKA_GetCurrentMailBox);
    EXPECT_NE(nullptr, api.BKA_CompGetSpecifiedHeader);
    EXPECT_NE(nullptr, api.BKA_CompSetSpecifiedHeader);
    EXPECT_NE(nullptr, api.BKA_Connect);
    EXPECT_NE(nullptr, api.BKA_SetStatus);
    EXPECT_STREQ("2.81.05", api.BKA_GetVersion());
}

TEST(HostApi, SecondLoadReturnsAtOnceWithoutLookingUpAgain) {
    SHostApi api = {};
    ASSERT_TRUE(api.Load());
    // A changed entry survives: nothing was looked up the second time.
    api.BKA_Connect = nullptr;
    EXPECT_TRUE(api.Load());
    EXPECT_EQ(nullptr, api.BKA_Connect);
}

TEST(HostApi, TheHostFunctionsAnswerThroughTheTable) {
    SHostApi api = {};
    ASSERT_TRUE(api.Load());
    char buffer[8] = "xxxxxxx";
    api.BKA_CompGetSpecifiedHeader(nullptr, "Subject", buffer, sizeof(buffer));
    EXPECT_STREQ("", buffer);
    HWND handles[4] = {HWND(1), HWND(1), HWND(1), HWND(1)};
    api.BKA_GetWindowHandles(&handles[0], &handles[1], &handles[2], &handles[3]);
    EXPECT_EQ(nullptr, handles[0]);
}
