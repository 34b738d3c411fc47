// The runtime's directory search: Windows wildcards without regard to case, every match once,
// in one sorted order, and the failure codes of a search that finds nothing.
#include <host.h>
#include <io.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class FindFiles : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("find_files_test_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "Models" / "folder.md2");
        for (const char* name : {"b.md2", "A.MD2", "a.md2", "c.md2x", "notes.txt", "x.md"}) Touch(name, 5);
        host::SetResourceFolder(root.string());
    }
    void TearDown() override {
        host::SetResourceFolder("");
        fs::remove_all(root);
    }
    void Touch(const std::string& name, int bytes) {
        std::ofstream(root / "Models" / name) << std::string(size_t(bytes), 'x');
    }

    // Every name the search returns, in order.
    static std::vector<std::wstring> Names(const wchar_t* pattern) {
        std::vector<std::wstring> names;
        _wfinddata_t found{};
        const intptr_t search = _wfindfirst(pattern, &found);
        if (search == -1) return names;
        do names.push_back(found.name);
        while (_wfindnext(search, &found) == 0);
        EXPECT_EQ(_findclose(search), 0);
        return names;
    }

    fs::path root;
};

TEST_F(FindFiles, MatchesTheExtensionInAnyCaseInOneSortedOrder) {
    // Folder names are matched without regard to case too, as Windows does.
    const std::vector<std::wstring> expected = {L"A.MD2", L"a.md2", L"b.md2", L"folder.md2"};
    EXPECT_EQ(Names(L"..\\Resource\\models\\*.md2"), expected);
    EXPECT_EQ(Names(L"..\\Resource\\Models\\*.MD2"), expected) << "the pattern's case does not matter either";
}

TEST_F(FindFiles, QuestionMarkTakesOneCharacterAndStarAnyRun) {
    EXPECT_EQ(Names(L"..\\Resource\\Models\\?.md"), std::vector<std::wstring>{L"x.md"});
    EXPECT_EQ(Names(L"..\\Resource\\Models\\*s.*"), std::vector<std::wstring>{L"notes.txt"});
    EXPECT_EQ(Names(L"..\\Resource\\Models\\c*x"), std::vector<std::wstring>{L"c.md2x"});
    EXPECT_EQ(Names(L"..\\Resource\\Models\\*").size(), 9u) << "seven entries and . and ..";
}

TEST_F(FindFiles, ReportsFolderAttributeAndFileSize) {
    _wfinddata_t found{};
    const intptr_t search = _wfindfirst(L"..\\Resource\\Models\\folder.*", &found);
    ASSERT_NE(search, -1);
    EXPECT_NE(found.attrib & _A_SUBDIR, 0u);
    EXPECT_EQ(_wfindnext(search, &found), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(_findclose(search), 0);

    const intptr_t file = _wfindfirst(L"..\\Resource\\Models\\notes.txt", &found);
    ASSERT_NE(file, -1);
    EXPECT_EQ(found.attrib & _A_SUBDIR, 0u);
    EXPECT_EQ(found.size, 5u);
    _findclose(file);
}

TEST_F(FindFiles, NoMatchOrNoFolderFailsWithNoEntry) {
    _wfinddata_t found{};
    errno = 0;
    EXPECT_EQ(_wfindfirst(L"..\\Resource\\Models\\*.bsp", &found), -1);
    EXPECT_EQ(errno, ENOENT);
    errno = 0;
    EXPECT_EQ(_wfindfirst(L"..\\Resource\\Missing\\*.md2", &found), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(_wfindfirst(nullptr, &found), -1);
    EXPECT_EQ(errno, EINVAL);
}

TEST_F(FindFiles, ClosedOrUnknownHandlesAreRefused) {
    _wfinddata_t found{};
    const intptr_t search = _wfindfirst(L"..\\Resource\\Models\\*.md2", &found);
    ASSERT_NE(search, -1);
    EXPECT_EQ(_findclose(search), 0);
    EXPECT_EQ(_wfindnext(search, &found), -1);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(_findclose(search), -1);
    EXPECT_EQ(_findclose(-1), -1);
}

TEST_F(FindFiles, TwoSearchesRunSideBySide) {
    _wfinddata_t first{}, second{};
    const intptr_t a = _wfindfirst(L"..\\Resource\\Models\\*.md2", &first);
    const intptr_t b = _wfindfirst(L"..\\Resource\\Models\\*.txt", &second);
    ASSERT_NE(a, -1);
    ASSERT_NE(b, -1);
    EXPECT_NE(a, b);
    EXPECT_EQ(_wfindnext(b, &second), -1) << "only notes.txt";
    EXPECT_EQ(_wfindnext(a, &first), 0);
    EXPECT_EQ(std::wstring(first.name), L"a.md2");
    _findclose(a);
    _findclose(b);
}

}  // namespace
