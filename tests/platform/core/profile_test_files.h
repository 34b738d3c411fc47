// A scratch folder for the profile-file tests, with byte-exact file access.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace profile_test {

namespace fs = std::filesystem;

class ProfileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("profile_test_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override {
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(root);
    }

    std::wstring PathOf(const std::string& name) const { return (root / name).wstring(); }

    void WriteBytes(const std::string& name, const std::string& bytes) const {
        std::ofstream(root / name, std::ios::binary) << bytes;
    }

    std::string ReadBytes(const std::string& name) const {
        std::ifstream file(root / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    // The value as a program reads it, with a buffer of `size` characters.
    std::wstring Get(const std::string& file, const wchar_t* section, const wchar_t* key,
                     const wchar_t* defaultValue = L"", DWORD size = 256) const {
        std::wstring buffer(size, L'#');
        DWORD count = GetPrivateProfileStringW(section, key, defaultValue, buffer.data(), size, PathOf(file).c_str());
        EXPECT_EQ(buffer[count], L'\0');
        return buffer.substr(0, count);
    }

    BOOL Put(const std::string& file, const wchar_t* section, const wchar_t* key, const wchar_t* value) const {
        return WritePrivateProfileStringW(section, key, value, PathOf(file).c_str());
    }

    // Files left in the folder, to show that no temporary file stays behind.
    size_t EntryCount(const fs::path& folder) const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    fs::path root;
};

// UTF-16LE bytes of a text the compiler encodes: an independent route to the expected bytes.
inline std::string Utf16Le(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

}  // namespace profile_test
