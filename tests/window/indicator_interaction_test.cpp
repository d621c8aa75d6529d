// Dragging indicators (one, all with Shift, 8-pixel steps with Ctrl) and the
// save it schedules, the tip (the drag hint, the statistics, hover and leave),
// and the real process walk behind the tip's process list.
#include <algorithm>

#include "display/indicator_interaction.h"
#include "indicator_fixture.h"
#include "sources/process_sampler.h"

namespace {

// "Disk 0" and "Disk 1", physical drives, with their windows.
class InteractionTest : public IndicatorsTest {
protected:
    void SetUp() override
    {
        IndicatorsTest::SetUp();
        Add(kKindPhysicalDrive, L"Disk 0");
        Add(kKindPhysicalDrive, L"Disk 1");
        Recreate();
    }
    bool SaveScheduled() { return KillTimer(App().worker.Get(), IDT_SAVE_SETTINGS); }
    void Mouse(int i, UINT message, int x, int y = 5)
    {
        SendMessageW(Window(i), message, MK_LBUTTON, MAKELPARAM(x, y));
    }
    // Presses on the first indicator at (5, 5), moves to each point with the keys held, lets go.
    void Drag(std::initializer_list<POINT> moves, std::initializer_list<int> keys = {})
    {
        display.held = keys;
        Mouse(0, WM_LBUTTONDOWN, 5);
        for (const POINT move : moves)
            Mouse(0, WM_MOUSEMOVE, move.x, move.y);
        Mouse(0, WM_LBUTTONUP, 5);
        display.held.clear();
    }
    bool TipShown(int i) { return IsWindowVisible(App().displays[i]->tooltip); }
    // The first indicator's tip: its title, a line break and its body.
    std::wstring TipText()
    {
        wchar_t text[1024] = {};
        GetWindowTextW(App().displays[0]->tooltip, text, 1024);
        return text;
    }
};

// Client coordinates, so a move goes along with the window: each move is
// measured from the press. Without a key one indicator moves, with Shift both,
// with Ctrl in whole steps of 8 toward zero; the places are saved a second
// after the drag.
TEST_F(InteractionTest, DragsMoveOneOrAllIndicatorsOrSnapToTheGrid)
{
    Drag({{15, 25}});
    EXPECT_EQ("310,320", At(0));
    EXPECT_EQ("340,300", At(1));
    EXPECT_TRUE(SaveScheduled());
    Drag({{5, 15}}, {VK_SHIFT});
    EXPECT_EQ("310,330", At(0));
    EXPECT_EQ("340,310", At(1));
    Drag({{12, 2}, {16, 14}}, {VK_CONTROL});  // 7 and -3 give nothing yet; 11 and 9 give 8 and 8
    EXPECT_EQ("318,338", At(0));
}

// A press shows the drag hint at once; losing the capture (as Alt+Tab takes
// it) ends the drag; released off the indicator the tip goes (its leaving was
// not told during the capture), released on it the tip shows the statistics
// until the pointer leaves.
TEST_F(InteractionTest, TheTipShowsTheHintDuringADragAndTheStatisticsAfter)
{
    Mouse(0, WM_LBUTTONDOWN, 5);
    EXPECT_EQ(L"Disk 0\n" + std::wstring(kDragHint), TipText());
    EXPECT_TRUE(TipShown(0));
    SetCapture(Window(1));
    EXPECT_TRUE(SaveScheduled());
    Mouse(0, WM_MOUSEMOVE, 20);
    EXPECT_EQ("300,300", At(0));
    ReleaseCapture();
    for (const auto& [x, shown] : {std::pair{-30, false}, {5, true}}) {
        Mouse(0, WM_LBUTTONDOWN, 5);
        Mouse(0, WM_LBUTTONUP, x);
        EXPECT_EQ(shown, TipShown(0)) << x;
    }
    EXPECT_EQ(L"Disk 0\nRead: 1 KB\n___", TipText().substr(0, 21));  // the statistics, then the process list
    SendMessageW(Window(0), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(TipShown(0));
}

// The real walk (under Wine, Process32FirstW fails for an entry of the 32-bit size).
TEST(ProcessSampler, TheRealSnapshotHoldsThisProcess)
{
    const ProcessSnapshot snapshot = SnapshotProcessIo();
    EXPECT_TRUE(std::ranges::any_of(snapshot.records, [](auto& r) { return r.processId == GetCurrentProcessId(); }));
}

}  // namespace
