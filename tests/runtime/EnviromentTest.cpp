#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "engine/FileUtils.h"
#include "runtime/Application.h"
#include "util/Enviroment.h"

using namespace tessella;

TEST(Enviroment, RandomStaysInItsRange) {
    Application::Randomize = 0;
    std::set<int> seen;
    for (int i = 0; i < 600; ++i) {
        EXPECT_EQ(Enviroment::Random(5, 5), 5);
        const int r = Enviroment::Random(1, 6);
        EXPECT_GE(r, 1);
        EXPECT_LE(r, 6);
        seen.insert(r);
    }
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_EQ(Application::Randomize, 1);
    EXPECT_EQ(Enviroment::Random(9, 3), 9);  // an empty range gives its lower end
}

TEST(Enviroment, FoldersAreCreatedInTheCurrentDirectory) {
    const std::filesystem::path saved = std::filesystem::current_path();
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("env-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    EXPECT_EQ(Enviroment::PathDocuments(), "Documenti");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Documenti"));
    EXPECT_EQ(Enviroment::PathPublicDesktop(), "Desktop");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Desktop"));
    std::filesystem::current_path(saved);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(Enviroment::PathTemp(), std::filesystem::temp_directory_path().string());
}

TEST(Enviroment, CommandLinesRunThroughTheShell) {
    const std::string marker =
        (std::filesystem::temp_directory_path() / ("shell-" + std::to_string(getpid()))).string();
    EXPECT_NE(Enviroment::Shell("touch", marker), 0);
    EXPECT_TRUE(FileUtils::FileEsistente(marker));
    FileUtils::DeleteFile(marker);
    Enviroment::Shell("");  // an empty command line runs nothing and returns
    EXPECT_GT(Enviroment::MemoryTotal(), Enviroment::MemoryFree());
    // The desktop library's version, as decimal text, from a library opened and closed again.
    const std::string version = Enviroment::WindowsVer();
    ASSERT_FALSE(version.empty());
    EXPECT_EQ(version.find_first_not_of("0123456789"), std::string::npos);
    EXPECT_GT(std::stoi(version), 0);
}
