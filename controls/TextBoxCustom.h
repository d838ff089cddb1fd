#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "CustomControl.h"
#include "TextBoxCell.h"

class Drawing;

// The self-drawn text entry: every character sits in its own cell of a grid measured from the
// font, the cursor is a cell in the cursor colour, and only changed cells are redrawn. Single
// line boxes overwrite a fixed, space-padded buffer; insert mode (multi-line) edits the text
// and rebuilds the buffer from it. Password boxes show '*', date boxes take dd/mm/yyyy.
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
    void SetBorder(int16_t on) { border = on; }
    void SetWordWrap(int16_t on) { wordWrap = on; }
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

    int32_t GetCursor() const { return cursor; }
    int32_t GetCharCount() const { return charCount; }
    int32_t GetMaxLength() const { return maxLength; }

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
    tagPOINT CellPlace(const Grid& g, int cell) const;
    void Repaint();
    void AllocateBuffer();
    bool ShowsCursor() const;
    // The text with what the buffer shows up to the cursor appended, so an edit at the cursor
    // always lands inside it (GetText drops trailing blanks and line breaks).
    std::string ReachingCursor(std::string t) const;
    void Beep();
    void MoveCursor(int to);
    void EnterCharacter(char c);
    void DeleteAtCursor();
    void BackspaceAtCursor();
    bool Refused(int character);
    // Draws one cell when its content or pens changed (always with full).
    void DrawCell(Drawing& d, const Grid& g, int cell, char shown, int index, int32_t textPen,
                  int32_t backgroundPen, bool full);
    int CellAlign() const;

    std::vector<char> buffer;
    int32_t textColor = 1;
    int32_t cursor = 0;
    int32_t charCount = 0;
    int32_t cursorColor = 10;
    int32_t maxLength = 256;
    int16_t multiline = 0;
    int16_t date = 0;
    int16_t hScroll = 0;
    int16_t vScroll = 0;
    int16_t readOnly = 0;
    int16_t number = 0;
    int16_t decimal = 0;
    int16_t password = 0;
    int16_t lower = 0;
    int16_t upper = 0;
    int16_t rightAlign = 0;
    int16_t centerAlign = 0;
    int16_t border = 1;
    int16_t wordWrap = 0;
    int16_t inserimento = 0;
    std::vector<TextBoxCell> cells;
};
