#pragma once

#include <graphics.h>

#include <cstdint>
#include <string>

namespace tessella {

// A font description that opens its platform font on first use and closes it when dropped.
// Copies share the description only: each copy opens its own font.
class Font {
public:
    Font() = default;
    explicit Font(std::string name) : name(std::move(name)) {}
    Font(std::string name, int32_t size) : name(std::move(name)), size(size) {}
    Font(const Font& other);
    Font& operator=(const Font& other);
    ~Font();

    int Init(std::string newName, int32_t newSize);
    // Opens the platform font anew (closing the one opened before) with one style: italic,
    // else bold, else underline. Null when no such font can be opened.
    TextFont* FontOpen();
    // The opened font, opening it on first use; an open font is not reopened after a change.
    TextFont* GetTextFont();
    // The text attribute that describes the font, without opening it. It stays valid while
    // this Font lives and is rebuilt by every call.
    TextAttr* GetHFONT();

    std::string GetNome() const { return name; }
    int32_t GetSize() const { return size; }
    int16_t GetBold() const { return bold; }
    int16_t GetItalic() const { return italic; }
    int16_t GetUnderline() const { return underline; }
    int16_t GetFixed() const { return fixed; }
    int16_t GetRomFont() const { return romFont; }
    void SetBold(int16_t v) { bold = v; }
    void SetItalic(int16_t v) { italic = v; }
    void SetUnderline(int16_t v) { underline = v; }
    void SetFixed(int16_t v) { fixed = v; }
    void SetRomFont(int16_t v) { romFont = v; }

private:
    void Close();
    UBYTE Style() const;

    TextFont* opened = nullptr;
    std::string name = "topaz.font";
    int32_t size = 8;
    int16_t bold = 0;
    int16_t italic = 0;
    int16_t underline = 0;
    int16_t fixed = 0;
    int16_t romFont = 1;
    TextAttr attr{};
};

}  // namespace tessella
