// Dragging indicators and the save it schedules, the tooltip's text (the drag
// hint, and the statistics cut at the end of the buffer), and the tooltip's
// own measuring and painting.
#include <algorithm>

#include "display/indicator_interaction.h"
#include "indicator_fixture.h"

namespace {

class InteractionTest : public TwoDisksTest {
protected:
    bool SaveScheduled() { return KillTimer(App().worker, IDT_SAVE_SETTINGS); }
    void Mouse(int i, UINT message, int x, int y = 5) { SendMessageW(Window(i), message, MK_LBUTTON, MAKELPARAM(x, y)); }
    std::wstring TipText()
    {
        wchar_t text[1024] = {};  // what a tooltip may copy
        TOOLINFOW tool{sizeof tool, 0, Window(0), 0, {}, nullptr, text};
        return SendMessageW(App().displays[0]->tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool)), text;
    }
};

TEST_F(InteractionTest, CtrlSnapsToEightPixelsShiftMovesAllAndTheReleaseSchedulesTheSave)
{
    Mouse(0, WM_MOUSEMOVE, 30);  // no press on the indicator yet: no drag
    EXPECT_EQ("300,300", At(0));
    Mouse(0, WM_LBUTTONDOWN, 5);
    display.ctrl = true;
    Mouse(0, WM_MOUSEMOVE, 12);
    EXPECT_EQ("300,300", At(0));  // 7 pixels: no step yet
    Mouse(0, WM_MOUSEMOVE, 14, 2);
    EXPECT_EQ("308,300", At(0));  // 9 pixels: one step, the cursor 1 pixel right of the origin
    display.ctrl = false, display.shift = true;
    Mouse(0, WM_MOUSEMOVE, 8, 8);
    EXPECT_EQ("311,303", At(0));
    EXPECT_EQ("343,303", At(1));
    EXPECT_FALSE(SaveScheduled());
    Mouse(0, WM_LBUTTONUP, 5);
    EXPECT_TRUE(SaveScheduled());
}

TEST_F(InteractionTest, LosingTheCaptureEndsTheDragAndSchedulesTheSave)
{
    Mouse(0, WM_LBUTTONDOWN, 5);
    EXPECT_EQ(kDragHint, TipText());  // the tooltip's own request
    SetCapture(Window(1));            // as Alt+Tab would take it
    EXPECT_TRUE(SaveScheduled());
    Mouse(1, WM_MOUSEMOVE, 20), Mouse(0, WM_MOUSEMOVE, 20);
    EXPECT_EQ("300,300", At(0));
    EXPECT_EQ("340,300", At(1));
    ReleaseCapture();
    EXPECT_FALSE(SaveScheduled());  // no drag was left to end
    EXPECT_EQ(L"Read: 1 KB\n___", TipText().substr(0, 14));  // the statistics, then the process list
}

TEST_F(InteractionTest, TooltipTextIsCutAtTheEndOfItsBuffer)
{
    wchar_t buffer[700];
    for (std::wstring text : {std::wstring(100 * 40, L'x'), std::wstring(200, L'y')}) {
        Record(0).text = text;
        std::fill(std::begin(buffer), std::end(buffer), L'#');
        FillTooltipText(Window(0), *App().displays[0], buffer, 300);
        EXPECT_EQ(text.substr(0, 10) + L"|299", std::wstring(buffer, 10) + L"|" + std::to_wstring(wcslen(buffer)));
        EXPECT_EQ(std::wstring(400, L'#'), std::wstring(buffer + 300, 400));  // the canary
    }
}

TEST_F(InteractionTest, MeasuringSizesTheTipForTheBoldTitleAboveTheBodyAndPaintingDrawsBoth)
{
    const Canvas canvas(400, 100);
    __gui_data& data = *App().displays[0];
    NMTTCUSTOMDRAW draw{{{data.tooltip, 0, static_cast<UINT>(NM_CUSTOMDRAW)}, CDDS_PREPAINT, canvas.dc}, DT_CALCRECT};
    EXPECT_EQ(CDRF_SKIPDEFAULT, SendMessageW(Window(0), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw)));
    ASSERT_EQ(2u, data.tipLayout.size());
    const RECT title = data.tipLayout[0], body = data.tipLayout[1];
    const RECT tip{0, 0, std::max(title.right, body.right), title.bottom + body.bottom};
    EXPECT_TRUE(EqualRect(&tip, &draw.nmcd.rc) && title.top + body.top == 0 && draw.uDrawFlags == 0x1C0);

    // The same words as title and body: the bold title is wider and leaves more ink.
    const TipLayout layout = MeasureTooltip(canvas.dc, L"Disk 0 Disk 0", L"Disk 0 Disk 0", TooltipFonts());
    EXPECT_GT(layout.title.right, layout.body.right);
    const int h = layout.title.bottom;
    PaintTooltip(canvas.dc, 400, 100, L"Disk 0 Disk 0", L"Disk 0 Disk 0", h, TooltipFonts());
    int ink[3] = {};  // title, body, below
    for (int y = 2; y < 2 + 3 * h && y < 98; ++y)
        for (int x = 2; x < 398; ++x)
            ink[(y - 2) / h] += GetPixel(canvas.dc, x, y) != GetSysColor(COLOR_INFOBK);
    EXPECT_GT(ink[0], ink[1] + ink[1] / 10);
    EXPECT_GT(ink[1], 20);
    EXPECT_EQ(0, ink[2]);
}

}  // namespace
