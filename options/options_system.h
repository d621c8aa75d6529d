#pragma once
// The operating-system calls of the Options window that tests must control:
// the colour dialog and opening a web address. The default implementation
// makes the real Win32 calls.
#include <windows.h>
#include <commdlg.h>

class OptionsSystem {
public:
    virtual ~OptionsSystem() = default;

    // ChooseColorW: true when the user chose a colour (in choice.rgbResult).
    virtual bool ChooseColour(CHOOSECOLORW& choice);

    // ShellExecuteW "open" with SW_SHOW, no parameters and no directory.
    virtual void OpenAddress(HWND owner, const wchar_t* address);
};

// The seam in force: the real system unless a test put another in place.
OptionsSystem& CurrentOptionsSystem();

// Puts a replacement in force for its lifetime (tests, the benchmark).
class ScopedOptionsSystem {
public:
    explicit ScopedOptionsSystem(OptionsSystem& replacement);
    ~ScopedOptionsSystem();
    ScopedOptionsSystem(const ScopedOptionsSystem&) = delete;
    ScopedOptionsSystem& operator=(const ScopedOptionsSystem&) = delete;

private:
    OptionsSystem* previous_;
};
