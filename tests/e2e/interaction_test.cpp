// qorvel.exe under the user's hands, driven from outside: the Options window
// that a second start and a tray click bring up, an opacity change made on its
// page, its File menu's exit; an indicator's live tooltip and its menu's exit.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/worker_window.h"
#include "options/options_window.h"
#include "resources/resource.h"
#include "tests/support/program_driver.h"

namespace {

// A copy of the bytes in the program's own memory, for messages that carry a
// pointer; the block lives as long as the program.
void* CopyIntoProgram(const RunningProgram& program, const void* bytes, size_t size)
{
    void* block = VirtualAllocEx(program.Process(), nullptr, 16384, MEM_COMMIT, PAGE_READWRITE);
    if (block)
        WriteProcessMemory(program.Process(), block, bytes, size, nullptr);
    return block;
}

class InteractionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveSettingsFile();
        disks.Physical("0 C:");
        disks.Write();
    }
    void TearDown() override
    {
        DiskScript::Clear();
        RemoveSettingsFile();
    }

    // The Options window once it is shown, with the index of its tab and its page.
    HWND ShownOptions(const RunningProgram& program, int* tab, HWND* page)
    {
        HWND frame = nullptr;
        WaitUntil([&] {
            const std::vector<HWND> frames = program.Windows(kOptionsClass);
            frame = frames.size() == 1 && IsWindowVisible(frames[0]) ? frames[0] : nullptr;
            return frame != nullptr;
        }, 5000);
        const HWND tabs = FindWindowExW(frame, nullptr, WC_TABCONTROLW, nullptr);
        *tab = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        *page = FindWindowExW(tabs, nullptr, L"#32770", nullptr);  // the page lies on the tabs
        return frame;
    }

    DiskScript disks;
};

TEST_F(InteractionTest, OptionsComeUpOnGeneralKeepAnOpacityChangeAndExitEndsTheProgram)
{
    RunningProgram program(L"s");
    {
        RunningProgram second(L"");
        DWORD code = 99;
        ASSERT_TRUE(second.WaitForExit(2000, &code));
        EXPECT_EQ(0u, code);
    }
    int tab = -1;
    HWND page = nullptr;
    HWND frame = ShownOptions(program, &tab, &page);
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(frame, GetForegroundWindow());
    EXPECT_EQ(0, tab);
    EXPECT_NE(nullptr, GetDlgItem(page, IDC_IND_START_WITH_WINDOWS));

    // The Appearance tab, chosen with the arrow key; its opacity slider at 128.
    const HWND tabs = FindWindowExW(frame, nullptr, WC_TABCONTROLW, nullptr);
    SendMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    page = FindWindowExW(tabs, nullptr, L"#32770", nullptr);
    const HWND slider = GetDlgItem(page, IDC_APP_OPACITY);
    ASSERT_NE(nullptr, slider);
    SendMessageW(slider, TBM_SETPOS, TRUE, 128);
    SendMessageW(page, WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(slider));
    BYTE alpha = 0;
    GetLayeredWindowAttributes(program.Windows(L"QORVELIndicator")[0], nullptr, &alpha, nullptr);
    EXPECT_EQ(128, alpha);

    // "&Hide options" closes the page and stores the change; a tray click opens a fresh window on "General".
    PostMessageW(frame, WM_COMMAND, IDC_HIDE_OPTIONS, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(frame); }, 3000));
    EXPECT_NE(std::string::npos, ReadFileBytes(SettingsFilePath()).find("\r\nOpacity=128\r\n"));
    PostMessageW(program.Worker(), WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONUP);
    frame = ShownOptions(program, &tab, &page);
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(0, tab);

    PostMessageW(frame, WM_COMMAND, IDC_EXIT, 0);  // File > "E&xit Qorvel"
    DWORD code = 99;
    ASSERT_TRUE(program.WaitForExit(5000, &code));
    EXPECT_EQ(0u, code);
    EXPECT_NE(std::string::npos, ReadFileBytes(SettingsFilePath()).find("[\\\\.\\PHYSICALDRIVE0]\r\nx=2\r\ny=2\r\n"));
}

TEST_F(InteractionTest, HoverShowsTheLiveTipAndTheIndicatorMenusExitEndsTheProgram)
{
    RunningProgram program(L"s");
    const std::vector<HWND> indicators = program.Windows(L"QORVELIndicator");
    ASSERT_EQ(2u, indicators.size());  // drive 0 at (2, 2), then the all-in-one indicator
    SetCursorPos(7, 7);
    SetCursorPos(8, 6);
    HWND tip = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND window : program.Windows(TOOLTIPS_CLASSW))
            tip = IsWindowVisible(window) ? window : tip;
        return tip != nullptr;
    }, 3000));
    // The tip's text, asked for through the program's own memory.
    TOOLINFOW tool{sizeof tool, 0, indicators[0]};
    char* const block = static_cast<char*>(CopyIntoProgram(program, &tool, sizeof tool));
    tool.lpszText = reinterpret_cast<wchar_t*>(block + 1024);
    WriteProcessMemory(program.Process(), block, &tool, sizeof tool, nullptr);
    SendMessageW(tip, TTM_GETTEXTW, 4096, reinterpret_cast<LPARAM>(block));
    std::wstring text(4096, L'\0');
    ReadProcessMemory(program.Process(), tool.lpszText, text.data(), 8192, nullptr);
    text.resize(wcslen(text.c_str()));
    EXPECT_EQ(0u, text.find(L"Read: ")) << text;
    EXPECT_NE(std::wstring::npos, text.find(L"\nSystem-wide Top5 user processes with most IO.")) << text;

    // Its menu; up from no selection is the last item, "Exit Qorvel".
    PostMessageW(indicators[0], WM_RBUTTONUP, 0, MAKELPARAM(6, 4));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        const std::vector<HWND> menus = program.Windows(L"#32768");
        menu = menus.empty() ? nullptr : menus[0];
        return menu && IsWindowVisible(menu);
    }, 5000));
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    DWORD code = 99;
    ASSERT_TRUE(program.WaitForExit(5000, &code));
    EXPECT_EQ(0u, code);
    EXPECT_NE(std::string::npos, ReadFileBytes(SettingsFilePath()).find("\r\n[_Total]\r\nx=20\r\ny=2\r\n"));
}

}  // namespace
