// Whole files by Windows path: attributes, copy, move and delete, with the answers and the
// last error codes Windows gives for missing files and folders, folders and existing targets.
#include <host.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

class FileOperations : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("file_operations_test_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "Folder");
        Write("scene.ini", "[3DSNumber]\r\nnum=1\r\n");
        Write("Folder/old.ini", "old");
        // "..\Resource\" stands for the scratch folder, as it does for a program.
        host::SetResourceFolder(root.string());
    }
    void TearDown() override {
        host::SetResourceFolder("");
        fs::permissions(root / "scene.ini", fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(root);
    }

    void Write(const std::string& name, const std::string& bytes) { std::ofstream(root / name, std::ios::binary) << bytes; }
    std::string Read(const std::string& name) {
        std::ifstream file(root / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    // The failure's answer and its last error, as one value to compare.
    static std::pair<BOOL, DWORD> Failed(BOOL answer) { return {answer, GetLastError()}; }
    static std::pair<BOOL, DWORD> Expected(DWORD error) { return {FALSE, error}; }

    fs::path root;
    std::error_code ignored;
};

TEST_F(FileOperations, AttributesOfFilesFoldersAndMissingPaths) {
    EXPECT_EQ(GetFileAttributesW(L"..\\Resource\\scene.ini"), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    // Names match without regard to case, through any spelling of separators.
    EXPECT_EQ(GetFileAttributesW(L"..//RESOURCE//Scene.INI"), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesW(L"..\\Resource\\folder"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    fs::permissions(root / "scene.ini", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(GetFileAttributesW(L"..\\Resource\\scene.ini"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));

    SetLastError(0);
    EXPECT_EQ(GetFileAttributesW(L"..\\Resource\\missing.ini"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesW(L"..\\Resource\\Missing\\scene.ini"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesW(L"..\\Resource\\scene.ini\\inside"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND)) << "a file is no folder";
    EXPECT_EQ(GetFileAttributesW(nullptr), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(FileOperations, CopyMakesOrReplacesTheTargetUnlessToldNotTo) {
    ASSERT_TRUE(CopyFileW(L"..\\Resource\\scene.ini", L"..\\Resource\\scene.ini.saving", TRUE));
    EXPECT_EQ(Read("scene.ini.saving"), "[3DSNumber]\r\nnum=1\r\n");
    EXPECT_EQ(Read("scene.ini"), "[3DSNumber]\r\nnum=1\r\n");

    EXPECT_EQ(Failed(CopyFileW(L"..\\Resource\\Folder\\old.ini", L"..\\Resource\\scene.ini.saving", TRUE)),
              Expected(ERROR_FILE_EXISTS));
    EXPECT_EQ(Read("scene.ini.saving"), "[3DSNumber]\r\nnum=1\r\n");
    // Replaced by a shorter file: nothing of the longer one is left at its end.
    ASSERT_TRUE(CopyFileW(L"..\\Resource\\Folder\\old.ini", L"..\\Resource\\scene.ini.saving", FALSE));
    EXPECT_EQ(Read("scene.ini.saving"), "old");
}

TEST_F(FileOperations, CopyRefusesMissingSourcesFoldersAndMissingTargetFolders) {
    EXPECT_EQ(Failed(CopyFileW(L"..\\Resource\\missing.ini", L"..\\Resource\\copy.ini", FALSE)),
              Expected(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Failed(CopyFileW(L"..\\Resource\\Missing\\a.ini", L"..\\Resource\\copy.ini", FALSE)),
              Expected(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Failed(CopyFileW(L"..\\Resource\\Folder", L"..\\Resource\\copy.ini", FALSE)),
              Expected(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Failed(CopyFileW(L"..\\Resource\\scene.ini", L"..\\Resource\\Folder", FALSE)),
              Expected(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(fs::is_directory(root / "Folder"));
    EXPECT_EQ(Failed(CopyFileW(L"..\\Resource\\scene.ini", L"..\\Resource\\Missing\\copy.ini", FALSE)),
              Expected(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(fs::exists(root / "copy.ini"));
    EXPECT_EQ(Failed(CopyFileW(nullptr, L"..\\Resource\\copy.ini", FALSE)), Expected(ERROR_INVALID_PARAMETER));
}

TEST_F(FileOperations, MoveRenamesAndReplacesOnlyWhenAsked) {
    Write("scene.ini.saving", "new");
    EXPECT_EQ(Failed(MoveFileExW(L"..\\Resource\\scene.ini.saving", L"..\\Resource\\scene.ini", 0)),
              Expected(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(Read("scene.ini"), "[3DSNumber]\r\nnum=1\r\n");
    EXPECT_EQ(Read("scene.ini.saving"), "new");

    ASSERT_TRUE(MoveFileExW(L"..\\Resource\\scene.ini.saving", L"..\\Resource\\SCENE.INI", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(Read("scene.ini"), "new") << "the existing file, found without regard to case, is replaced";
    EXPECT_FALSE(fs::exists(root / "scene.ini.saving"));
    EXPECT_FALSE(fs::exists(root / "SCENE.INI"));

    ASSERT_TRUE(MoveFileExW(L"..\\Resource\\scene.ini", L"..\\Resource\\Folder\\moved.ini", 0));
    EXPECT_EQ(Read("Folder/moved.ini"), "new");
}

TEST_F(FileOperations, MoveRefusesMissingSourcesAndFolderTargets) {
    EXPECT_EQ(Failed(MoveFileExW(L"..\\Resource\\missing.ini", L"..\\Resource\\x.ini", MOVEFILE_REPLACE_EXISTING)),
              Expected(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Failed(MoveFileExW(L"..\\Resource\\Missing\\a.ini", L"..\\Resource\\x.ini", 0)),
              Expected(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Failed(MoveFileExW(L"..\\Resource\\scene.ini", L"..\\Resource\\Folder", MOVEFILE_REPLACE_EXISTING)),
              Expected(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Read("scene.ini"), "[3DSNumber]\r\nnum=1\r\n");
    EXPECT_EQ(Read("Folder/old.ini"), "old");
    EXPECT_EQ(Failed(MoveFileExW(L"..\\Resource\\scene.ini", L"..\\Resource\\Missing\\x.ini", 0)),
              Expected(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Read("scene.ini"), "[3DSNumber]\r\nnum=1\r\n");
}

TEST_F(FileOperations, DeleteRemovesFilesButNotFolders) {
    ASSERT_TRUE(DeleteFileW(L"..\\Resource\\Scene.ini"));
    EXPECT_FALSE(fs::exists(root / "scene.ini"));
    EXPECT_EQ(Failed(DeleteFileW(L"..\\Resource\\scene.ini")), Expected(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Failed(DeleteFileW(L"..\\Resource\\Missing\\scene.ini")), Expected(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Failed(DeleteFileW(L"..\\Resource\\Folder")), Expected(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(fs::exists(root / "Folder" / "old.ini"));
    EXPECT_EQ(Failed(DeleteFileW(nullptr)), Expected(ERROR_INVALID_PARAMETER));
}

// As on Windows, a read-only file is neither deleted, replaced by a move or a copy, nor written
// as a profile until SetFileAttributesW makes it writable; a copy takes the attribute along.
TEST_F(FileOperations, ReadOnlyFilesAreNotDeletedOrReplaced) {
    Write("new.ini", "new");
    ASSERT_TRUE(SetFileAttributesW(L"..\\Resource\\scene.ini", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributesW(L"..\\Resource\\scene.ini"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Failed(DeleteFileW(L"..\\Resource\\scene.ini")), Expected(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Failed(MoveFileExW(L"..\\Resource\\new.ini", L"..\\Resource\\scene.ini", MOVEFILE_REPLACE_EXISTING)),
              Expected(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Failed(CopyFileW(L"..\\Resource\\new.ini", L"..\\Resource\\scene.ini", FALSE)),
              Expected(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Failed(WritePrivateProfileStringW(L"3DSNumber", L"num", L"2", L"..\\Resource\\scene.ini")),
              Expected(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Read("scene.ini"), "[3DSNumber]\r\nnum=1\r\n");
    ASSERT_TRUE(CopyFileW(L"..\\Resource\\scene.ini", L"..\\Resource\\copy.ini", FALSE));
    EXPECT_EQ(GetFileAttributesW(L"..\\Resource\\copy.ini"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));

    ASSERT_TRUE(SetFileAttributesW(L"..\\Resource\\scene.ini", FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileW(L"..\\Resource\\scene.ini"));
    EXPECT_EQ(Failed(SetFileAttributesW(L"..\\Resource\\scene.ini", FILE_ATTRIBUTE_NORMAL)), Expected(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileOperations, FinalPathFollowsLinksToTheFileTheyName) {
    fs::create_symlink(root / "Folder" / "old.ini", root / "link.ini");
    HANDLE file = CreateFileW(L"..\\Resource\\LINK.ini", 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::wstring expected = fs::canonical(root / "Folder" / "old.ini").wstring();
    wchar_t small[4];
    EXPECT_EQ(GetFinalPathNameByHandleW(file, small, 4, FILE_NAME_NORMALIZED), expected.size() + 1) << "the size it needs";
    wchar_t path[MAX_PATH];
    ASSERT_EQ(GetFinalPathNameByHandleW(file, path, MAX_PATH, FILE_NAME_NORMALIZED), expected.size());
    EXPECT_EQ(std::wstring(path), expected);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(CreateFileW(L"..\\Resource\\missing.ini", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
