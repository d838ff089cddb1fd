#include "TextBoxCustom.h"

#include <intuition.h>
#include <keymap.h>

#include <algorithm>

#include "Drawing.h"
#include "runtime/Application.h"
#include "util/Enviroment.h"
#include "util/StringUtils.h"

namespace tessella {

namespace {

constexpr int32_t kDisabledTextPen = Drawing::kDisabledTextPen;
constexpr int32_t kDisabledBackgroundPen = 0;

}  // namespace

TextBoxCustom::TextBoxCustom(GUIElement* parent, const std::string& initialText)
    : CustomControl(parent) {
    Init(parent, initialText);
}

void TextBoxCustom::Init(GUIElement* newParent, const std::string& initialText) {
    parent = newParent;
    className = "TextBoxCustom";
    backgroundColor = 2;
    size = {80, 30};
    isTabStop = 1;
    isRenderControl = 1;
    // A loaded box keeps the length its buffer was made for.
    edit.Reset(initialText, loaded);
    text = edit.Text();
    textColor = 1;
    cursorColor = 10;
    hScroll = vScroll = readOnly = password = lower = upper = false;
    rightAlign = centerAlign = wordWrap = false;
    border = true;
    if (loaded) {
        SetMemTest();
    }
}

// ---- Geometry --------------------------------------------------------------------------------

TextBoxCustom::Grid TextBoxCustom::Measure() {
    Grid g;
    g.xs = std::max(1, Drawing::GetWidthFont(&font));
    g.ys = std::max(1, Drawing::GetHeightFont(&font));
    g.columns = std::max(0, (size.cx - 6) / g.xs);
    g.rows = std::max(0, (size.cy - 6) / (g.ys + 4));
    // The size may have changed since the cells were made: never use more than exist.
    g.used = std::min({g.columns * g.rows, static_cast<int>(cells.size()), kMostCells});
    return g;
}

TextEditBuffer::Area TextBoxCustom::EditArea() {
    const Grid g = Measure();
    return {size.cx, size.cy, g.xs, g.ys};
}

tagPOINT TextBoxCustom::CellPlace(const Grid& g, int cell) const {
    const tagPOINT o = WindowOrigin();
    const int m = cell % g.columns;
    const int r = cell / g.columns;
    return {o.x + 3 + m * g.xs, o.y + 2 + r * (g.ys + 4)};
}

std::pair<int, int> TextBoxCustom::GetColsRowsTot() {
    const Grid g = Measure();
    return {g.rows, g.columns};
}

std::pair<int, int> TextBoxCustom::GetCellByPos(int index) {
    const Grid g = Measure();
    for (int k = 0; k < g.used; ++k) {
        if (cells[static_cast<size_t>(k)].index == index) {
            return {k / g.columns, k % g.columns};
        }
    }
    return {0, 0};
}

bool TextBoxCustom::TestInserimento(int count, const std::string& candidate) {
    return edit.Fits(count, candidate, EditArea());
}

// ---- Buffer and text -----------------------------------------------------------------------

void TextBoxCustom::SetMemTest() {
    edit.Rebuild();
}

void TextBoxCustom::SetText(std::string s) {
    edit.SetText(std::move(s));
    text = edit.Text();
    if (loaded) {
        SetMemTest();
        Repaint();
    }
}

std::string TextBoxCustom::GetText() {
    if (loaded) {
        edit.ReadBack();
    }
    text = edit.Text();
    return text;
}

// ---- Lifecycle -----------------------------------------------------------------------------

void TextBoxCustom::Load() {
    if (loaded) {
        return;
    }
    edit.Allocate();
    const Grid g = Measure();
    const int wanted = std::min((g.columns * g.rows) + 1, kMostCells);
    const bool on = enabled;
    cells.assign(static_cast<size_t>(wanted),
                 TextBoxCell{' ', on ? textColor : kDisabledTextPen,
                             on ? static_cast<int32_t>(backgroundColor) : kDisabledBackgroundPen,
                             edit.MaxLength()});
    SetMemTest();
    CustomControl::Load();
}

void TextBoxCustom::Hide() {
    if (!loaded) {
        return;
    }
    GetText();  // the typed text lives in the buffer until it is read back
    if (Application::CustomsGadgetSel == this) {
        // Keys meant for a box no one sees would edit a buffer that Show makes anew.
        Application::CustomsGadgetSel = nullptr;
        OnLeave();
    }
    CustomControl::Hide();
}

void TextBoxCustom::SetSize(int w, int h) {
    CustomControl::SetSize(w, std::max(h, Drawing::GetHeightFont(&font) + 10));
}

// ---- Focus ---------------------------------------------------------------------------------

void TextBoxCustom::Focus() {
    TakeFocus();
}

void TextBoxCustom::OnFocus() {
    CustomControl::OnFocus();
    Print(0, edit.Cursor());
}

void TextBoxCustom::OnLeave() {
    CustomControl::OnLeave();
    Print(0, edit.Cursor());
}

// ---- Painting ------------------------------------------------------------------------------

bool TextBoxCustom::ShowsCursor() const {
    return focused != 0 && enabled && !readOnly;
}

void TextBoxCustom::Repaint() {
    if (loaded) {
        OnPaint();
    }
}

void TextBoxCustom::OnPaint() {
    RastPort* rp = PaintPort();
    if (rp == nullptr) {
        return;
    }
    const tagPOINT o = WindowOrigin();
    {
        Drawing d(rp);
        const int fill = enabled ? static_cast<int>(backgroundColor) : kDisabledBackgroundPen;
        d.DrawFillRectangle(o.x, o.y, size.cx, size.cy, 0, 0, fill);
        if (border) {
            // A groove: raised outside, sunken one pixel in.
            DrawFrame(d, o.x, o.y, size.cx, size.cy, false);
            DrawFrame(d, o.x + 1, o.y + 1, size.cx - 2, size.cy - 2, true);
        }
    }
    Print(1, edit.Cursor());
}

int TextBoxCustom::CellAlign() const {
    if (edit.Multiline()) {
        return AlignLeft;
    }
    if (centerAlign) {
        return AlignCenter;
    }
    return rightAlign ? AlignRight : AlignLeft;
}

void TextBoxCustom::DrawCell(Drawing& d, const Grid& g, int cell, char shown, int index,
                             int32_t textPen, int32_t backgroundPen, bool full) {
    TextBoxCell& c = cells[static_cast<size_t>(cell)];
    const bool same =
        c.character == shown && c.textPen == textPen && c.backgroundPen == backgroundPen;
    c.index = index;
    if (same && !full) {
        return;
    }
    const tagPOINT at = CellPlace(g, cell);
    d.PrintText(at.x, at.y + 1, g.xs, g.ys + 4, std::string(1, shown), textPen, backgroundPen,
                &font, static_cast<OrvAlign>(CellAlign()));
    c.character = shown;
    c.textPen = textPen;
    c.backgroundPen = backgroundPen;
    // A letter may reach a pixel past its cell (its bearing), and this cell's fill has just
    // cut that off: the letter on the left is drawn again over it, without a fill.
    if (cell % g.columns == 0) {
        return;
    }
    const TextBoxCell& left = cells[static_cast<size_t>(cell - 1)];
    if (left.character != ' ' && left.character != '\r') {
        const tagPOINT l = CellPlace(g, cell - 1);
        d.PrintText(l.x, l.y + 1, g.xs, g.ys + 4, std::string(1, left.character), left.textPen, -1,
                    &font, static_cast<OrvAlign>(CellAlign()));
    }
}

void TextBoxCustom::LayOut(Drawing& d, const Grid& g, int cell, char shown, int index,
                           int32_t textPen, int32_t backgroundPen, bool draw, bool full) {
    if (draw) {
        DrawCell(d, g, cell, shown, index, textPen, backgroundPen, full);
    } else {
        cells[static_cast<size_t>(cell)].index = index;
    }
}

int TextBoxCustom::PrintStart(short full, int from) const {
    if (full != 0) {
        return 0;
    }
    // A date's separator was written with the digit before it.
    const int start = std::max(from - 1, 0);
    return edit.Date() && (from == 3 || from == 6) ? start - 1 : start;
}

char TextBoxCustom::Shown(int index) const {
    const char c = edit.At(index);
    if (c == '\0' || c == '\n') {
        return ' ';
    }
    return password && c != ' ' ? '*' : c;
}

void TextBoxCustom::Print(short full) {
    Print(full, edit.Cursor());
}

void TextBoxCustom::Print(short full, int from) {
    RastPort* rp = PaintPort();
    const Grid g = Measure();
    if (rp == nullptr || !edit.HasBuffer() || g.used <= 0) {
        return;
    }
    const int32_t textPen = enabled ? textColor : kDisabledTextPen;
    const int32_t backPen =
        enabled ? static_cast<int32_t>(backgroundColor) : kDisabledBackgroundPen;
    const int start = PrintStart(full, from);
    const bool cursorShown = ShowsCursor();
    const int maxLength = edit.MaxLength();
    Drawing d(rp);
    int column = 0;
    int row = 0;
    int laidOut = 0;  // cells the text reached
    for (int i = 0; i <= maxLength; ++i) {
        const char shown = Shown(i);
        const bool lineBreak = edit.At(i) == '\r' && !password;
        if (!lineBreak && column >= g.columns) {
            column = 0;
            ++row;
        }
        if (row >= g.rows) {
            // Only a character just typed is taken back: a long text set by the program
            // keeps every character, shown or not.
            if (i == start && full == 0 && i < maxLength) {
                edit.TakeBack(i);
                Beep();
            }
            return;
        }
        const int cell = row * g.columns + column;
        if (cell >= g.used) {
            return;
        }
        const int32_t backHere = cursorShown && i == edit.Cursor() ? cursorColor : backPen;
        if (lineBreak) {
            // The break and the rest of its row show blank; the cursor can stand on the break.
            for (int m = column; m < g.columns && row * g.columns + m < g.used; ++m) {
                LayOut(d, g, row * g.columns + m, ' ', i, textPen, m == column ? backHere : backPen,
                       i >= start, full != 0);
            }
            laidOut = std::max(laidOut, row * g.columns + g.columns);
            column = 0;
            ++row;
            continue;
        }
        LayOut(d, g, cell, shown, i, textPen, backHere, i >= start, full != 0);
        laidOut = cell + 1;
        ++column;
    }
    // Cells past the buffer's end (a buffer shorter than the grid) that still show something
    // from an earlier layout are blanked.
    for (int k = laidOut; k < g.used; ++k) {
        DrawCell(d, g, k, ' ', maxLength, textPen, backPen, full != 0);
    }
}

// ---- Keys and mouse ------------------------------------------------------------------------

void TextBoxCustom::Beep() {
    Enviroment::Beep();
}

void TextBoxCustom::MoveCursor(int to) {
    const int before = edit.Cursor();
    edit.SetCursor(to);
    CursorMoved(before);
}

void TextBoxCustom::CursorMoved(int before) {
    Print(0, std::min(before, edit.Cursor()));
}

void TextBoxCustom::OnKeyUP(int key) {
    CustomControl::OnKeyUP(key);
}

void TextBoxCustom::MoveVertically(int rows) {
    if (!edit.Multiline()) {
        return;
    }
    const Grid g = Measure();
    const auto [row, column] = GetCellByPos(edit.Cursor());
    const int target = (row + rows) * g.columns + column;
    // Up needs a row above; Down a row below whose cell shows a character of the text.
    const bool there = rows < 0 ? row > 0
                                : row + 1 < g.rows && target < g.used &&
                                      cells[static_cast<size_t>(target)].index < edit.Count();
    if (!there) {
        Beep();
        return;
    }
    MoveCursor(cells[static_cast<size_t>(target)].index);
}

void TextBoxCustom::OnKeyDOWN(int key) {
    CustomControl::OnKeyDOWN(key);
    const int before = edit.Cursor();
    switch (key) {
        case RAWKEY_UP:
            MoveVertically(-1);
            return;
        case RAWKEY_DOWN:
            MoveVertically(1);
            return;
        case RAWKEY_RIGHT:
            if (!edit.Right()) {
                Beep();
                return;
            }
            CursorMoved(before);
            return;
        case RAWKEY_LEFT:
            edit.Left();
            CursorMoved(before);
            return;
        default:
            return;
    }
}

bool TextBoxCustom::OnKeyPress(int character) {
    if (!enabled || readOnly) {
        return false;
    }
    if (onKeyPress != nullptr && !onKeyPress(this, character)) {
        return false;
    }
    if (!loaded || !edit.HasBuffer()) {
        return true;
    }
    const TextEditBuffer::KeyOutcome outcome = edit.Key(character, EditArea());
    text = edit.Text();
    if (outcome.beep) {
        Beep();
    }
    if (outcome.redraw) {
        Print(0, edit.Cursor());
    }
    return true;
}

void TextBoxCustom::OnLeftMouseUP(tagPOINT p) {
    CustomControl::OnLeftMouseUP(p);
    if (!loaded) {
        return;
    }
    const Grid g = Measure();
    if (g.used <= 0) {
        return;
    }
    const tagPOINT o = WindowOrigin();
    // Measured from the grid's own corner, so a click lands in the cell under the pointer
    // even when cells are only a few pixels wide; the margins belong to the nearest cell.
    const int row = std::clamp((p.y - o.y - 2) / (g.ys + 4), 0, g.rows - 1);
    const int column = std::clamp((p.x - o.x - 3) / g.xs, 0, g.columns - 1);
    const int cell = g.columns * row + column;
    if (cell < kMostCells && cell < g.used) {
        edit.PlaceCursor(cells[static_cast<size_t>(cell)].index);
    }
    Print(0, 0);
}

}  // namespace tessella
