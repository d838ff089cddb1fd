#pragma once

#include <cstdint>
#include <string>

namespace tessella {

class Form;
class MyCustomRandom;

// The strip below the window's header that shows a job is running: the words "decrypt and
// encrypt files..." for three ticks, then a line of bit pairs that grows by one a tick until it
// would pass 55 characters, and round again. It paints straight into its window's rastport and
// is not an element of the toolkit: it takes no clicks, no keys and no place in the tab order,
// and the window's own paint (its header band) covers it.
class Banner {
public:
    explicit Banner(Form* window) : window(window) {}

    // One tick of the animation; nothing while no job runs, the window is not open or a tick
    // is still drawing.
    void Tick(bool running, MyCustomRandom& generator);
    // Blanks the strip; the animation stays where it was.
    void Clear();

    // The animation outlives a job, and the window: the next job goes on where the last one
    // stopped.
    static std::string bannerText;
    static int32_t bannerStep;
    static bool bannerBusy;

    static constexpr uint32_t kTickMs = 1500;

private:
    Form* window;
};

}  // namespace tessella
