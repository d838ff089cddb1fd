// The progress bar, the panel with its children, the label and the images, as the user sees
// them in a window.
#include <gtest/gtest.h>
#include <intuition.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "CustomDrawnFixtures.h"
#include "controls/ButtonCustom.h"
#include "controls/Drawing.h"
#include "controls/ImageFrame.h"
#include "controls/Label.h"
#include "controls/MyImage.h"
#include "controls/PanelChildren.h"
#include "controls/ProgressBar.h"
#include "controls/ScrollBar.h"

using namespace tessella;

namespace {

class CustomDrawn : public ::testing::Test {
protected:
    void SetUp() override {
        window.Open();
        x = window.Left(20);
        y = window.Top(20);
    }

    // Pixels of the rectangle that are not the window's background.
    int Painted(int left, int top, int w, int h) {
        const int area = w * h;
        return area - window.Count(left, top, left + w - 1, top + h - 1, 0);
    }
    int GadgetCount() {
        int n = 0;
        for (Gadget* g = window.GetHandle()->FirstGadget; g != nullptr; g = g->NextGadget) {
            ++n;
        }
        return n;
    }
    // The leftmost column holding the pen inside the rectangle, or -1.
    int FirstColumnOf(LONG pen, int left, int top, int w, int h) {
        for (int cx = left; cx < left + w; ++cx) {
            if (window.Count(cx, top, cx, top + h - 1, pen) > 0) {
                return cx;
            }
        }
        return -1;
    }

    ControlsWindow window;
    int x = 0;
    int y = 0;
};

// Images whose every pixel is one pen (depth 2: pens 0 to 3), up to 16 pixels wide.
struct SolidImage {
    explicit SolidImage(int pen, WORD w = 16, WORD h = 4) {
        for (int i = 0; i < 8; ++i) {
            data[i] = (pen & 1) ? 0xFFFF : 0;
            data[8 + i] = (pen & 2) ? 0xFFFF : 0;
        }
        image = {0, 0, w, h, 2, data, 0x3, 0, nullptr};
        // Planes are h rows apart.
        std::memmove(data + h, data + 8, sizeof(UWORD) * h);
    }
    UWORD data[16] = {};
    Image image{};
};

}  // namespace

TEST_F(CustomDrawn, ProgressBarFillsItsFractionOfTheRange) {
    ProgressBar bar(&window, 0, 100);
    bar.SetLocation(x, y);
    bar.Show();
    EXPECT_EQ(bar.Width(), 190);
    EXPECT_EQ(bar.Height(), 25);
    const int row = y + 12;
    const auto filled = [&] { return window.Count(x - 5, row, x + 300, row, 4); };
    EXPECT_EQ(filled(), 0);
    EXPECT_EQ(window.Pen(x, y), 1);  // sunken frame
    EXPECT_EQ(window.Pen(x + 189, y + 24), 2);

    bar.SetValue(50);
    EXPECT_EQ(filled(), 94);  // half of the 188 pixels inside the frame
    EXPECT_EQ(window.Pen(x + 1, row), 4);
    EXPECT_EQ(window.Pen(x + 94, row), 4);
    EXPECT_EQ(window.Pen(x + 95, row), 0);
    EXPECT_EQ(window.Pen(x + 94, y), 1);  // the frame stays
    Snapshot("custom_progressbar_half");

    bar.SetValue(250);
    EXPECT_EQ(bar.GetValue(), 100);
    EXPECT_EQ(filled(), 188);
    bar.SetValue(-5);
    EXPECT_EQ(bar.GetValue(), 0);
    EXPECT_EQ(filled(), 0);
}

TEST_F(CustomDrawn, ProgressBarWithARaisedMinimumStaysInsideItsFrame) {
    ProgressBar bar(&window, 50, 150);
    bar.SetLocation(x, y);
    bar.Show();
    EXPECT_EQ(bar.GetValue(), 50);
    const int row = y + 12;
    EXPECT_EQ(window.Count(x - 5, row, x + 400, row, 4), 0);
    bar.SetValue(100);
    EXPECT_EQ(window.Count(x - 5, row, x + 400, row, 4), 94);
    bar.SetValue(150);
    EXPECT_EQ(window.Count(x - 5, row, x + 400, row, 4), 188);
    EXPECT_EQ(window.Pen(x + 189, row), 2);
}

