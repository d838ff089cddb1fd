// The README's pictures of the utility and of the toolkit's gallery, drawn by their own windows
// on their own screens (without a desktop: the screen is the same, pixel for pixel), brought to
// each state as a user brings them there. The paths typed are relative, so that the pictures
// are the same wherever and whenever they are drawn.
//   tessella-pictures --write FOLDER   draws them into FOLDER (make pictures: into docs/)
//   tessella-pictures --check FOLDER   draws them again and fails, naming each, where a picture
//                                      in FOLDER differs from what the program draws now
#include <png.h>

#include <cstring>

#include "MainWindowFixture.h"
#include "app/FormAbout.h"
#include "controls/ButtonCustom.h"
#include "controls/OptionBox.h"
#include "controls/TextBox.h"
#include "controls/TextBoxCustom.h"
#include "examples/DemoForm.h"
#include "examples/GalleryForm.h"

using namespace tessella;

namespace {

std::string target;
bool checking = false;

// Where the pictures are drawn, before they are kept or compared.
fs::path drawnFolder;

const char* const kPictures[] = {"window-encrypt.png",     "window-encrypt-2x.png",
                                 "window-job-running.png", "window-decrypt.png",
                                 "window-about.png",       "gallery.png"};

// The pixels of a PNG as RGB, empty when it cannot be read.
std::vector<png_byte> ReadPixels(const fs::path& path, png_uint_32& width, png_uint_32& height) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    std::vector<png_byte> pixels;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return pixels;
    }
    image.format = PNG_FORMAT_RGB;
    pixels.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
        pixels.clear();
    }
    width = image.width;
    height = image.height;
    return pixels;
}

// A held job shows the tenth it reaches once its key and header are made, but is held at its
// very start: the banner's first line is then what shows, however long that work takes on a
// slow (instrumented) build.
class PictureWindow : public HeldWindow {
public:
    using HeldWindow::HeldWindow;

protected:
    void SetProgress(int value) override { HeldWindow::SetProgress(value == 0 ? 10 : value); }
};

class Pictures : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        delete window;
        window = new PictureWindow(screen, title);
        ASSERT_TRUE(window->IsLoad());
    }

    // Until the banner has drawn its first line: black ink in its strip. Read from a saved
    // screen, which is quick however slow the build: the line stays for three ticks only.
    static bool WaitBanner() {
        const fs::path probe = drawnFolder / "probe.png";
        for (int i = 0; i < 100; ++i) {
            png_uint_32 width = 0, height = 0;
            if (!PlatformTest::SaveScreenPNG(probe.c_str())) {
                return false;
            }
            const std::vector<png_byte> pixels = ReadPixels(probe, width, height);
            if (pixels.size() < static_cast<size_t>(width) * height * 3) {
                return false;
            }
            int ink = 0;
            for (png_uint_32 y = 95; y < 120 && y < height; ++y) {
                for (png_uint_32 x = 26; x < 300 && x < width; ++x) {
                    const png_byte* p = &pixels[(y * width + x) * 3];
                    ink += p[0] == 0 && p[1] == 0 && p[2] == 0 ? 1 : 0;
                }
            }
            fs::remove(probe);
            if (ink > 50) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));  // another process draws
        }
        return false;
    }

    static void Snapshot(const char* name, double factor = 1.0) {
        Settle();
        EXPECT_TRUE(PlatformTest::SaveScreenPNG((drawnFolder / name).c_str(), factor)) << name;
    }
};

// The gallery after the clicks and typing its end-to-end test makes on a desktop.
TEST(GalleryPicture, AfterAFewClicksAndSomeTyping) {
    OrvScreen screen("Tessella Cross Edition");
    DemoForm::LoadPalette(&screen);
    {
        GalleryForm window(&screen);
        window.Show();
        ASSERT_TRUE(window.IsLoad());
        std::thread person([] {
            PlatformTest::WaitIdle(10000);
            const auto click = [](int x, int y) {
                PlatformTest::Click(x, y);
                PlatformTest::WaitIdle(10000);
            };
            click(80, 59);    // "Press me"
            click(485, 256);  // the string gadget, after its text
            PlatformTest::TypeText("!!");
            click(540, 70);  // the password box
            PlatformTest::TypeText("secret");
            click(298, 103);  // the second radio button
            click(80, 59);
            click(59, 353);                                     // the tool bar's folder
            click(763, 524);                                    // the panel's own scroll bar, down
            PlatformTest::TypeKey(0x20, IEQUALIFIER_LCOMMAND);  // Amiga-A: the about line
            PlatformTest::WaitIdle(10000);
            EXPECT_TRUE(PlatformTest::SaveScreenPNG((drawnFolder / "gallery.png").c_str()));
            PlatformTest::TypeKey(RAWKEY_ESCAPE);
        });
        Application::Run(&window);
        person.join();
    }
    EXPECT_TRUE(screen.Close());
    PlatformTest::WaitIdle();
}

