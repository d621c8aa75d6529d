// Indicator windows and the sampling cycle over real windows: the LED's
// pixels, window styles, sizes, arrangement, the highlight, repainting only
// on change, the tick's effect on records and windows, teardown.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/sampling.h"
#include "app/shell.h"

bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b);
}
bool operator==(const POINT& a, const POINT& b)
{
    return a.x == b.x && a.y == b.y;
}

namespace {

constexpr COLORREF kRead = RGB(50, 255, 50), kWrite = RGB(255, 50, 50), kIdle = RGB(50, 130, 255);

// A record whose every Sample answers `next`.
class ScriptedRecord : public __performance_data {
public:
    std::uint32_t next = 0;
    int samples = 0;
    std::uint32_t Sample() override { return ++samples, next; }
    bool GetText(wchar_t* buffer, std::size_t capacity) override { return capacity && (*buffer = 0, true); }
    std::wstring GetName() override { return L"scripted"; }
    bool Open() override { return true; }
    bool Close() override { return true; }
};

// A 32-bit top-down memory bitmap to paint into and read back.
struct Canvas {
    Canvas(int width, int height) : width(width)
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~Canvas() { SelectObject(dc, old), DeleteDC(dc), DeleteObject(bitmap); }
    COLORREF At(int x, int y) const
    {
        const std::uint32_t p = bits[y * width + x];
        return RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
    }
    int width;
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ old;
};

class IndicatorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterIndicatorClass(GetModuleHandleW(nullptr)); }
    void SetUp() override
    {
        Settings() = SettingsBlock{};
        RebuildBrushes(Settings());
        app.access = std::make_unique<DirectRegistryAccess>();
    }
    void TearDown() override { TearDownIndicators(app); }

    // Appends an entry and its display record at the entry's default place.
    ScriptedRecord& Add(std::uint32_t kind, const wchar_t* label = L"")
    {
        IndicatorEntry& entry = app.indicators.emplace_back();
        entry.kind = kind;
        entry.label = label;
        auto record = std::make_unique<ScriptedRecord>();
        record->entry = &entry;
        ScriptedRecord& scripted = *record;
        auto& data = app.displays.emplace_back(std::make_unique<__gui_data>());
        const POINT at = DefaultIndicatorPosition(app.displays.size() - 1);
        data->x = at.x + 200, data->y = at.y + 200;  // clear of Wine's own tray window
        data->record = std::move(record);
        return scripted;
    }
    HWND WindowAt(std::size_t i) { return app.displays[i]->Window(); }

    Application app;
};

TEST(LedPainter, FillsEachStateClassRowByRowAndSplitsInProportion)
{
    SettingsBlock& s = Settings() = SettingsBlock{};
    RebuildBrushes(s);
    const LedBrushes brushes{s.readBrush.Get(), s.writeBrush.Get(), s.idleBrush.Get()};
    struct Case {
        std::uint32_t state;
        int firstWriteRow;  // rows above are `top`, rows from here `kWrite`
        COLORREF top;
    } cases[] = {{0, 18, kIdle}, {0x00010000, 18, kRead}, {0x00000001, 0, kWrite}, {0x00030001, 13, kRead},
                 {0x00010003, 4, kRead}, {0xFFFF0001, 17, kRead}};
    for (const Case& c : cases) {
        Canvas canvas(24, 18);
        PaintLed(canvas.dc, {0, 0, 24, 18}, c.state, brushes, nullptr);
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 24; ++x)
                ASSERT_EQ(y < c.firstWriteRow ? c.top : kWrite, canvas.At(x, y)) << c.state << " " << x << "," << y;
        EXPECT_EQ(LookOf(c.state, 24, 18, brushes, false).split, c.state >> 16 && c.state & 0xFFFF ? c.firstWriteRow : 18);
    }
}

