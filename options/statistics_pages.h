#pragma once
// The two statistics tabs (dialog 147): the summary of every indicator on
// screen and the processes with the most I/O.
#include <windows.h>

#include <string>

#include "display/display_record.h"

// The pages' refresh timer.
inline constexpr UINT_PTR IDT_STATS_REFRESH = 5911;
inline constexpr UINT kStatsRefreshPeriod = 1000;

// One block per indicator, in list order, whose window is visible and which
// has a performance record: the record's name, its statistics and an empty
// line (a physical drive's serial number and details before the empty line
// when it has them). Empty when no indicator is on screen.
std::wstring SummaryText(const DisplayList& displays);

// Puts the summary of the program's indicators into the page's text box,
// keeping the box's scroll position.
void BuildSummaryText(HWND page);

// Shows a text in a statistics page's text box when it differs from the one
// shown, keeping the box's first visible line.
void SetStatisticsText(HWND page, const std::wstring& text);

// A statistics page's commands: "Close" and Esc close the page and the Options
// window (TRUE); "Auto refresh" sets "StatPageRefresh", which both pages share.
INT_PTR OnStatisticsCommand(HWND page, int id);
