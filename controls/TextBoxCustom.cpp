#include "TextBoxCustom.h"

#include <intuition.h>
#include <keymap.h>

#include <algorithm>

#include "Drawing.h"
#include "runtime/Application.h"
#include "util/Enviroment.h"
#include "util/StringUtils.h"

namespace {

constexpr int kBackspace = 8;
constexpr int kReturn = 13;
constexpr int kEscape = 27;
constexpr int kDelete = 127;

constexpr int32_t kDisabledTextPen = 22;
constexpr int32_t kDisabledBackgroundPen = 0;

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// A date box's separators sit at 2 and 5 (dd/mm/yyyy).
bool OnSeparator(int index) {
    return index == 2 || index == 5;
}

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
    text = StringUtils::RTrim(initialText);
    textColor = 1;
    cursor = 0;
    cursorColor = 10;
    // A loaded box keeps the length its buffer was made for.
    if (!loaded) {
        maxLength = 256;
    }
    charCount = std::min(static_cast<int32_t>(text.size()), maxLength);
    multiline = date = hScroll = vScroll = readOnly = number = decimal = password = 0;
    lower = upper = rightAlign = centerAlign = wordWrap = inserimento = 0;
    border = 1;
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
    if (maxLength < 0) {
        return false;
    }
    const Grid g = Measure();
    const int w = size.cx;
    const int h = size.cy;
    int column = 0;
    int row = 0;
    const int last = std::min(static_cast<int>(candidate.size()), maxLength + 1);
    for (int i = 0; i < last; ++i) {
        if (i == count) {
            return true;
        }
        if (candidate[static_cast<size_t>(i)] == '\r') {
            column = 0;
            ++row;
        } else if (g.xs * column > w - 6 - g.xs) {
            column = 0;
            ++row;
        }
        if ((row + 1) * (g.ys + 4) > h - 6 || column + g.columns * row >= g.columns * g.rows) {
            return false;
        }
        if (candidate[static_cast<size_t>(i)] != '\r') {
            ++column;
        }
    }
    return last == count;
}

// ---- Buffer and text -----------------------------------------------------------------------

void TextBoxCustom::AllocateBuffer() {
    buffer.assign(static_cast<size_t>(maxLength) + 1, ' ');
    buffer[static_cast<size_t>(maxLength)] = '\0';
}

void TextBoxCustom::SetMemTest() {
    if (buffer.size() != static_cast<size_t>(maxLength) + 1) {
        AllocateBuffer();
    }
    std::string source = text;
    if (multiline == 0) {
        const size_t lineEnd = source.find('\n');
        if (lineEnd != std::string::npos) {
            source.resize(lineEnd);
        }
    }
    std::fill(buffer.begin(), buffer.end() - 1, ' ');
    const int copied = std::min(static_cast<int>(source.size()), maxLength);
    std::copy_n(source.begin(), copied, buffer.begin());
    cursor = copied;
}

void TextBoxCustom::SetText(std::string s) {
    text = std::move(s);
    const int length = static_cast<int>(text.size());
    charCount = std::min(length, maxLength);
    cursor = std::clamp(length - 1, 0, maxLength);
    if (loaded) {
        SetMemTest();
        Repaint();
    }
}

std::string TextBoxCustom::GetText() {
    if (loaded && !buffer.empty()) {
        text = StringUtils::RTrim(std::string(buffer.data(), static_cast<size_t>(maxLength)));
    }
    return text;
}

std::string TextBoxCustom::ReachingCursor(std::string t) const {
    for (int i = static_cast<int>(t.size()); i < cursor; ++i) {
        const bool shown = i < maxLength && static_cast<size_t>(i) < buffer.size();
        t.push_back(shown ? buffer[static_cast<size_t>(i)] : ' ');
    }
    return t;
}

// ---- Lifecycle -----------------------------------------------------------------------------