TEST(LedPainter, LabelIsWhiteFromOnePixelInAndCutAtTheLedsEdge)
{
    SettingsBlock& s = Settings() = SettingsBlock{};
    RebuildBrushes(s);
    Canvas canvas(40, 30);  // black around a 12 x 9 LED at (10, 10)
    PaintLed(canvas.dc, {10, 10, 22, 19}, 0, {s.readBrush.Get(), s.writeBrush.Get(), s.idleBrush.Get()}, L"All");
    int white = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool led = x >= 10 && x < 22 && y >= 10 && y < 19;
            if (!led || x == 10) {
                ASSERT_EQ(led ? kIdle : 0, canvas.At(x, y)) << x << "," << y;
            }
            white += GetRValue(canvas.At(x, y)) > 200;  // text, perhaps smoothed
        }
    EXPECT_GT(white, 5);
}

TEST_F(IndicatorTest, WindowStylesAlphaAndSizeFollowTheSettings)
{
    Add(kKindPhysicalDrive);
    Settings().ledSizeIdx = 7;
    for (int opacity : {255, 128, 0}) {
        Settings().opacity = opacity;
        RecreateIndicatorWindows(app.displays, 7);
        const HWND window = WindowAt(0);
        ASSERT_TRUE(window);
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
        EXPECT_EQ(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, style & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
        EXPECT_EQ(opacity != 255, (style & WS_EX_LAYERED) != 0) << opacity;
        BYTE alpha = 1;
        if (opacity != 255) {
            EXPECT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr) && alpha == opacity);
        }
        RECT rect{};
        GetWindowRect(window, &rect);
        EXPECT_EQ((RECT{202, 202, 218, 214}), rect);  // 16 x 12: the index fell back to 1
    }
    EXPECT_EQ(1, Settings().ledSizeIdx);
}

TEST_F(IndicatorTest, ModeAndVisibleFlagChooseWindowsAndArrangingSkipsHiddenOnes)
{
    Add(kKindPhysicalDrive), Add(kKindLogicalDisk), Add(kKindAllInOne);
    app.displays[0]->visible = false;
    RecreateIndicatorWindows(app.displays, kKindPhysicalDrive | kKindLogicalDisk);
    EXPECT_EQ(nullptr, WindowAt(0));  // hidden by its flag
    EXPECT_NE(nullptr, WindowAt(1));
    EXPECT_EQ(nullptr, WindowAt(2));  // its kind is not in the mode
    for (auto& data : app.displays)
        data->highlight = 0;
    ArrangeIndicators(app.displays);
    EXPECT_EQ((POINT{202, 202}), (POINT{app.displays[0]->x, app.displays[0]->y}));
    EXPECT_EQ((POINT{2, 2}), (POINT{app.displays[1]->x, app.displays[1]->y}));
    EXPECT_EQ(100, app.displays[1]->highlight);
    EXPECT_EQ(0, app.displays[0]->highlight);
}

TEST_F(IndicatorTest, HighlightRunsThroughTheHuesAndDestroyingAWindowRestoresEveryColour)
{
    Add(kKindPhysicalDrive), Add(kKindAllInOne);
    RecreateIndicatorWindows(app.displays, 7);
    __gui_data& first = *app.displays[0];
    first.highlight = 100;
    StepHighlight(WindowAt(0), first);
    EXPECT_EQ(RGB(255, 0, 30), first.highlightColour);
    first.highlight = 51;
    StepHighlight(WindowAt(0), first);
    EXPECT_EQ(RGB(255, 0, 0), first.highlightColour);
    EXPECT_EQ(RGB(255, 0, 0), LookOf(0, 1, 1, {Settings().readBrush.Get(), nullptr, Settings().idleBrush.Get()}, 0).top);

    DestroyWindow(WindowAt(1));
    EXPECT_EQ(nullptr, app.indicators[1].window);  // the entry forgets its window
    EXPECT_EQ(kIdle, LookOf(0, 1, 1, {Settings().readBrush.Get(), nullptr, Settings().idleBrush.Get()}, 0).top);
    EXPECT_EQ(kRead, LookOf(0x10000, 1, 1, {Settings().readBrush.Get(), nullptr, nullptr}, 0).top);

    first.highlight = 1;
    StepHighlight(WindowAt(0), first);  // the last step ends the highlight
    EXPECT_EQ(0, first.highlight);
    EXPECT_FALSE(first.enlarged);
}

