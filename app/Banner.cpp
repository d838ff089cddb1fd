#include "Banner.h"

#include <intuition.h>

#include "controls/Drawing.h"
#include "engine/MyCustomRandom.h"
#include "runtime/Form.h"

namespace tessella {

std::string Banner::bannerText;
int32_t Banner::bannerStep = 0;
bool Banner::bannerBusy = false;

namespace {

constexpr int kStripTop = 95;
constexpr int kStripHeight = 25;

// The banner's pair for a draw of 1..4. The generator drifts past its nominal range in a long
// run (5 after a few hundred draws, ever larger values later), so every value is taken round
// the four pairs rather than trusted to index them.
const char* BannerPair(int draw) {
    static const char* const kPairs[] = {"01", "00", "10", "11"};
    const int64_t index = ((static_cast<int64_t>(draw) - 1) % 4 + 4) % 4;
    return kPairs[index];
}

}  // namespace

void Banner::Clear() {
    if (window->GetHandle() == nullptr) {
        return;
    }
    Drawing d(window->GetHandle()->RPort);
    d.DrawFillRectangle(5, kStripTop, window->GetClientSize().cx - 10, kStripHeight, 0, 0, 2);
}

void Banner::Tick(bool running, MyCustomRandom& generator) {
    if (bannerBusy || !running || window->GetHandle() == nullptr) {
        return;
    }
    bannerBusy = true;
    const int w = window->GetClientSize().cx;
    Clear();
    if (bannerStep <= 2) {
        bannerText = "decrypt and encrypt files...";
        bannerStep += 1;
    } else {
        if (bannerStep == 3) {
            bannerText.clear();
            bannerStep += 1;
        }
        bannerText += BannerPair(generator.GetRandomNumber(1, 4));
    }
    if (bannerText.size() > 55) {
        bannerText.clear();
        bannerStep = 0;
    }
    Drawing d(window->GetHandle()->RPort);
    d.PrintText(26, kStripTop, w - 52, kStripHeight, bannerText, 1, 2, nullptr, AlignLeft);
    bannerBusy = false;
}

}  // namespace tessella