void TextBoxCustom::Load() {
    if (loaded) {
        return;
    }
    AllocateBuffer();
    const Grid g = Measure();
    const int wanted = std::min((g.columns * g.rows) + 1, kMostCells);
    const bool on = enabled;
    cells.assign(static_cast<size_t>(wanted),
                 TextBoxCell{' ', on ? textColor : kDisabledTextPen,
                             on ? static_cast<int32_t>(backgroundColor) : kDisabledBackgroundPen,
                             maxLength});
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
    if (!loaded) {
        return;
    }
    CustomControl::Focus();
    OnFocus();
    if (Application::CustomsGadgetSel != nullptr && Application::CustomsGadgetSel != this) {
        Application::CustomsGadgetSel->OnLeave();
    }
    Application::CustomsGadgetSel = this;
}

void TextBoxCustom::OnFocus() {
    CustomControl::OnFocus();
    Print(0, cursor);
}

void TextBoxCustom::OnLeave() {
    CustomControl::OnLeave();
    Print(0, cursor);
}

// ---- Painting ------------------------------------------------------------------------------

bool TextBoxCustom::ShowsCursor() const {
    return focused != 0 && enabled && readOnly == 0;
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
        if (border != 0) {
            // A groove: raised outside, sunken one pixel in.
            DrawFrame(d, o.x, o.y, size.cx, size.cy, false);
            DrawFrame(d, o.x + 1, o.y + 1, size.cx - 2, size.cy - 2, true);
        }
    }
    Print(1, cursor);
}

