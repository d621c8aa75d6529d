#pragma once
// Out of the way of full-screen programs: while a window of another program
// is in front and covers the whole of its monitor (a game, a video, a slide
// show; not the desktop or the taskbar), the indicators on that monitor hide,
// and they come back when it leaves or stops covering it. The sampling tick
// looks once a tick, so nothing wakes the program for it while nothing changes.
#include <windows.h>

#include "display/display_record.h"

// The monitor a full-screen window of another program covers now, or null.
HMONITOR FullScreenMonitor();

// Hides the windows of the records that lie on the covered monitor and shows
// again those it hid that no longer do (all of them when none is covered).
void KeepOutOfFullScreen(DisplayList& displays, HMONITOR covered);
