#include "app/sampling.h"

#include "app/application.h"
#include "display/full_screen.h"
#include "display/indicator_interaction.h"
#include "display/indicator_window.h"

namespace {

// Adds the time of its own lifetime to a profile field, when there is one.
class ProfileSpan {
public:
    explicit ProfileSpan(std::int64_t* total) : total_(total)
    {
        if (total_)
            QueryPerformanceCounter(&start_);
    }
    ~ProfileSpan()
    {
        if (!total_)
            return;
        LARGE_INTEGER end{};
        QueryPerformanceCounter(&end);
        *total_ += end.QuadPart - start_.QuadPart;
    }
    ProfileSpan(const ProfileSpan&) = delete;
    ProfileSpan& operator=(const ProfileSpan&) = delete;

private:
    std::int64_t* total_;
    LARGE_INTEGER start_{};
};

bool IsShown(const gui_data& data)
{
    const HWND window = data.Window();
    return data.visible && window && IsWindowVisible(window);
}

// What the windows would do with an unchanged sample: a highlight step, a
// shown tip's text, a tray icon's image.
bool ShowDue(const Application& app)
{
    for (const auto& data : app.displays) {
        if (IsShown(*data) && (data->highlight != 0 || TipFollowDue(*data)))
            return true;
    }
    return (app.tray.Present() && app.tray.Shown() != app.tray.ImageFor(app.trayState, app.settings)) ||
           app.driveTray.UpdateDue(app.settings);
}

}  // namespace

void BuildIndicatorRecords(Application& app)
{
    for (std::size_t index = 0; index < app.indicators.size(); ++index) {
        IndicatorEntry& entry = app.indicators[index];
        auto data = std::make_unique<gui_data>();
        data->store = app.store.get();
        data->host = app.indicatorHost;
        const IndicatorPlace place = DefaultIndicatorPlace(index);
        data->x = place.x;
        data->y = place.y;
        data->visible = true;
        data->highlight = kHighlightSteps;
        data->record = CreatePerformanceData(entry.kind, *app.access, app.indicators);
        if (data->record) {
            if (entry.kind == kKindAllInOne)
                app.trayRecord = data->record.get();
            data->record->entry = &entry;
        }
        ExchangeIndicatorSettings(*data, Exchange::Load, entry.devicePath);
        if (data->record)
            data->record->Open();
        app.displays.push_back(std::move(data));
    }
}

bool SampleRecords(Application& app, TickProfile* profile)
{
    const SettingsBlock& settings = app.settings;
    app.keyboard.PreStep(app.anyActivity, settings);
    app.trayState = 0;
    bool fresh = false;
    {
        ProfileSpan span(profile ? &profile->query : nullptr);
        fresh = app.access->Refresh();
    }
    bool changed = false;
    if (fresh) {
        ProfileSpan span(profile ? &profile->sample : nullptr);
        for (const auto& data : app.displays) {
            performance_data* record = data->record.get();
            if (!record || !record->BeginSample())
                continue;
            const std::uint32_t before = record->state;
            record->state = record->Sample();
            record->EndSample();
            app.anyActivity |= record->state;
            changed = changed || record->state != before;
        }
        if (settings.useKeyboardLed)
            app.keyboard.PostStep(app.anyActivity, settings);
        if (settings.useTrayLed && app.trayRecord && app.tray.Present())
            app.trayState = app.trayRecord->state;
    }
    // The LED changes once, at the end of the tick, and only when what it
    // shows differs from what it showed; a press is the program's thread's.
    const bool pressDue = app.keyboard.Step(settings);
    const HMONITOR covered = settings.hideOverFullScreen ? FullScreenMonitor() : nullptr;
    const bool coverChanged = covered != app.fullScreenMonitor;
    app.fullScreenMonitor = covered;
    return changed || pressDue || coverChanged || ShowDue(app);
}

void ShowSample(Application& app, TickProfile* profile)
{
    ProfileSpan span(profile ? &profile->refresh : nullptr);
    KeepOutOfFullScreen(app.displays, app.fullScreenMonitor);
    for (const auto& data : app.displays) {
        if (IsShown(*data))
            RefreshIndicator(data->Window());
    }
    app.tray.Update(app.trayState, app.settings);
    app.driveTray.Update(app.settings);
    app.keyboard.Press(app.settings);
}

void SamplingTick(Application& app, TickProfile* profile)
{
    SampleRecords(app, profile);
    ShowSample(app, profile);
}

bool HighlightTick(Application& app)
{
    bool stepsLeft = false;
    for (const auto& data : app.displays) {
        if (data->highlight == 0 || !IsShown(*data))
            continue;
        RefreshIndicator(data->Window());
        stepsLeft = stepsLeft || data->highlight != 0;
    }
    return stepsLeft;
}

UINT SamplingPeriod(std::int32_t frequency)
{
    return frequency < 10 || frequency > 60000 ? 50u : static_cast<UINT>(frequency);
}
