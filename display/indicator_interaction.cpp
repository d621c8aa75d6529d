#include "display/indicator_interaction.h"

#include "display/indicator_window.h"

HWND CreateIndicatorTooltip(HWND)
{
    return nullptr;
}

void RelayToTooltip(HWND, __gui_data&, UINT, WPARAM, LPARAM) {}

void RefreshIndicatorTooltip(__gui_data&) {}