TEST_F(CustomDrawn, ProgressBarRepaintsOnlyForANewValueAndNotWhileHidden) {
    ProgressBar bar(&window, 0, 100);
    bar.SetLocation(x, y);
    bar.Show();
    bar.SetValue(30);
    EXPECT_EQ(window.Count(x, y + 12, x + 189, y + 12, 4), 56);
    {
        Drawing d(window.GetHandle()->RPort);
        d.DrawFillRectangle(x, y, 190, 25, 0, 0, 7);
    }
    bar.SetValue(30);
    EXPECT_EQ(window.Count(x, y, x + 189, y + 24, 7), 190 * 25);

    bar.Hide();
    EXPECT_EQ(Painted(x, y, 190, 25), 0);
    bar.SetValue(60);
    EXPECT_EQ(Painted(x, y, 190, 25), 0);
    bar.Show();
    EXPECT_EQ(window.Count(x, y + 12, x + 189, y + 12, 4), 112);
}

TEST_F(CustomDrawn, ProgressBarSetFromAWorkerWhileTheWindowRepaints) {
    ProgressBar bar(&window, 0, 1000);
    bar.SetLocation(x, y);
    bar.Show();
    std::thread worker([&] {
        for (int v = 1; v <= 1000; v += 3) {
            bar.SetValue(v);
        }
    });
    for (int i = 0; i < 30; ++i) {
        window.Refresh();
    }
    worker.join();
    window.Refresh();
    EXPECT_EQ(bar.GetValue(), 1000);
    EXPECT_EQ(window.Count(x, y + 1, x + 189, y + 23, 4), 188 * 23);
}

TEST_F(CustomDrawn, PanelShowsAndHidesItsChildrenWithIt) {
    PanelChildren panel(&window);
    panel.SetLocation(x, y);
    panel.SetSize(300, 150);
    panel.SetText("Options");
    panel.SetBorder(1);
    ButtonCustom inner(&panel, "Inside");
    inner.SetLocation(20, 30);
    inner.SetSize(100, 30);
    Label label(&panel, "A label");
    label.SetLocation(20, 80);
    label.SetSize(120, 20);
    const int gadgets = GadgetCount();

    panel.Show();
    EXPECT_TRUE(inner.IsLoad());
    EXPECT_TRUE(label.IsLoad());
    EXPECT_EQ(GadgetCount(), gadgets + 1);
    EXPECT_EQ(window.Pen(x, y), 1);  // sunken by default
    EXPECT_EQ(window.Pen(x + 299, y + 149), 2);
    EXPECT_GT(window.Count(x + 4, y + 2, x + 150, y + 11, 1), 10);  // title in pen 1
    EXPECT_EQ(window.Pen(x + 20, y + 30), 2);  // the child, relative to the panel
    EXPECT_EQ(window.Pen(x + 119, y + 59), 1);
    EXPECT_GT(window.Count(x + 20, y + 80, x + 139, y + 99, 1), 10);
    Snapshot("custom_panel");

    panel.Hide();
    EXPECT_FALSE(panel.IsLoad());
    EXPECT_FALSE(inner.IsLoad());
    EXPECT_FALSE(label.IsLoad());
    EXPECT_EQ(GadgetCount(), gadgets);
    EXPECT_EQ(Painted(x, y, 300, 150), 0);

    panel.Show();
    EXPECT_TRUE(inner.IsLoad());
    EXPECT_EQ(GadgetCount(), gadgets + 1);
    EXPECT_EQ(window.Pen(x + 20, y + 30), 2);
    EXPECT_EQ(window.Pen(x, y), 1);
}