int TextBoxCustom::CellAlign() const {
    if (multiline != 0) {
        return AlignLeft;
    }
    if (centerAlign != 0) {
        return AlignCenter;
    }
    return rightAlign != 0 ? AlignRight : AlignLeft;
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

void TextBoxCustom::Print(short full) {
    Print(full, cursor);
}

void TextBoxCustom::Print(short full, int from) {
    RastPort* rp = PaintPort();
    if (rp == nullptr || buffer.empty()) {
        return;
    }
    const Grid g = Measure();
    if (g.used <= 0) {
        return;
    }
    const int32_t textPen = enabled ? textColor : kDisabledTextPen;
    const int32_t backPen =
        enabled ? static_cast<int32_t>(backgroundColor) : kDisabledBackgroundPen;
    int start = std::max(from - 1, 0);
    if (date != 0 && (from == 3 || from == 6)) {
        start -= 1;
    }
    if (full != 0) {
        start = 0;
    }
    const bool cursorShown = ShowsCursor();
    Drawing d(rp);
    int column = 0;
    int row = 0;
    int laidOut = 0;  // cells the text reached
    bool overflow = false;
    for (int i = 0; i <= maxLength; ++i) {
        char shown = buffer[static_cast<size_t>(i)];
        if (shown == '\0' || shown == '\n') {
            shown = ' ';
        }
        const bool lineBreak = shown == '\r' && password == 0;
        if (password != 0 && shown != ' ') {
            shown = '*';
        }
        if (!lineBreak && column >= g.columns) {
            column = 0;
            ++row;
        }
        if (row >= g.rows) {
            overflow = true;
            // Only a character just typed is taken back: a long text set by the program
            // keeps every character, shown or not.
            if (i == start && full == 0 && i < maxLength) {
                buffer[static_cast<size_t>(i)] = ' ';
                if (charCount == cursor && charCount > 0) {
                    --charCount;
                }
                cursor = std::max(cursor - 1, 0);
                Beep();
            }
            break;
        }
        const int cell = row * g.columns + column;
        if (cell >= g.used) {
            overflow = true;
            break;
        }
        const int32_t backHere = cursorShown && i == cursor ? cursorColor : backPen;
        if (lineBreak) {
            // The break and the rest of its row show blank; the cursor can stand on the break.
            for (int m = column; m < g.columns; ++m) {
                const int k = row * g.columns + m;
                if (k >= g.used) {
                    break;
                }
                if (i >= start) {
                    DrawCell(d, g, k, ' ', i, textPen, m == column ? backHere : backPen, full != 0);
                } else {
                    cells[static_cast<size_t>(k)].index = i;
                }
            }
            laidOut = std::max(laidOut, row * g.columns + g.columns);
            column = 0;
            ++row;
            continue;
        }
        if (i >= start) {
            DrawCell(d, g, cell, shown, i, textPen, backHere, full != 0);
        } else {
            cells[static_cast<size_t>(cell)].index = i;
        }
        laidOut = cell + 1;
        ++column;
    }
    if (overflow) {
        return;
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
    const int before = cursor;
    cursor = std::clamp(to, 0, std::max(maxLength, 0));
    // From the earlier of the two places, so both the old and the new cursor cell are redrawn.
    Print(0, std::min(before, cursor));
}

void TextBoxCustom::OnKeyUP(int key) {
    CustomControl::OnKeyUP(key);
}

void TextBoxCustom::OnKeyDOWN(int key) {
    CustomControl::OnKeyDOWN(key);
    const Grid g = Measure();
    switch (key) {
        case RAWKEY_UP: {
            if (multiline == 0) {
                return;
            }
            const auto [row, column] = GetCellByPos(cursor);
            if (row == 0) {
                Beep();
                return;
            }
            MoveCursor(cells[static_cast<size_t>((row - 1) * g.columns + column)].index);
            return;
        }
        case RAWKEY_DOWN: {
            if (multiline == 0) {
                return;
            }
            const auto [row, column] = GetCellByPos(cursor);
            const int below = (row + 1) * g.columns + column;
            if (row + 1 < g.rows && below < g.used &&
                cells[static_cast<size_t>(below)].index < charCount) {
                MoveCursor(cells[static_cast<size_t>(below)].index);
            } else {
                Beep();
            }
            return;
        }
        case RAWKEY_RIGHT: {
            if (cursor >= charCount) {
                Beep();
                return;
            }
            int to = std::min(cursor + 1, maxLength);
            if (date != 0 && OnSeparator(to)) {
                ++to;
            }
            MoveCursor(to);
            return;
        }
        case RAWKEY_LEFT: {
            int to = std::max(cursor - 1, 0);
            if (date != 0 && (cursor == 3 || cursor == 6)) {
                to = cursor - 2;
            }
            MoveCursor(to);
            return;
        }
        default:
            return;
    }
}

bool TextBoxCustom::Refused(int character) {
    if (number == 0 || IsDigit(character)) {
        return false;
    }
    if (character != '.' || decimal == 0) {
        return true;
    }
    const auto end = buffer.begin() + std::max(maxLength, 0);
    return std::find(buffer.begin(), end, '.') != end;
}

void TextBoxCustom::DeleteAtCursor() {
    if (inserimento == 0) {
        // The cell after the last character shows the terminator: it stays one.
        if (cursor < maxLength) {
            buffer[static_cast<size_t>(cursor)] = ' ';
        }
        return;
    }
    std::string t = GetText();
    if (cursor >= static_cast<int>(t.size())) {
        Beep();
        return;
    }
    t.erase(static_cast<size_t>(cursor), 1);
    text = t;
    const int kept = cursor;
    SetMemTest();
    cursor = kept;
    charCount = std::max(charCount - 1, 0);
}

void TextBoxCustom::BackspaceAtCursor() {
    if (cursor == 0) {
        Beep();
        return;
    }
    std::string t = ReachingCursor(GetText());
    const int n = date != 0 && (cursor == 3 || cursor == 6) ? 2 : 1;
    t.erase(static_cast<size_t>(cursor - n), static_cast<size_t>(n));
    int to = cursor - n;
    if (date != 0) {
        t = StringUtils::RTrim(StringUtils::Replace(t, "/", ""));
        // Built by appending: GCC 12 at -O3 warns falsely about an insert into the same string.
        std::string dated;
        for (size_t i = 0; i < t.size(); ++i) {
            dated += t[i];
            if (i == 1 || i == 3) {
                dated += '/';
            }
        }
        t = dated;
    }
    text = t;
    SetMemTest();
    cursor = std::clamp(to, 0, maxLength);
    charCount = std::max(charCount - n, 0);
}

void TextBoxCustom::EnterCharacter(char c) {
    if (cursor >= maxLength) {
        Beep();
        return;
    }
    if (multiline != 0) {
        const std::string before = text;
        std::string t = ReachingCursor(text);
        t.insert(static_cast<size_t>(cursor), 1, c);
        // The whole new text must fit, whatever the count says after blanks were trimmed.
        if (!TestInserimento(static_cast<int>(t.size()), t)) {
            text = before;
            Beep();
            return;
        }
        text = t;
        const int to = cursor + 1;
        SetMemTest();
        cursor = to;
        charCount = std::min(charCount + 1, maxLength);
        return;
    }
    buffer[static_cast<size_t>(cursor)] = c;
    ++cursor;
    if (date != 0 && OnSeparator(cursor) && cursor < maxLength) {
        buffer[static_cast<size_t>(cursor)] = '/';
        ++cursor;
        charCount = std::min(charCount + 1, maxLength);
    }
    charCount = std::min(charCount + 1, maxLength);
}

bool TextBoxCustom::OnKeyPress(int character) {
    if (!enabled || readOnly != 0) {
        return false;
    }
    if (onKeyPress != nullptr && !onKeyPress(this, character)) {
        return false;
    }
    if (!loaded || buffer.empty()) {
        return true;
    }
    cursor = std::clamp(cursor, 0, maxLength);
    if (character == kDelete) {
        DeleteAtCursor();
        Print(0, cursor);
    } else if (character == kBackspace) {
        BackspaceAtCursor();
        Print(0, cursor);
    } else if (character > 31) {
        if (Refused(character)) {
            Beep();
        } else {
            EnterCharacter(static_cast<char>(character));
            Print(0, cursor);
        }
    } else if (character == kReturn) {
        if (multiline != 0 && cursor < maxLength) {
            EnterCharacter('\r');
            Print(0, cursor);
        }
    } else if (character != kEscape) {
        Beep();
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
        const int index = cells[static_cast<size_t>(cell)].index;
        cursor = index < charCount ? index : std::max(charCount, 0);
        if (date != 0 && OnSeparator(cursor)) {
            --cursor;
        }
    }
    Print(0, 0);
}

// ---- Settings ------------------------------------------------------------------------------

void TextBoxCustom::SetEnabled(bool on) {
    SetEnabled(on ? 1 : 0);
}

void TextBoxCustom::SetEnabled(int on) {
    enabled = on != 0;
    Repaint();
}

void TextBoxCustom::SetMaxLength(int32_t length) {
    if (!loaded) {
        maxLength = std::max(length, 0);
    }
}

void TextBoxCustom::SetHScroll(int16_t on) {
    hScroll = on;
    Repaint();
}

void TextBoxCustom::SetVScroll(int16_t on) {
    vScroll = on;
    Repaint();
}

void TextBoxCustom::SetMultiline(int16_t on) {
    multiline = on;
    Repaint();
}

void TextBoxCustom::SetReadOnly(int16_t on) {
    readOnly = on;
    Repaint();
}

void TextBoxCustom::SetNumber(int16_t on) {
    number = on;
    Repaint();
}

void TextBoxCustom::SetDecimal(int16_t on) {
    decimal = on;
    Repaint();
}

void TextBoxCustom::SetPassword(int16_t on) {
    password = on;
    Repaint();
}

void TextBoxCustom::SetDate(int16_t on) {
    date = on;
    number = on;
    if (on != 0) {
        if (loaded) {
            // The buffer was made for the old length: it is remade for dd/mm/yyyy below,
            // keeping the text shown so far.
            GetText();
        }
        maxLength = 10;
        inserimento = 0;
        if (loaded) {
            SetMemTest();
            charCount = std::min(charCount, maxLength);
        }
    }
    Repaint();
}

void TextBoxCustom::SetInserimento(int16_t on) {
    inserimento = on;
    if (on != 0) {
        multiline = 1;
        date = 0;
    }
}

void TextBoxCustom::SetLower(int16_t on) {
    lower = on;
    if (on != 0) {
        upper = 0;
    }
    Repaint();
}

void TextBoxCustom::SetUpper(int16_t on) {
    upper = on;
    if (on != 0) {
        lower = 0;
    }
    Repaint();
}

void TextBoxCustom::SetRightAlign(int16_t on) {
    rightAlign = on;
    if (on != 0) {
        centerAlign = 0;
    }
    Repaint();
}

void TextBoxCustom::SetCenterAlign(int16_t on) {
    centerAlign = on;
    if (on != 0) {
        rightAlign = 0;
    }
    Repaint();
}

void TextBoxCustom::SetLeftAlign(int16_t on) {
    if (on != 0) {
        rightAlign = 0;
        centerAlign = 0;
    }
    Repaint();
}

void TextBoxCustom::SetWindosStyle() {
    Repaint();
}
