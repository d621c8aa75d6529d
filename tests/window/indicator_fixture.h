#pragma once
// Indicators in the program's own lists, each at (300 + 40 i, 300) with a
// record whose state the test sets, shown through the program's host; a
// message-only window standing in for the worker; the display seam scripted
// (the shell's icon calls recorded, Shift and Ctrl held on request); and a
// memory bitmap to paint into and read back.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/messages.h"
#include "app/program.h"
#include "app/program_host.h"
#include "app/worker_window.h"
#include "display/indicator_window.h"
#include "fake_display_system.h"
#include "options/options_window.h"

constexpr COLORREF kRead = RGB(50, 255, 50);
constexpr COLORREF kWrite = RGB(255, 50, 50);
constexpr COLORREF kIdle = RGB(50, 130, 255);

// Every Sample answers `next`; the text is "Read: 1 KB".
class ScriptedRecord : public performance_data {
public:
    std::uint32_t next = 0;
    int samples = 0;
    std::uint32_t Sample() override
    {
        ++samples;
        return next;
    }
    bool GetText(wchar_t* buffer, std::size_t capacity) override
    {
        recordtext::CopyBounded(L"Read: 1 KB", buffer, capacity);
        return true;
    }
    std::wstring GetName() override { return entry->displayName; }
    bool Open() override { return true; }
    bool Close() override { return true; }
};

// A 32-bit memory bitmap.
struct Canvas {
    Canvas(int width, int height)
    {
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB}};
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    HGDIOBJ old;
};

// The icon's colour pixels, top row first, as 0xAARRGGBB.
inline std::vector<std::uint32_t> IconPixels(HICON icon, int size)
{
    ICONINFO info{};
    EXPECT_TRUE(GetIconInfo(icon, &info));
    BITMAPINFO format{{sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB}};
    std::vector<std::uint32_t> pixels(size * size);
    EXPECT_EQ(size, GetDIBits(Canvas(1, 1).dc, info.hbmColor, 0, size, pixels.data(), &format, DIB_RGB_COLORS));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

class IndicatorsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App().instance = GetModuleHandleW(nullptr);
        [[maybe_unused]] static bool registered = RegisterIndicatorClass(App().instance);
        App().settings = SettingsBlock{};
        App().settings.indicatorMode = 7;
        App().access = std::make_unique<DirectRegistryAccess>();
        App().worker.Reset(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
        ConnectHosts(App());
    }
    void TearDown() override
    {
        CloseOptionsWindow(App());
        RemoveTrayIcon(App());
        TearDownIndicators(App());
        App().indicators.clear();
        App().worker.Reset();
        App().store.reset();
    }
    // The windows of the indicator mode and the visible flags, made again.
    static void Recreate() { RecreateIndicatorWindows(App().instance, App().displays, App().settings); }
    static SettingsBlock& Settings() { return App().settings; }
    static HWND Options() { return App().options.Get(); }
    ScriptedRecord& Add(std::uint32_t kind, const wchar_t* name = L"")
    {
        App().indicators.push_back({name, name, L"", L"", L"", L"", kind});
        auto& data = App().displays.emplace_back(std::make_unique<gui_data>());
        data->host = App().indicatorHost;
        data->x = 260 + 40 * static_cast<int>(App().displays.size());
        data->y = 300;
        data->record = std::make_unique<ScriptedRecord>();
        data->record->entry = &App().indicators.back();
        return Record(App().displays.size() - 1);
    }
    static HWND Window(std::size_t i) { return App().displays[i]->Window(); }
    // "x,y" of the indicator's record, where its window, if it has one, must stand too.
    static std::string At(std::size_t i)
    {
        const gui_data& data = *App().displays[i];
        RECT rect{data.x, data.y};
        if (data.Window())
            GetWindowRect(data.Window(), &rect);
        EXPECT_TRUE(data.x == rect.left && data.y == rect.top) << i << ": " << rect.left << "," << rect.top;
        return std::to_string(data.x) + "," + std::to_string(data.y);
    }
    static ScriptedRecord& Record(std::size_t i) { return static_cast<ScriptedRecord&>(*App().displays[i]->record); }
    // The colour the indicator's window painted last at its top.
    static COLORREF Painted(std::size_t i)
    {
        UpdateWindow(Window(i));
        return App().displays[i]->painted.top;
    }
    static void Notify(HWND page, int id, int code) { SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, code), 0); }
    // What a click on a check box does: its state flips, then the page hears of it.
    static void Toggle(HWND page, int id)
    {
        CheckDlgButton(page, id, IsDlgButtonChecked(page, id) ? BST_UNCHECKED : BST_CHECKED);
        Notify(page, id, BN_CLICKED);
    }
    static std::wstring Text(HWND page, int id)
    {
        wchar_t text[4096] = {};
        GetDlgItemTextW(page, id, text, 4096);
        return text;
    }

    FakeDisplaySystem display;
    ScopedDisplaySystem scoped{display};
};
