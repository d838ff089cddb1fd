#pragma once

#include <cstdint>
#include <string>

#include "CustomControl.h"

// A caption shown by the platform's text gadget, in its own pens, justification and optional
// recessed frame, at the label's place in the window.
class Label : public CustomControl {
public:
    Label(GUIElement* parent, std::string caption);
    ~Label() override;
    void Init(GUIElement* newParent, std::string caption);

    void Load() override;
    void Show() override;
    void ShowActivate() override;
    void Hide() override;
    void SetText(std::string s) override;
    void SetBackgroundColor(unsigned long color) override;
    void SetColor(int pen);
    void SetLeftAlign(short on);
    void SetRightAlign(short on);
    void SetCenterAlign(short on);
    // A new frame needs a new gadget: a loaded label is hidden and shown again.
    void SetBorder(short flag);
    void SetWindosStyle();

private:
    int BackPen() const;
    int Justification() const;
    void Retune();
    void Detach();

    uint8_t textPen = 1;
    int16_t border = 0;
    int16_t rightAlign = 0;
    int16_t centreAlign = 0;
};
