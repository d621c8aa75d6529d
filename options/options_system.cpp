#include "options/options_system.h"

#include <shellapi.h>

namespace {

OptionsSystem g_realSystem;
OptionsSystem* g_current = &g_realSystem;

}  // namespace

bool OptionsSystem::ChooseColour(CHOOSECOLORW& choice)
{
    return ChooseColorW(&choice) != FALSE;
}

void OptionsSystem::OpenAddress(HWND owner, const wchar_t* address)
{
    ShellExecuteW(owner, L"open", address, nullptr, nullptr, SW_SHOW);
}

OptionsSystem& CurrentOptionsSystem()
{
    return *g_current;
}

ScopedOptionsSystem::ScopedOptionsSystem(OptionsSystem& replacement) : previous_(g_current)
{
    g_current = &replacement;
}

ScopedOptionsSystem::~ScopedOptionsSystem()
{
    g_current = previous_;
}
