#pragma once
// The sampling cycle: the records behind the indicators, the periodic tick that
// samples them and feeds the three displays, and the start-up highlight tick.
#include <windows.h>

#include <cstdint>

struct Application;

// Where one tick's time went, in performance-counter ticks (the benchmark).
struct TickProfile {
    std::int64_t query = 0;    // refreshing the performance-data snapshot
    std::int64_t sample = 0;   // sampling the records
    std::int64_t refresh = 0;  // refreshing the indicator windows
};

// Appends one display record (with its performance record, its loaded
// settings and its source opened) per indicator entry, in list order.
void BuildIndicatorRecords(Application& app);

// The half of the sampling tick that touches no window: keyboard LED
// pre-step, snapshot refresh, every record sampled in display-list order, the
// keyboard LED post-step and, in direct mode, its switch (only when what it
// shows changes), and whether a full-screen program covers a monitor. Answers
// whether the program's thread has anything to do: a record's state changed,
// a highlight or a shown tip's text is due, the tray icon's image (a drive's
// among them) differs, ScrollLock is to be pressed, or a monitor was covered
// or uncovered.
bool SampleRecords(Application& app, TickProfile* profile = nullptr);
// The program thread's half: the indicators on a covered monitor hidden (and
// shown again once it is not), every shown indicator refreshed in list order
// and repainted when what it shows changed, then the tray icons (the drives'
// showing their own records), each switched only when its image changes, and
// ScrollLock pressed when its toggle is not the one wanted.
void ShowSample(Application& app, TickProfile* profile = nullptr);
// Both halves on the calling thread.
void SamplingTick(Application& app, TickProfile* profile = nullptr);

// One highlight step of every shown indicator that has steps left; answers
// whether any shown indicator still has some.
bool HighlightTick(Application& app);

// The sampling timer's period for a "Frequency" setting: the setting itself,
// or 50 ms when no timer can use it (below 10 ms or above 60,000 ms).
UINT SamplingPeriod(std::int32_t frequency);
