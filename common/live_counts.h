#pragma once
// How many GDI objects, kernel handles, windows and icons the program holds through
// its own owners. Under Wine the system's own counts (GetGuiResources,
// GetProcessHandleCount) answer 0, so the benchmark and the leak checks read
// these, next to a validity probe of what was released.
struct LiveCounts {
    long gdiObjects = 0;
    long handles = 0;
    long windows = 0;
    long icons = 0;
    long deviceWatches = 0;  // device notifications registered for open handles
};

inline LiveCounts& Live()
{
    static LiveCounts counts;
    return counts;
}
