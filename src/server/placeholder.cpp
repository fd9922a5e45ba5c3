#include "server/placeholder.h"

namespace {
constexpr char kPlaceholderText[] = "ATL 3.0 : ITunaraActiveXChat";
}  // namespace

// Uses the pen and brush already selected into the DC; restores the text alignment it changes.
void DrawPlaceholder(HDC dc, const RECT& bounds)
{
    Rectangle(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    UINT oldAlign = SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    TextOutA(dc, (bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2,
             kPlaceholderText, static_cast<int>(sizeof(kPlaceholderText) - 1));
    SetTextAlign(dc, oldAlign);
}
