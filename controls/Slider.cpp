#include "Slider.h"

#include <algorithm>

#include "CellControl.h"
#include "Drawing.h"
#include "util/StringUtils.h"

namespace tessella {

namespace {

constexpr int kLabelGap = 5;
constexpr int kLabelDrop = 16;
// Room around a label's text so that its letters keep clear of neighbours.
constexpr int kLabelPad = 4;

}  // namespace

Slider::Slider(GUIElement* parent, short vert, int min, int max)
    : GadgetControl(parent),
      minimum(min),
      maximum(max),
      value(min),
      vertical(vert),
      minLabel(std::make_unique<CellControl>(parent)),
      maxLabel(std::make_unique<CellControl>(parent)) {
    className = "slider";
    maxLabel->SetText(StringUtils::IntToStr(static_cast<int64_t>(maximum)));
    minLabel->SetText(StringUtils::IntToStr(static_cast<int64_t>(minimum)));
}

Slider::Slider(GUIElement* parent, short vert, int min, int max, long /*unused*/)
    : Slider(parent, vert, min, max) {}

Slider::~Slider() = default;

void Slider::Load() {
    GadgetControl::Load();
    if (loaded) {
        PosizioneLabel();
        ShowLabels(showLabels != 0);
    }
}

void Slider::Hide() {
    GadgetControl::Hide();
    ShowLabels(false);
}

void Slider::SetValue(int v) {
    value = std::clamp(v, std::min(minimum, maximum), std::max(minimum, maximum));
    SetGadgetAttrs(GTSL_Level, value);
}

int Slider::GetValue() {
    IPTR level = 0;
    if (GetGadgetAttr(GTSL_Level, level)) {
        value = static_cast<int32_t>(static_cast<LONG>(level));
    }
    return value;
}

void Slider::OnChangeValue() {
    if (onChangeValue != nullptr) {
        onChangeValue(this, GetValue());
    }
}

void Slider::SetShowLabel(short show) {
    showLabels = show;
    if (loaded) {
        ShowLabels(false);
        PosizioneLabel();
        ShowLabels(show != 0);
    }
}

void Slider::ShowLabels(bool show) {
    for (CellControl* label : {minLabel.get(), maxLabel.get()}) {
        if (show) {
            label->Show();
        } else {
            label->Hide();
        }
    }
}

void Slider::PosizioneLabel() {
    const int lineHeight = Drawing::GetHeightFont(this);
    for (CellControl* label : {minLabel.get(), maxLabel.get()}) {
        label->SetFonts(font);
        label->SetSize(Drawing::GetStringWidth(label, label->GetText()) + 2 * kLabelPad,
                       lineHeight + 2);
    }
    const tagPOINT at = position;
    if (vertical != 0) {
        minLabel->SetLocation(at.x, at.y - kLabelGap - minLabel->Height());
        maxLabel->SetLocation(at.x, at.y + size.cy + kLabelGap);
    } else {
        minLabel->SetLocation(at.x - kLabelGap - minLabel->Width(), at.y + kLabelDrop);
        maxLabel->SetLocation(at.x + size.cx + kLabelGap, at.y + kLabelDrop);
    }
}

Gadget* Slider::CreateOwnGadget(Gadget* last, NewGadget& ng) {
    return MakeGadget(SLIDER_KIND, last, ng, GTSL_Min, minimum, GTSL_Max, maximum, GTSL_Level,
                      value, GTSL_LevelPlace, PLACETEXT_LEFT, GTSL_MaxLevelLen, 2, GA_Immediate,
                      TRUE, GA_RelVerify, TRUE, PGA_Freedom,
                      vertical != 0 ? LORIENT_VERT : LORIENT_HORIZ);
}

// A value set while the slider was hidden reaches the gadget it gets back.
void Slider::OnReattach() {
    WriteAttrs(GTSL_Level, value);
}

}  // namespace tessella
