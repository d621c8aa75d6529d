// The shell's dealings with the system: who may do what with the exit event,
// what wakes and ends the message loop, the command line, and the performance
// libraries kept loaded under Wine.
#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <thread>

#include "app/application.h"
#include "app/message_loop.h"
#include "app/named_events.h"
#include "app/startup.h"
#include "sources/registry_access.h"

TEST(NamedEvents, EveryoneMayOnlyWaitOnAndSignalTheExitEvent)
{
    const UniqueHandle event = CreateExitEvent();
    ASSERT_TRUE(event);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const UniqueHandle reader(OpenEventW(READ_CONTROL, FALSE, kExitEventName));  // the owner may read it
    ASSERT_EQ(ERROR_SUCCESS, GetSecurityInfo(reader.Get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                             nullptr, nullptr, nullptr, &descriptor));
    wchar_t* text = nullptr;  // a null DACL ("D:NO_ACCESS_CONTROL") would give everyone full control
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                                     DACL_SECURITY_INFORMATION, &text, nullptr));
    EXPECT_STREQ(L"D:(A;;0x100002;;;WD)", text);  // everyone: SYNCHRONIZE | EVENT_MODIFY_STATE only
    LocalFree(text), LocalFree(descriptor);

    const UniqueHandle opened(OpenEventW(EVENT_MODIFY_STATE, FALSE, kExitEventName));
    EXPECT_TRUE(opened && SetEvent(opened.Get()));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event.Get(), 0));
}

// Without a show event the loop waits on the exit event alone, wakes for a
// message another thread sends, and ends with 0 on the exit event; WM_QUIT
// answers its own code.
TEST(MessageLoop, WakesForSentMessagesAndEndsWithZeroOnTheExitEvent)
{
    const UniqueHandle exit(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    std::thread other([&] {
        Sleep(200);  // the loop waits by now
        SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"sent"), SMTO_BLOCK, 2000, nullptr);
        SetEvent(exit.Get());
    });
    EXPECT_EQ(0, RunMessageLoop(App(), nullptr, exit.Get()));
    other.join();
    wchar_t text[8] = {};
    GetWindowTextW(window, text, 8);
    EXPECT_STREQ(L"sent", text);
    DestroyWindow(window);
    PostQuitMessage(7);
    EXPECT_EQ(7, RunMessageLoop(App(), nullptr, exit.Get()));
}

TEST(CommandLine, ALowerCaseSAnywhereMeansASilentStart)
{
    for (auto [line, silent] : {std::pair{L"s", true}, {L"/silent", true}, {L"S", false}, {L"", false}, {L"-x", false}})
        EXPECT_EQ(silent, HasSilentFlag(line)) << line;
    EXPECT_FALSE(HasSilentFlag(nullptr));
}

TEST(PerformanceLibraries, UnderWineTheRegisteredLibrariesStayLoadedUntilRelease)
{
    DirectRegistryAccess access;
    access.Init();
    EXPECT_GE(access.PinnedLibraries(), 1u);  // at least the print spooler's
    EXPECT_NE(nullptr, GetModuleHandleW(L"winspool.drv"));
    access.Release();
    EXPECT_EQ(0u, access.PinnedLibraries());
}
