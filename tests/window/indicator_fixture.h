#pragma once
// Two physical-drive indicators in the program's own lists, at (300, 300) and
// (340, 300), with records whose statistics text the test sets, a worker
// window for the save timer, and Shift and Ctrl keys the test holds.
#include <gtest/gtest.h>

#include "app/shell.h"
#include "app/worker_window.h"
#include "fake_display_system.h"

class HeldKeys : public FakeDisplaySystem {
public:
    SHORT AsyncKeyState(int key) override { return (key == VK_CONTROL && ctrl) || (key == VK_SHIFT && shift) ? -1 : 0; }
    bool ctrl = false, shift = false;
};

class TextRecord : public __performance_data {
public:
    std::wstring text = L"Read: 1 KB";
    std::uint32_t Sample() override { return 0; }
    bool GetText(wchar_t* buffer, std::size_t capacity) override { return recordtext::CopyBounded(text, buffer, capacity), true; }
    std::wstring GetName() override { return entry->displayName; }
    bool Open() override { return true; }
    bool Close() override { return true; }
};

class IndicatorsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterIndicatorClass(GetModuleHandleW(nullptr));
        App().worker = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        for (const wchar_t* name : {L"Disk 0", L"Disk 1"}) {
            App().indicators.push_back({name, name, L"", nullptr, L"", L"", L"", kKindPhysicalDrive});
            auto& data = App().displays.emplace_back(std::make_unique<__gui_data>());
            data->x = 260 + 40 * static_cast<int>(App().displays.size()), data->y = 300;
            data->record = std::make_unique<TextRecord>();
            data->record->entry = &App().indicators.back();
        }
        RecreateIndicatorWindows(App().displays, 7);
    }
    void TearDown() override { TearDownIndicators(App()), App().indicators.clear(), DestroyWindow(App().worker); }
    HWND Window(int i) { return App().displays[i]->Window(); }
    TextRecord& Record(int i) { return static_cast<TextRecord&>(*App().displays[i]->record); }

    HeldKeys keys;
    ScopedDisplaySystem scoped{keys};
};
