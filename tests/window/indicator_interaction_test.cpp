// Dragging indicators, the save it schedules, the tooltip's text within its
// buffer and the tooltip's own measuring and painting.
#include <algorithm>

#include "display/indicator_interaction.h"
#include "indicator_fixture.h"

bool operator==(const POINT& a, const POINT& b)
{
    return a.x == b.x && a.y == b.y;
}

namespace {

class InteractionTest : public IndicatorsTest {
protected:
    POINT TopLeft(int i)
    {
        RECT rect{};
        GetWindowRect(Window(i), &rect);
        EXPECT_EQ(rect.left, App().displays[i]->x);
        return {rect.left, rect.top};
    }
    bool SaveScheduled() { return KillTimer(App().worker, IDT_SAVE_SETTINGS); }
    void Mouse(int i, UINT message, int x, int y = 5) { SendMessageW(Window(i), message, MK_LBUTTON, MAKELPARAM(x, y)); }
};

TEST_F(InteractionTest, CtrlSnapsToEightPixelsShiftMovesAllAndTheReleaseSchedulesTheSave)
{
    Mouse(0, WM_MOUSEMOVE, 30);  // no press on the indicator yet: no drag
    EXPECT_EQ(300, TopLeft(0).x);
    Mouse(0, WM_LBUTTONDOWN, 5);
    keys.ctrl = true;
    Mouse(0, WM_MOUSEMOVE, 12);
    EXPECT_EQ(300, TopLeft(0).x);  // 7 pixels: no step yet
    Mouse(0, WM_MOUSEMOVE, 14, 2);
    EXPECT_EQ((POINT{308, 300}), TopLeft(0));  // 9 pixels: one step, the cursor 1 pixel right of the origin
    keys.ctrl = false, keys.shift = true;
    Mouse(0, WM_MOUSEMOVE, 8, 8);
    EXPECT_EQ((POINT{311, 303}), TopLeft(0));
    EXPECT_EQ((POINT{343, 303}), TopLeft(1));
    EXPECT_FALSE(SaveScheduled());
    Mouse(0, WM_LBUTTONUP, 5);
    EXPECT_TRUE(SaveScheduled());
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(InteractionTest, LosingTheCaptureEndsTheDragAndSchedulesTheSave)
{
    Mouse(0, WM_LBUTTONDOWN, 5);
    wchar_t text[1024];  // the size a tooltip may copy
    TOOLINFOW tool{sizeof tool, 0, Window(0)};
    tool.lpszText = text;
    SendMessageW(App().displays[0]->tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(kDragHint, text);  // asked for by the tooltip itself
    SetCapture(Window(1));          // as Alt+Tab would take it
    EXPECT_TRUE(SaveScheduled());
    Mouse(1, WM_MOUSEMOVE, 20);
    Mouse(0, WM_MOUSEMOVE, 20);
    EXPECT_EQ(300, TopLeft(0).x);
    EXPECT_EQ(340, TopLeft(1).x);
    ReleaseCapture();
    EXPECT_FALSE(SaveScheduled());  // no drag was left to end
    SendMessageW(App().displays[0]->tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(0, wcsncmp(L"Read: 1 KB\n___", text, 14)) << text;  // statistics, then the process list
}

TEST_F(InteractionTest, TooltipTextIsCutAtTheEndOfItsBuffer)
{
    wchar_t buffer[700];
    for (std::wstring text : {std::wstring(100 * 40, L'x'), std::wstring(200, L'y')}) {
        Record(0).text = text;
        std::fill(std::begin(buffer), std::end(buffer), L'#');
        FillTooltipText(Window(0), *App().displays[0], buffer, 300);
        EXPECT_EQ(299u, wcslen(buffer));
        EXPECT_EQ(text.substr(0, 10), std::wstring(buffer, 10));
        EXPECT_EQ(std::wstring(400, L'#'), std::wstring(buffer + 300, 400));  // the canary
    }
    EXPECT_EQ(L"\n___", std::wstring(buffer + 200, 4));
}

TEST_F(InteractionTest, MeasuringSizesTheTipForTheBoldTitleAboveTheBodyAndPaintingDrawsBoth)
{
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 100);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    __gui_data& data = *App().displays[0];
    NMTTCUSTOMDRAW draw{{{data.tooltip, 0, static_cast<UINT>(NM_CUSTOMDRAW)}, CDDS_PREPAINT, dc}, DT_CALCRECT};
    EXPECT_EQ(CDRF_SKIPDEFAULT, SendMessageW(Window(0), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw)));
    ASSERT_EQ(2u, data.tipLayout.size());
    const RECT title = data.tipLayout[0], body = data.tipLayout[1];
    const RECT tip{0, 0, std::max(title.right, body.right), title.bottom + body.bottom};
    EXPECT_TRUE(EqualRect(&tip, &draw.nmcd.rc));
    EXPECT_EQ(0, title.top + body.top);
    EXPECT_EQ(0x1C0u, draw.uDrawFlags);

    // The same words as title and body: the bold title is wider and leaves more ink.
    const TipLayout layout = MeasureTooltip(dc, L"Disk 0 Disk 0", L"Disk 0 Disk 0", TooltipFonts());
    EXPECT_GT(layout.title.right, layout.body.right);
    const int h = layout.title.bottom;
    PaintTooltip(dc, 400, 100, L"Disk 0 Disk 0", L"Disk 0 Disk 0", h, TooltipFonts());
    const COLORREF background = GetSysColor(COLOR_INFOBK);
    int ink[3] = {};
    for (int y = 2; y < 2 + 3 * h && y < 98; ++y)
        for (int x = 2; x < 398; ++x)
            ink[(y - 2) / h] += GetPixel(dc, x, y) != background;
    EXPECT_GT(ink[0], ink[1] + ink[1] / 10);
    EXPECT_GT(ink[1], 20);
    EXPECT_EQ(0, ink[2]);
    EXPECT_EQ(background, GetPixel(dc, 397, 97));
    SelectObject(dc, old), DeleteObject(bitmap), DeleteDC(dc);
}

}  // namespace
