#include "TextEditBuffer.h"

#include <algorithm>

#include "util/StringUtils.h"

namespace tessella {

namespace {

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// A date box's separators sit at 2 and 5 (dd/mm/yyyy).
bool OnSeparator(int index) {
    return index == 2 || index == 5;
}

// Just past a date's separator, where Left and Backspace step over it.
bool AfterSeparator(int index) {
    return index == 3 || index == 6;
}

}  // namespace

// ---- Text and buffer -----------------------------------------------------------------------

void TextEditBuffer::Reset(const std::string& initialText, bool keepLength) {
    text = StringUtils::RTrim(initialText);
    cursor = 0;
    if (!keepLength) {
        maxLength = 256;
    }
    charCount = std::min(static_cast<int32_t>(text.size()), maxLength);
    multiline = date = number = decimal = insert = false;
}

void TextEditBuffer::SetText(std::string s) {
    text = std::move(s);
    const int length = static_cast<int>(text.size());
    charCount = std::min(length, maxLength);
    cursor = std::clamp(length - 1, 0, maxLength);
}

const std::string& TextEditBuffer::ReadBack() {
    if (!buffer.empty()) {
        text = StringUtils::RTrim(std::string(buffer.data(), static_cast<size_t>(maxLength)));
    }
    return text;
}

void TextEditBuffer::Allocate() {
    buffer.assign(static_cast<size_t>(maxLength) + 1, ' ');
    buffer[static_cast<size_t>(maxLength)] = '\0';
}

void TextEditBuffer::Rebuild() {
    if (buffer.size() != static_cast<size_t>(maxLength) + 1) {
        Allocate();
    }
    std::string source = text;
    if (!multiline) {
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

std::string TextEditBuffer::ReachingCursor(std::string t) const {
    for (int i = static_cast<int>(t.size()); i < cursor; ++i) {
        const bool shown = i < maxLength && static_cast<size_t>(i) < buffer.size();
        t.push_back(shown ? buffer[static_cast<size_t>(i)] : ' ');
    }
    return t;
}

bool TextEditBuffer::Fits(int count, const std::string& candidate, const Area& area) const {
    if (maxLength < 0) {
        return false;
    }
    const int columns = std::max(0, (area.w - 6) / area.xs);
    const int rows = std::max(0, (area.h - 6) / (area.ys + 4));
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
        } else if (area.xs * column > area.w - 6 - area.xs) {
            column = 0;
            ++row;
        }
        if ((row + 1) * (area.ys + 4) > area.h - 6 || column + columns * row >= columns * rows) {
            return false;
        }
        if (candidate[static_cast<size_t>(i)] != '\r') {
            ++column;
        }
    }
    return last == count;
}

// ---- Keys ----------------------------------------------------------------------------------

TextEditBuffer::KeyOutcome TextEditBuffer::Key(int character, const Area& area) {
    ClampCursor();
    if (character == kDelete) {
        return {!Delete(), true};
    }
    if (character == kBackspace) {
        return {!Backspace(), true};
    }
    if (character > 31) {
        if (Refused(character)) {
            return {true, false};
        }
        return {!Enter(static_cast<char>(character), area), true};
    }
    if (character == kReturn) {
        if (multiline && cursor < maxLength) {
            return {!Enter('\r', area), true};
        }
        return {};
    }
    return {character != kEscape, false};
}

bool TextEditBuffer::Refused(int character) const {
    if (!number || IsDigit(character)) {
        return false;
    }
    if (character != '.' || !decimal) {
        return true;
    }
    const auto end = buffer.begin() + std::max(maxLength, 0);
    return std::find(buffer.begin(), end, '.') != end;
}

bool TextEditBuffer::Delete() {
    if (!insert) {
        // The cell after the last character shows the terminator: it stays one.
        if (cursor < maxLength) {
            buffer[static_cast<size_t>(cursor)] = ' ';
        }
        return true;
    }
    std::string t = ReadBack();
    if (cursor >= static_cast<int>(t.size())) {
        return false;
    }
    t.erase(static_cast<size_t>(cursor), 1);
    text = t;
    const int kept = cursor;
    Rebuild();
    cursor = kept;
    charCount = std::max(charCount - 1, 0);
    return true;
}

bool TextEditBuffer::Backspace() {
    if (cursor == 0) {
        return false;
    }
    std::string t = ReachingCursor(ReadBack());
    const int n = date && AfterSeparator(cursor) ? 2 : 1;
    t.erase(static_cast<size_t>(cursor - n), static_cast<size_t>(n));
    const int to = cursor - n;
    if (date) {
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
    Rebuild();
    cursor = std::clamp(to, 0, maxLength);
    charCount = std::max(charCount - n, 0);
    return true;
}

bool TextEditBuffer::Enter(char c, const Area& area) {
    if (cursor >= maxLength) {
        return false;
    }
    if (multiline) {
        const std::string before = text;
        std::string t = ReachingCursor(text);
        t.insert(static_cast<size_t>(cursor), 1, c);
        // The whole new text must fit, whatever the count says after blanks were trimmed.
        if (!Fits(static_cast<int>(t.size()), t, area)) {
            text = before;
            return false;
        }
        text = t;
        const int to = cursor + 1;
        Rebuild();
        cursor = to;
        charCount = std::min(charCount + 1, maxLength);
        return true;
    }
    buffer[static_cast<size_t>(cursor)] = c;
    ++cursor;
    if (date && OnSeparator(cursor) && cursor < maxLength) {
        buffer[static_cast<size_t>(cursor)] = '/';
        ++cursor;
        charCount = std::min(charCount + 1, maxLength);
    }
    charCount = std::min(charCount + 1, maxLength);
    return true;
}

// ---- Cursor --------------------------------------------------------------------------------

void TextEditBuffer::SetCursor(int to) {
    cursor = std::clamp(to, 0, std::max(maxLength, 0));
}

void TextEditBuffer::ClampCursor() {
    cursor = std::clamp(cursor, 0, maxLength);
}

bool TextEditBuffer::Right() {
    if (cursor >= charCount) {
        return false;
    }
    int to = std::min(cursor + 1, maxLength);
    if (date && OnSeparator(to)) {
        ++to;
    }
    SetCursor(to);
    return true;
}

void TextEditBuffer::Left() {
    SetCursor(date && AfterSeparator(cursor) ? cursor - 2 : std::max(cursor - 1, 0));
}

void TextEditBuffer::PlaceCursor(int index) {
    cursor = index < charCount ? index : std::max(charCount, 0);
    if (date && OnSeparator(cursor)) {
        --cursor;
    }
}

void TextEditBuffer::TakeBack(int index) {
    buffer[static_cast<size_t>(index)] = ' ';
    if (charCount == cursor && charCount > 0) {
        --charCount;
    }
    cursor = std::max(cursor - 1, 0);
}

// ---- Modes ---------------------------------------------------------------------------------

void TextEditBuffer::SetDate(bool on, bool rebuild) {
    date = on;
    number = on;
    if (!on) {
        return;
    }
    if (rebuild) {
        ReadBack();  // the buffer was made for the old length
    }
    maxLength = 10;
    insert = false;
    // A box not yet shown counts its text too: a longer one is cut to the ten cells it shows.
    charCount = std::min(charCount, maxLength);
    if (rebuild) {
        Rebuild();
    }
}

void TextEditBuffer::SetInsert(bool on) {
    insert = on;
    if (on) {
        multiline = true;
        date = false;
    }
}

}  // namespace tessella