TEST_F(CustomDrawn, PanelTitleColourChildrenBackgroundAndBorders) {
    PanelChildren panel(&window);
    panel.SetLocation(x, y);
    panel.SetSize(300, 100);
    panel.SetText("Title");
    panel.SetColor(17);
    panel.SetBackgroundColorChild(7);
    panel.SetBorderIncassato(0);
    ButtonCustom inner(&panel, "B");
    inner.SetLocation(20, 30);
    inner.SetSize(100, 30);
    panel.Show();
    EXPECT_GT(window.Count(x + 4, y + 2, x + 150, y + 11, 17), 5);
    EXPECT_EQ(window.Count(x + 4, y + 2, x + 150, y + 11, 1), 0);
    EXPECT_EQ(window.Pen(x + 23, y + 45), 7);  // the child's background
    EXPECT_EQ(window.Pen(x, y), 2);            // raised
    EXPECT_EQ(window.Pen(x + 299, y + 99), 1);
    panel.SetBorderFlat(1);
    panel.OnPaint();  // the panel painted again brings its children back over itself
    EXPECT_EQ(window.Pen(x + 23, y + 45), 7);
    EXPECT_EQ(window.Pen(x + 20, y + 30), 2);
    EXPECT_EQ(window.Pen(x, y), 1);
    EXPECT_EQ(window.Pen(x + 299, y + 99), 1);
    panel.SetBorder(0);
    panel.OnPaint();
    EXPECT_EQ(window.Pen(x, y), 0);
}

TEST_F(CustomDrawn, AButtonInsideAPanelAnswersAClick) {
    static std::atomic<int> commands{0};
    commands = 0;
    PanelChildren panel(&window);
    panel.SetLocation(x, y);
    panel.SetSize(300, 100);
    ButtonCustom inner(&panel, "Go");
    inner.SetLocation(40, 30);
    inner.SetSize(100, 30);
    inner.SetCommand([](GUIElement*) { commands++; });
    panel.Show();
    RunWithUser(window, [&] {
        window.ClickAt(x + 80, y + 45);
        PlatformTest::WaitIdle();
        window.ClickAt(x + 80, y + 45);
    });
    EXPECT_EQ(commands, 2);
}