TEST_F(Pictures, OfTheUtilitysWindow) {
    const fs::path home = fs::current_path();
    fs::create_directories(folder / "Documents");
    fs::current_path(folder);
    Write("Documents/letter.txt", Sample(20000));
    window->OpenPath("Documents/letter.txt");
    Run([&] {
        // The Encrypt view: a file handed over, its destination proposed, the password typed.
        Type(window->txtPassword, "mysecret1");
        Type(window->txtConfirm, "mysecret1");
        Snapshot("window-encrypt.png");
        Snapshot("window-encrypt-2x.png", 2.0);  // as a desktop window twice the size shows it
        Click(window->btnInfo);
        ASSERT_NE(window->formAbout, nullptr);
        Snapshot("window-about.png");
        EXPECT_TRUE(CloseAbout());
        // The Decrypt view with its own source and password.
        Pick(window->optOperation, 1, 2);
        Type(window->txtFiles, "Documents/letter.velx");
        Type(window->txtPassword, "mysecret1");
        Snapshot("window-decrypt.png");
        // Back in the Encrypt view, a job running, once the banner has drawn its first line.
        Pick(window->optOperation, 0, 2);
        window->HoldNextJob();
        Click(window->btnStart);
        ASSERT_TRUE(window->WaitHeld());
        ASSERT_TRUE(WaitBanner());
        Snapshot("window-job-running.png");
        Click(window->btnStart);  // STOP: nothing is written
        window->Release();
        WaitJobEnd();
        Quit();
    });
    fs::current_path(home);
    EXPECT_FALSE(fs::exists(folder / "Documents" / "letter.velx"));
}

// Runs last: every picture has been drawn.
TEST(ZReadmePictures, AreWhatTheProgramsDrawNow) {
    // A picture of a run that went wrong is not one to keep.
    ASSERT_TRUE(checking || ::testing::UnitTest::GetInstance()->failed_test_count() == 0)
        << "nothing written";
    for (const char* name : kPictures) {
        const fs::path drawn = drawnFolder / name;
        const fs::path kept = fs::path(target) / name;
        if (!checking) {
            fs::copy_file(drawn, kept, fs::copy_options::overwrite_existing);
            continue;
        }
        png_uint_32 width = 0, height = 0, keptWidth = 0, keptHeight = 0;
        const std::vector<png_byte> now = ReadPixels(drawn, width, height);
        const std::vector<png_byte> before = ReadPixels(kept, keptWidth, keptHeight);
        ASSERT_FALSE(now.empty()) << name;
        ASSERT_FALSE(before.empty()) << kept << " cannot be read";
        ASSERT_EQ(keptWidth, width) << name;
        ASSERT_EQ(keptHeight, height) << name;
        size_t differing = 0;
        for (size_t i = 0; i < now.size(); i += 3) {
            differing += std::memcmp(&now[i], &before[i], 3) != 0 ? 1 : 0;
        }
        EXPECT_EQ(differing, 0u) << kept << " is not what the program draws now (" << differing
                                 << " pixels differ): `make pictures` draws it again";
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 3 ||
        (std::strcmp(argv[1], "--write") != 0 && std::strcmp(argv[1], "--check") != 0)) {
        std::fprintf(stderr, "usage: tessella-pictures --write|--check FOLDER\n");
        return 2;
    }
    checking = std::strcmp(argv[1], "--check") == 0;
    target = fs::absolute(argv[2]).string();
    drawnFolder = fs::temp_directory_path() / ("tessella-pictures-" + std::to_string(getpid()));
    fs::remove_all(drawnFolder);
    fs::create_directories(drawnFolder);
    const int status = RUN_ALL_TESTS();
    fs::remove_all(drawnFolder);
    return status;
}
