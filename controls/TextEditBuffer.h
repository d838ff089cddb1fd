#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessella {

// What a self-drawn text box edits, apart from any window: its text, the buffer its grid shows
// (space-padded, a NUL at the end), the cursor, the count of characters in use, and the rules
// of its modes. Single-line boxes overwrite the buffer; insert mode (which is multi-line) edits
// the text and rebuilds the buffer from it; number boxes take digits (and one '.' when
// decimal); date boxes take dd/mm/yyyy and keep the separators in place.
//
// An edit that is refused changes nothing and says so: the box beeps for it.
class TextEditBuffer {
public:
    // The box's size and the font's nominal cell: whether a text fits its grid.
    struct Area {
        int w = 0;
        int h = 0;
        int xs = 8;
        int ys = 10;
    };

    // What a key did: whether the box should beep, and whether it should redraw.
    struct KeyOutcome {
        bool beep = false;
        bool redraw = false;
    };

    static constexpr int kBackspace = 8;
    static constexpr int kReturn = 13;
    static constexpr int kEscape = 27;
    static constexpr int kDelete = 127;

    // A new text without its trailing blanks, the cursor at 0, every mode off; the length set
    // before is kept when keepLength, else it is 256 again.
    void Reset(const std::string& initialText, bool keepLength);
    // The text, the count of its characters (at most the length) and the cursor on its last
    // character; the buffer is not rebuilt.
    void SetText(std::string s);
    const std::string& Text() const { return text; }
    // The text becomes what the buffer shows, without trailing blanks.
    const std::string& ReadBack();

    // A fresh buffer of the length, all blanks.
    void Allocate();
    bool HasBuffer() const { return !buffer.empty(); }
    // The buffer anew from the text (a single-line box takes the text up to its first "\n"); the
    // cursor goes after the copied characters.
    void Rebuild();
    // What the buffer holds at an index from 0 to the length (the NUL at the end included).
    char At(int index) const { return buffer[static_cast<size_t>(index)]; }

    // Whether the first count characters of a text would fit a grid of that area.
    bool Fits(int count, const std::string& candidate, const Area& area) const;

    // One typed character: Delete, Backspace, a printable character, Return, Escape, or another
    // control character (refused).
    KeyOutcome Key(int character, const Area& area);
    // The cursor keys that need no grid; false when refused (Right at the end of the text).
    bool Right();
    void Left();
    // The cursor where a click put it: on the index a cell shows, never past the text's end,
    // never on a date's separator.
    void PlaceCursor(int index);
    // Takes back the character at an index that did not fit the grid, with the cursor.
    void TakeBack(int index);
    void SetCursor(int to);
    void ClampCursor();

    int32_t Cursor() const { return cursor; }
    int32_t Count() const { return charCount; }
    int32_t MaxLength() const { return maxLength; }
    void SetMaxLength(int32_t length) { maxLength = length; }

    bool Multiline() const { return multiline; }
    bool Date() const { return date; }
    bool Insert() const { return insert; }
    void SetMultiline(bool on) { multiline = on; }
    void SetNumber(bool on) { number = on; }
    void SetDecimal(bool on) { decimal = on; }
    // On, also the number rule, a length of 10 and no insert mode; with rebuild (a loaded box),
    // the buffer is made again for the new length, keeping what it showed.
    void SetDate(bool on, bool rebuild);
    // On, also multi-line, and no date.
    void SetInsert(bool on);

private:
    bool Refused(int character) const;
    // The text with what the buffer shows up to the cursor appended, so an edit at the cursor
    // always lands inside it (the text drops trailing blanks and line breaks).
    std::string ReachingCursor(std::string t) const;
    bool Enter(char c, const Area& area);
    bool Delete();
    bool Backspace();

    std::string text;
    std::vector<char> buffer;
    int32_t cursor = 0;
    int32_t charCount = 0;
    int32_t maxLength = 256;
    bool multiline = false;
    bool date = false;
    bool number = false;
    bool decimal = false;
    bool insert = false;
};

}  // namespace tessella