TEST_F(IndicatorTest, TickSamplesEveryRecordRefreshesShownOnesAndRepaintsOnlyOnChange)
{
    ScriptedRecord& shown = Add(kKindPhysicalDrive);
    ScriptedRecord& hidden = Add(kKindLogicalDisk);
    app.displays[1]->visible = false;
    RecreateIndicatorWindows(app.displays, 7);
    shown.next = 0x00030001, hidden.next = 0x00000004;
    SamplingTick(app);
    EXPECT_EQ(1, hidden.samples);
    EXPECT_EQ(0x00000004u, hidden.state);
    EXPECT_EQ(0x00030005u, app.anyActivity);
    const HWND window = WindowAt(0);
    UpdateWindow(window);
    EXPECT_EQ((LedLook{kRead, kWrite, 9, 16, 12, true}), app.displays[0]->painted);

    SamplingTick(app);  // the same state: nothing to repaint
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    shown.next = 0x00010001;
    SamplingTick(app);  // another split row
    EXPECT_TRUE(GetUpdateRect(window, nullptr, FALSE));
    UpdateWindow(window);
    EXPECT_EQ(6, app.displays[0]->painted.split);
}

TEST_F(IndicatorTest, HighlightTickStopsWhenNoShownIndicatorHasStepsLeft)
{
    EXPECT_FALSE(HighlightTick(app));  // nothing shown at all
    Add(kKindPhysicalDrive), Add(kKindLogicalDisk);
    app.displays[0]->highlight = 2, app.displays[1]->highlight = 100;
    app.displays[1]->visible = false;
    RecreateIndicatorWindows(app.displays, 7);
    EXPECT_TRUE(HighlightTick(app));
    EXPECT_FALSE(HighlightTick(app));  // the hidden one's 100 steps do not count
    EXPECT_EQ(100, app.displays[1]->highlight);
}

TEST_F(IndicatorTest, IndicatorsSavedOnNoMonitorComeBackToTheirDefaultPlace)
{
    Add(kKindPhysicalDrive), Add(kKindAllInOne);
    app.displays[1]->x = 5000, app.displays[1]->y = -3000;
    RecreateIndicatorWindows(app.displays, 7);
    EXPECT_EQ(1, BringIndicatorsOnScreen(app.displays));
    EXPECT_EQ((POINT{20, 2}), (POINT{app.displays[1]->x, app.displays[1]->y}));
    RECT rect{};
    GetWindowRect(WindowAt(1), &rect);
    EXPECT_EQ((POINT{20, 2}), (POINT{rect.left, rect.top}));
    EXPECT_EQ((POINT{202, 202}), (POINT{app.displays[0]->x, app.displays[0]->y}));
}

TEST_F(IndicatorTest, TeardownDestroysWindowsAndForgetsTheTrayRecord)
{
    Add(kKindAllInOne);
    app.trayRecord = app.displays[0]->record.get();
    RecreateIndicatorWindows(app.displays, 7);
    const HWND window = WindowAt(0);
    TearDownIndicators(app);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, app.indicators[0].window);
    EXPECT_EQ(nullptr, app.trayRecord);
    EXPECT_TRUE(app.displays.empty());
    SamplingTick(app);  // a tick after teardown touches nothing freed
}

TEST(SamplingPeriod, AnUnusableFrequencyRunsTheTimerAt50Milliseconds)
{
    for (auto [frequency, period] : {std::pair{50, 50u}, {10, 10u}, {60000, 60000u}, {9, 50u}, {60001, 50u}, {-1, 50u}, {0, 50u}})
        EXPECT_EQ(period, SamplingPeriod(frequency)) << frequency;
}

}  // namespace
