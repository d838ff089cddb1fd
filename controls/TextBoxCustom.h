#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "CustomControl.h"
#include "TextBoxCell.h"
#include "TextEditBuffer.h"

namespace tessella {

class Drawing;

// The self-drawn text entry: every character sits in its own cell of a grid measured from the
// font, the cursor is a cell in the cursor colour, and only changed cells are redrawn. Single
// line boxes overwrite a fixed, space-padded buffer; insert mode (multi-line) edits the text
// and rebuilds the buffer from it. Password boxes show '*', date boxes take dd/mm/yyyy. What is
// edited, and how keys edit it, is the TextEditBuffer's; the box lays it out and paints it.
class TextBoxCustom : public CustomControl {
public:
    TextBoxCustom(GUIElement* parent, const std::string& initialText);
    void Init(GUIElement* parent, const std::string& initialText);

    // Never lower than one line of the font.
    void SetSize(int w, int h) override;
    void SetText(std::string s) override;
    std::string GetText() override;
    void OnLeftMouseUP(tagPOINT p) override;
    void OnKeyUP(int key) override;
    void OnKeyDOWN(int key) override;
    bool OnKeyPress(int character) override;
    void Focus() override;
    // A read-only box is only looked at: Tab passes it by.
    bool TakesFocus() const override { return !readOnly; }
    void OnPaint() override;
    void OnFocus() override;
    void OnLeave() override;
    void Load() override;
    // Keeps what was typed (Show loads the buffer again from the text) and gives up the
    // keyboard: a box that is not shown takes no keys. Moving and resizing hide it too.
    void Hide() override;
    // The element model's setter reaches the box's own, so a call through a GUIElement* repaints.
    void SetEnabled(bool on) override;

    virtual void Print(short full);
    virtual void Print(short full, int from);
    virtual void SetEnabled(int on);

    // Rebuilds the buffer from the text; the cursor goes after the copied characters.
    void SetMemTest();
    // (rows, columns) of the grid at the box's current size.
    std::pair<int, int> GetColsRowsTot();
    // (row, column) of the cell showing a buffer index; (0, 0) when none does.
    std::pair<int, int> GetCellByPos(int index);
    // Whether the first count characters of a text would fit in the grid.
    bool TestInserimento(int count, const std::string& candidate);

    void SetColor(int32_t pen) { textColor = pen; }
    void SetColorCursor(int32_t pen) { cursorColor = pen; }
    // Only before the box is loaded: the buffer is sized once.
    void SetMaxLength(int32_t length);
    void SetBorder(int16_t on) { border = on != 0; }
    void SetWordWrap(int16_t on) { wordWrap = on != 0; }
    void SetHScroll(int16_t on);
    void SetVScroll(int16_t on);
    void SetMultiline(int16_t on);
    void SetReadOnly(int16_t on);
    void SetNumber(int16_t on);
    void SetDecimal(int16_t on);
    void SetPassword(int16_t on);
    void SetDate(int16_t on);
    void SetInserimento(int16_t on);
    void SetLower(int16_t on);
    void SetUpper(int16_t on);
    void SetRightAlign(int16_t on);
    void SetCenterAlign(int16_t on);
    void SetLeftAlign(int16_t on);
    void SetWindosStyle();
    // There is no selection: these do nothing.
    void SelectText(int /*from*/, int /*length*/) {}
    std::string GetSelectText() { return std::string(); }
    void SelectTextAll() {}

    int32_t GetCursor() const { return edit.Cursor(); }
    int32_t GetCharCount() const { return edit.Count(); }
    int32_t GetMaxLength() const { return edit.MaxLength(); }

    static constexpr int kMostCells = 1600;

private:
    struct Grid {
        int columns = 0;
        int rows = 0;
        int used = 0;  // cells in use: columns x rows, never more than were allocated
        int xs = 8;    // the font's nominal character width
        int ys = 10;   // and height
    };

    Grid Measure();
    TextEditBuffer::Area EditArea();
    tagPOINT CellPlace(const Grid& g, int cell) const;
    void Repaint();
    bool ShowsCursor() const;
    void Beep();
    void MoveCursor(int to);
    // Redraws from the earlier of the cursor's old place and its new one, so both cells change.
    void CursorMoved(int before);
    void MoveVertically(int rows);
    // Draws one cell when its content or pens changed (always with full).
    void DrawCell(Drawing& d, const Grid& g, int cell, char shown, int index, int32_t textPen,
                  int32_t backgroundPen, bool full);
    int CellAlign() const;
    // The first buffer index a redraw from `from` draws; those before it are only laid out.
    int PrintStart(short full, int from) const;
    // What the cell of a buffer index shows: NUL and "\n" as blanks, a password's characters as
    // '*'. A '\r' outside password mode ends its row.
    char Shown(int index) const;
    // One buffer index laid out on the grid: drawn from the start index on, else only noted.
    void LayOut(Drawing& d, const Grid& g, int cell, char shown, int index, int32_t textPen,
                int32_t backgroundPen, bool draw, bool full);

    TextEditBuffer edit;
    int32_t textColor = 1;
    int32_t cursorColor = 10;
    // How the text is shown; what it accepts is the buffer's.
    bool hScroll = false;
    bool vScroll = false;
    bool readOnly = false;
    bool password = false;
    bool lower = false;
    bool upper = false;
    bool rightAlign = false;
    bool centerAlign = false;
    bool border = true;
    bool wordWrap = false;
    std::vector<TextBoxCell> cells;
};

}  // namespace tessella
