#include <host.h>
#include <windows.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <future>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// A scratch tree with names in mixed case, removed again after each test.
class PathResolution : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("paths_test_" + std::to_string(getpid()));
        fs::remove_all(root);
        Touch("resource/skin.bmp");
        Touch("resource/Models/Tree.X");
        Touch("resource/Duplicates/data.TXT");
        Touch("resource/Duplicates/Data.txt");
        Touch("resource/载入.txt");
        host::SetResourceFolder((root / "resource").string());
    }
    void TearDown() override {
        host::SetResourceFolder("");
        fs::remove_all(root);
    }
    void Touch(const std::string& relative) {
        fs::create_directories((root / relative).parent_path());
        std::ofstream(root / relative) << relative;
    }
    std::string At(const std::string& relative) const { return (root / relative).string(); }

    fs::path root;
};

TEST_F(PathResolution, ResourcePrefixMapsToTheOverrideInAnySpelling) {
    EXPECT_EQ(host::ResolvePath("..\\Resource\\Skin.BMP"), At("resource/skin.bmp"));
    EXPECT_EQ(host::ResolvePath("..//Resource//models//TREE.x"), At("resource/Models/Tree.X"));
    EXPECT_EQ(host::ResolvePath("../RESOURCE/skin.bmp"), At("resource/skin.bmp"));
    EXPECT_EQ(host::ResolvePath(L"..\\resource\\载入.TXT"), At("resource/载入.txt"));
}

TEST_F(PathResolution, ExactSpellingWinsThenTheFirstInSortedOrder) {
    EXPECT_EQ(host::ResolvePath("..\\Resource\\duplicates\\data.TXT"), At("resource/Duplicates/data.TXT"));
    EXPECT_EQ(host::ResolvePath("..\\Resource\\duplicates\\Data.txt"), At("resource/Duplicates/Data.txt"));
    EXPECT_EQ(host::ResolvePath("..\\Resource\\duplicates\\DATA.txt"), At("resource/Duplicates/Data.txt"));
}

TEST_F(PathResolution, MissingComponentsAreKeptAsWritten) {
    EXPECT_EQ(host::ResolvePath("..\\Resource\\MODELS\\New\\Mesh.X"), At("resource/Models/New/Mesh.X"));
    EXPECT_EQ(host::ResolvePath(At("RESOURCE") + "\\Skin.bmp"), At("resource/skin.bmp"));
}

TEST_F(PathResolution, WithoutOverrideResourceIsBesideTheWorkingDirectory) {
    host::SetResourceFolder("");
    Touch("bin/placeholder");
    fs::path previous = fs::current_path();
    fs::current_path(root / "bin");
    std::string resolved = host::ResolvePath("..\\Resource\\SKIN.bmp");
    std::string relativeMissing = host::ResolvePath(".\\Output\\Shot.png");
    fs::current_path(previous);
    EXPECT_EQ(resolved, "../resource/skin.bmp");
    EXPECT_EQ(relativeMissing, "./Output/Shot.png");
}

TEST_F(PathResolution, WfopenCreatesAndReadsThroughTheResolver) {
    FILE* created = _wfopen(L"..\\Resource\\Models\\Notes.txt", L"wt");
    ASSERT_NE(created, nullptr);
    fputs("hello", created);
    fclose(created);
    EXPECT_TRUE(fs::exists(root / "resource/Models/Notes.txt"));

    FILE* opened = _wfopen(L"..\\resource\\models\\NOTES.TXT", L"rb");
    ASSERT_NE(opened, nullptr);
    char text[16] = {};
    EXPECT_EQ(fread(text, 1, sizeof text, opened), 5u);
    fclose(opened);
    EXPECT_STREQ(text, "hello");

    // Writing again truncates, as "w" does.
    FILE* rewritten = _wfopen(L"..\\Resource\\Models\\Notes.txt", L"w");
    ASSERT_NE(rewritten, nullptr);
    fputs("hi", rewritten);
    fclose(rewritten);
    EXPECT_EQ(fs::file_size(root / "resource/Models/Notes.txt"), 2u);

    EXPECT_EQ(_wfopen(L"..\\Resource\\Missing.bin", L"rb"), nullptr);
    EXPECT_EQ(_wfopen(nullptr, L"rb"), nullptr);
    EXPECT_EQ(_wfopen(L"..\\Resource\\skin.bmp", nullptr), nullptr);
}

// A name that stands for a FIFO, a device or a folder opens nothing, at once: a program
// must never hang in fopen or read an endless device.
TEST_F(PathResolution, WfopenOpensOnlyRegularFiles) {
    const fs::path fifo = root / "resource/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", root / "resource/zero");
    for (const wchar_t* mode : {L"rb", L"wb", L"a"}) {
        std::future<FILE*> opened = std::async(std::launch::async, [mode] { return _wfopen(L"..\\Resource\\PIPE", mode); });
        const bool answered = opened.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        // Let a blocked open go on, so that the test can end either way.
        if (!answered) close(open(fifo.c_str(), O_RDWR | O_NONBLOCK));
        FILE* file = opened.get();
        EXPECT_TRUE(answered) << "FIFO opened for " << mode;
        EXPECT_EQ(file, nullptr);
        if (file != nullptr) fclose(file);
    }
    EXPECT_EQ(_wfopen(L"..\\Resource\\zero", L"rb"), nullptr);
    EXPECT_EQ(_wfopen(L"..\\Resource\\Models", L"rb"), nullptr);
    EXPECT_EQ(errno, EACCES);
}

}  // namespace