TEST_F(CustomDrawn, PanelScrollBarsSitOutsideItAndReportToItsCallbacks) {
    static std::vector<std::string> scrolls;
    scrolls.clear();
    PanelChildren panel(&window);
    panel.SetLocation(x, y);
    panel.SetSize(200, 100);
    panel.SetScrollV(1);
    panel.SetScrollH(1);
    panel.SetRangeScroll(0, 500);  // the vertical one, as the panel scrolls both ways
    panel.SetOnScrollV([](GUIElement* e, int pos) {
        scrolls.push_back(e->GetOrvClassName() + ":v" + std::to_string(pos));
    });
    panel.SetOnScrollH([](GUIElement* e, int pos) {
        scrolls.push_back(e->GetOrvClassName() + ":h" + std::to_string(pos));
    });
    EXPECT_EQ(panel.GetIDScrollV(), 0);
    panel.Show();
    ASSERT_NE(panel.GetIDScrollV(), 0);
    ASSERT_NE(panel.GetIDScrollH(), 0);
    auto* v = dynamic_cast<ScrollBar*>(Application::GetElementByID(panel.GetIDScrollV()));
    auto* h = dynamic_cast<ScrollBar*>(Application::GetElementByID(panel.GetIDScrollH()));
    ASSERT_NE(v, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(v->GetPosition().x, 200);
    EXPECT_EQ(v->GetPosition().y, 0);
    EXPECT_EQ(v->Width(), 26);
    EXPECT_EQ(v->Height(), 100);
    EXPECT_EQ(h->GetPosition().x, 0);
    EXPECT_EQ(h->GetPosition().y, 100);
    EXPECT_EQ(h->Width(), 200);
    EXPECT_EQ(h->Height(), 13);
    Snapshot("custom_panel_scrolling");
    RunWithUser(window, [&] {
        window.ClickAt(x + 200 + 13, y + 100 - 6);  // the vertical bar's forward arrow
        PlatformTest::WaitIdle();
        window.ClickAt(x + 200 - 6, y + 100 + 6);  // the horizontal one's
    });
    EXPECT_EQ(scrolls, (std::vector<std::string>{"panel:v10", "panel:h10"}));
}

TEST_F(CustomDrawn, LabelTextPensAlignmentAndFrame) {
    Label label(&window, "Label text");
    label.SetLocation(x, y);
    label.SetSize(160, 20);
    const int gadgets = GadgetCount();
    label.Show();
    EXPECT_EQ(GadgetCount(), gadgets + 1);
    EXPECT_GT(window.Count(x, y, x + 159, y + 19, 1), 10);
    const int leftInk = FirstColumnOf(1, x, y, 160, 20);
    EXPECT_LT(leftInk, x + 10);
    Snapshot("custom_label");

    label.SetRightAlign(1);
    const int rightInk = FirstColumnOf(1, x, y, 160, 20);
    EXPECT_GT(rightInk, x + 40);
    label.SetCenterAlign(1);
    const int centred = FirstColumnOf(1, x, y, 160, 20);
    EXPECT_NEAR(centred, (leftInk + rightInk) / 2, 2);
    label.SetRightAlign(1);  // right wins over the centring
    EXPECT_EQ(FirstColumnOf(1, x, y, 160, 20), rightInk);
    label.SetLeftAlign(1);
    EXPECT_EQ(FirstColumnOf(1, x, y, 160, 20), leftInk);

    label.SetColor(17);
    label.SetBackgroundColor(7);
    EXPECT_EQ(window.Count(x, y, x + 159, y + 19, 1), 0);
    EXPECT_GT(window.Count(x, y, x + 159, y + 19, 17), 10);
    EXPECT_GT(window.Count(x, y, x + 159, y + 19, 7), 160 * 10);

    label.SetBorder(1);  // a new gadget with a recessed frame
    EXPECT_EQ(GadgetCount(), gadgets + 1);
    EXPECT_EQ(window.Pen(x, y), 1);
    EXPECT_EQ(window.Pen(x + 159, y + 19), 2);

    label.Hide();
    EXPECT_EQ(GadgetCount(), gadgets);
    EXPECT_EQ(Painted(x, y, 160, 20), 0);
}

TEST_F(CustomDrawn, ALabelWithoutABackgroundOfItsOwnTakesItsContainers) {
    PanelChildren panel(&window);
    panel.SetLocation(x, y);
    panel.SetSize(200, 40);
    panel.SetBackgroundColor(5);
    Label label(&panel, "Hi");
    label.SetLocation(10, 10);
    label.SetSize(120, 20);
    panel.Show();
    ASSERT_TRUE(label.IsLoad());
    EXPECT_EQ(window.Pen(x + 10 + 119, y + 10 + 10), 5);  // right of the text
    EXPECT_EQ(window.Pen(x + 10, y + 10), 5);
    label.SetBackgroundColor(7);
    EXPECT_EQ(window.Pen(x + 10 + 119, y + 10 + 10), 7);
}

TEST_F(CustomDrawn, ImagesWithAndWithoutFrameAndOnTheirContainersColour) {
    SolidImage blue(3);
    MyImage img(&window, &blue.image);
    EXPECT_EQ(img.Width(), 16);
    EXPECT_EQ(img.Height(), 4);
    img.SetLocation(x, y);
    img.Show();
    EXPECT_EQ(window.Count(x, y, x + 15, y + 3, 3), 64);
    img.SetBorder(1);  // sunken, over the image's edge
    EXPECT_EQ(window.Pen(x, y), 1);
    EXPECT_EQ(window.Pen(x + 15, y + 3), 2);
    EXPECT_EQ(window.Pen(x + 5, y + 2), 3);
    GUIElement* element = &img;
    element->SetEnabled(false);  // stored only
    EXPECT_FALSE(img.GetEnabled());
    EXPECT_EQ(window.Pen(x + 5, y + 2), 3);

    PanelChildren panel(&window);
    panel.SetLocation(x, y + 20);
    panel.SetSize(100, 40);
    panel.SetBackgroundColor(5);
    MyImage blank(&panel, nullptr);
    blank.SetLocation(10, 10);
    blank.SetSize(20, 10);
    panel.Show();
    EXPECT_EQ(window.Count(x + 10, y + 30, x + 29, y + 39, 5), 200);
    Snapshot("custom_images");

    img.SetLocation(x + 40, y);  // moved: the old place is erased
    EXPECT_EQ(Painted(x, y, 16, 4), 0);
    EXPECT_EQ(window.Count(x + 40, y, x + 55, y + 3, 3), 28);  // inside the frame
}

TEST_F(CustomDrawn, ImageFrameShowsOneFrameAndRepaintsOnlyForANewOne) {
    SolidImage one(1);
    SolidImage two(2);
    SolidImage three(3);
    Image* frames[] = {&one.image, &two.image, &three.image};
    ImageFrame frame(&window, frames, 0, 1);
    frame.SetLocation(x, y);
    frame.Show();
    EXPECT_EQ(window.Count(x, y, x + 15, y + 3, 2), 64);
    frame.SetFrame(1, 1);
    EXPECT_EQ(frame.GetFrame(), 1);
    EXPECT_EQ(window.Count(x, y, x + 15, y + 3, 3), 64);
    {
        Drawing d(window.GetHandle()->RPort);
        d.DrawFillRectangle(x, y, 16, 4, 0, 0, 7);
    }
    frame.SetFrame(1, 1);
    EXPECT_EQ(window.Count(x, y, x + 15, y + 3, 7), 64);
    frame.SetFrame(0, 0, 1);
    EXPECT_EQ(window.Count(x, y, x + 15, y + 3, 1), 64);

    // A smaller frame: without the erase, the old one shows around it; with it, the window.
    SolidImage small(3, 8, 2);
    Image* mixed[] = {&one.image, &small.image};
    ImageFrame sizes(&window, mixed, 0, 0);
    sizes.SetLocation(x, y + 10);
    sizes.Show();
    const auto rows = [&] {
        std::string s;
        for (int cy = y + 10; cy < y + 14; ++cy) {
            for (int cx = x; cx < x + 16; cx += 4) {
                s += static_cast<char>('0' + window.Pen(cx, cy));
            }
            s += ' ';
        }
        return s;
    };
    EXPECT_EQ(rows(), "1111 1111 1111 1111 ");
    sizes.SetFrame(1, 0);
    EXPECT_EQ(rows(), "3311 3311 1111 1111 ");
    sizes.SetFrame(0, 0);
    sizes.SetFrame(1, 0, 1);
    EXPECT_EQ(rows(), "3300 3300 0000 0000 ");

    frame.SetBackgroundColor(9);
    frame.ResetBackgroundColor();
    EXPECT_EQ(frame.GetBackgroundColor(), ~0UL);
}

TEST_F(CustomDrawn, AnImageFrameWithoutAFrameToShowIsBlank) {
    ImageFrame none(&window, nullptr, 0, 0);  // no images at all
    none.SetLocation(x, y);
    none.SetSize(16, 4);
    none.Show();
    EXPECT_EQ(Painted(x, y, 16, 4), 0);

    SolidImage one(1);
    Image* frames[] = {&one.image};
    ImageFrame before(&window, frames, 0, -1);  // an index before the first image
    before.SetLocation(x, y + 10);
    before.SetSize(16, 4);
    before.Show();
    EXPECT_EQ(Painted(x, y + 10, 16, 4), 0);
    before.SetFrame(0, 0);
    EXPECT_EQ(window.Count(x, y + 10, x + 15, y + 13, 1), 64);
}

TEST(ImageChipCopy, CopiesEveryFieldAndThePlaneData) {
    UWORD data[] = {0x1234, 0x8000, 0xABCD, 0x0001};  // 17 wide: two words a row
    Image source{3, 4, 17, 1, 2, data, 0x3, 0x4, nullptr};
    Image* copy = MyImage::AllocaImgChip(&source);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, &source);
    ASSERT_NE(copy->ImageData, nullptr);
    EXPECT_NE(copy->ImageData, data);
    EXPECT_EQ(std::memcmp(copy->ImageData, data, sizeof(data)), 0);
    EXPECT_EQ(copy->LeftEdge, 3);
    EXPECT_EQ(copy->TopEdge, 4);
    EXPECT_EQ(copy->Width, 17);
    EXPECT_EQ(copy->Depth, 2);
    EXPECT_EQ(copy->PlanePick, 0x3);
    EXPECT_EQ(copy->PlaneOnOff, 0x4);
    data[3] = 0;  // the copy is its own
    EXPECT_EQ(copy->ImageData[3], 0x0001);
    MyImage::FreeImgChip(copy);

    UWORD plane[] = {0xF00F, 0x0FF0};  // one plane, 16 x 2
    Image flat{0, 0, 16, 2, 1, plane, 0x1, 0, nullptr};
    copy = MyImage::AllocaImgChip(&flat);
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy->ImageData, nullptr);
    EXPECT_NE(copy->ImageData, plane);
    EXPECT_EQ(std::memcmp(copy->ImageData, plane, sizeof(plane)), 0);
    MyImage::FreeImgChip(copy);
    EXPECT_EQ(MyImage::AllocaImgChip(nullptr), nullptr);
    MyImage::FreeImgChip(nullptr);
}
