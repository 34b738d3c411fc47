#include <host.h>
#include <windows.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <string>

#include "profile_test_files.h"

namespace {

using profile_test::ProfileFiles;
using profile_test::Utf16Le;
namespace fs = std::filesystem;
using ProfileRead = ProfileFiles;

const std::string kScene =
    "; scene of the test\r\n"
    "[3DSNumber]\r\n"
    "num = 2 \r\n"
    "\r\n"
    "[3DS0]\r\n"
    "  Path=..\\Resource\\House\\\r\n"
    "name\t=\thouse.x\t\r\n"
    ";size=9\r\n"
    "size=\r\n"
    "title=\"a quoted value \"\r\n"
    "mark='x\"\r\n"
    "[3ds0]\r\n"
    "name=second.x\r\n";

TEST_F(ProfileRead, MissingFileSectionOrKeyGivesTheDefault) {
    WriteBytes("scene.ini", kScene);
    EXPECT_EQ(Get("absent.ini", L"3DSNumber", L"num", L"0"), L"0");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Get("scene.ini", L"3DS7", L"posx", L"0.0f"), L"0.0f");
    EXPECT_EQ(Get("scene.ini", L"3DS0", L"posx", L"0.0f"), L"0.0f");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Get("scene.ini", L"3DS0", L"posx", nullptr), L"");
    // Windows cuts the default's trailing blanks, never its leading ones.
    EXPECT_EQ(Get("scene.ini", L"3DS0", L"posx", L" 0.1f \t "), L" 0.1f");
    // A key that is present with an empty value is not missing, and a comment is no entry.
    EXPECT_EQ(Get("scene.ini", L"3DS0", L"size", L"0.1f"), L"");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(ProfileRead, NamesMatchWithoutCaseAndValuesLoseSurroundingBlanks) {
    WriteBytes("scene.ini", kScene);
    EXPECT_EQ(Get("scene.ini", L"3dsnumber", L"NUM"), L"2");
    EXPECT_EQ(Get("scene.ini", L" 3DS0 ", L"path "), L"..\\Resource\\House\\");
    EXPECT_EQ(Get("scene.ini", L"3DS0", L"Name"), L"house.x");
    // The first of two sections that differ only in case is the one read.
    EXPECT_EQ(Get("scene.ini", L"3DS0", L"name"), L"house.x");
    EXPECT_EQ(Get("scene.ini", L"3ds0", L"name"), L"house.x");
}

// A file is kept parsed between reads, but never past a change: one written through the
// platform, or one on disk of another size or another file in its place.
TEST_F(ProfileRead, EveryChangeToTheFileIsSeenByTheNextRead) {
    WriteBytes("scene.ini", kScene);
    EXPECT_EQ(Get("scene.ini", L"3DSNumber", L"num"), L"2");
    WriteBytes("scene.ini", "[3DSNumber]\r\nnum=12\r\n");
    EXPECT_EQ(Get("scene.ini", L"3DSNumber", L"num"), L"12");
    WriteBytes("scene.ini", "[3DSNumber]\r\nnum=34\r\n");  // the same size, rewritten in place
    struct stat info;
    ASSERT_EQ(stat((root / "scene.ini").c_str(), &info), 0);
    // Another modification time, as any later write has.
    const timespec later[2] = {info.st_atim, {info.st_mtim.tv_sec + 1, info.st_mtim.tv_nsec}};
    ASSERT_EQ(utimensat(AT_FDCWD, (root / "scene.ini").c_str(), later, 0), 0);
    EXPECT_EQ(Get("scene.ini", L"3DSNumber", L"num"), L"34");
    ASSERT_TRUE(WritePrivateProfileStringW(L"3DSNumber", L"num", L"56", (root / "scene.ini").wstring().c_str()));
    EXPECT_EQ(Get("scene.ini", L"3DSNumber", L"num"), L"56");
}

TEST_F(ProfileRead, MatchingQuotationMarksAreDropped) {
    WriteBytes("scene.ini", kScene);
    EXPECT_EQ(Get("scene.ini", L"3DS0", L"title"), L"a quoted value ");
    EXPECT_EQ(Get("scene.ini", L"3DS0", L"mark"), L"'x\"");
}

TEST_F(ProfileRead, ValueIsCutToSizeMinusOneCharacters) {
    WriteBytes("scene.ini", "[s]\nkey=abcdef\n");
    EXPECT_EQ(Get("scene.ini", L"s", L"key", L"", 7), L"abcdef");
    EXPECT_EQ(Get("scene.ini", L"s", L"key", L"", 6), L"abcde");
    EXPECT_EQ(Get("scene.ini", L"s", L"key", L"", 4), L"abc");
    EXPECT_EQ(Get("scene.ini", L"s", L"key", L"", 1), L"");
    EXPECT_EQ(Get("scene.ini", L"s", L"other", L"default", 4), L"def");

    wchar_t untouched[8] = {L'#', L'#', L'#', L'#', L'#', L'#', L'#', L'#'};
    EXPECT_EQ(GetPrivateProfileStringW(L"s", L"key", L"", untouched, 0, PathOf("scene.ini").c_str()), 0u);
    EXPECT_EQ(untouched[0], L'#');

    // Long folder names survive: only the caller's buffer limits a value.
    std::wstring longName(200, L'x');
    ASSERT_TRUE(Put("long.ini", L"3DS0", L"path", longName.c_str()));
    EXPECT_EQ(Get("long.ini", L"3DS0", L"path", L"", 512), longName);
}

TEST_F(ProfileRead, NullNamesListSectionsAndKeysEndingWithTwoTerminators) {
    WriteBytes("scene.ini", "k=outside\r\n[a]\r\nx=1\r\n;c=2\r\ny=2\r\n[bb]\r\n");
    const std::wstring file = PathOf("scene.ini");
    wchar_t list[16];
    EXPECT_EQ(GetPrivateProfileStringW(nullptr, nullptr, L"", list, 16, file.c_str()), 5u);
    EXPECT_EQ(std::wstring(list, 6), std::wstring(L"a\0bb\0\0", 6));
    EXPECT_EQ(GetPrivateProfileStringW(L"A", nullptr, L"", list, 16, file.c_str()), 4u);
    EXPECT_EQ(std::wstring(list, 5), std::wstring(L"x\0y\0\0", 5));
    // Too small: the last name that fits is cut and two terminators follow it.
    EXPECT_EQ(GetPrivateProfileStringW(nullptr, nullptr, L"", list, 5, file.c_str()), 3u);
    EXPECT_EQ(std::wstring(list, 5), std::wstring(L"a\0b\0\0", 5));
    EXPECT_EQ(GetPrivateProfileStringW(nullptr, nullptr, L"", list, 16, PathOf("absent.ini").c_str()), 0u);
    EXPECT_EQ(std::wstring(list, 2), std::wstring(L"\0\0", 2));
}

TEST_F(ProfileRead, EachEncodingIsReadFromItsMark) {
    WriteBytes("le.ini", "\xFF\xFE" + Utf16Le(u"[树]\r\nname=松树\r\ntree=") + "\x3C\xD8\x32\xDF" + Utf16Le(u"\r\n"));
    EXPECT_EQ(Get("le.ini", L"树", L"name"), L"松树");
    EXPECT_EQ(Get("le.ini", L"树", L"tree"), L"\U0001F332");
    WriteBytes("be.ini", std::string("\xFE\xFF\0[\0s\0]\0\n\0k\0=\x67\x7E", 16));
    EXPECT_EQ(Get("be.ini", L"s", L"k"), L"松");
    WriteBytes("bom.ini", "\xEF\xBB\xBF[s]\nname=\xE6\x88\xBF\xE5\xAD\x90.x\n");
    EXPECT_EQ(Get("bom.ini", L"s", L"name"), L"房子.x");
    WriteBytes("plain.ini", "[s]\nname=\xE6\x88\xBF\xE5\xAD\x90.x\n");
    EXPECT_EQ(Get("plain.ini", L"s", L"name"), L"房子.x");
}

TEST_F(ProfileRead, MalformedTextReadsAsReplacementCharacters) {
    // "保存" in GBK is not UTF-8, the ANSI code page here: each bad byte is one U+FFFD, as
    // MultiByteToWideChar(CP_ACP) reads it.
    WriteBytes("gbk.ini", "[s]\r\ntitle=\xB1\xA3\xB4\xE6\r\n");
    EXPECT_EQ(Get("gbk.ini", L"s", L"title"), L"\uFFFD\uFFFD\uFFFD\uFFFD");
    // An unpaired surrogate and a final odd byte in UTF-16.
    WriteBytes("broken.ini", "\xFF\xFE" + Utf16Le(u"[s]\nk=a") + std::string("\x00\xDC", 2) + Utf16Le(u"b\nz=") + "q");
    EXPECT_EQ(Get("broken.ini", L"s", L"k"), L"a\uFFFDb");
    EXPECT_EQ(Get("broken.ini", L"s", L"z"), L"\uFFFD");
}

TEST_F(ProfileRead, OnlyRegularFilesOfSaneSizeAreRead) {
    ASSERT_EQ(mkfifo((root / "pipe.ini").c_str(), 0600), 0);
    EXPECT_EQ(Get("pipe.ini", L"s", L"k", L"fifo"), L"fifo");  // returns at once: a FIFO is never opened
    fs::create_directory(root / "folder.ini");
    EXPECT_EQ(Get("folder.ini", L"s", L"k", L"folder"), L"folder");
    wchar_t value[8];
    EXPECT_EQ(GetPrivateProfileStringW(L"s", L"k", L"dev", value, 8, L"/dev/zero"), 3u);
    EXPECT_EQ(std::wstring(value), L"dev");
    EXPECT_FALSE(WritePrivateProfileStringW(L"s", L"k", L"v", L"/dev/null"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    // Beyond 16 MiB a file is not read, and not rewritten either.
    fs::path big = root / "big.ini";
    WriteBytes("big.ini", "[s]\nk=v\n");
    fs::resize_file(big, 16 * 1024 * 1024 + 1);
    EXPECT_EQ(Get("big.ini", L"s", L"k", L"huge"), L"huge");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_TOO_LARGE));
    EXPECT_FALSE(Put("big.ini", L"s", L"k", L"w"));
    EXPECT_EQ(fs::file_size(big), 16u * 1024 * 1024 + 1);
}

TEST_F(ProfileRead, PathsGoThroughTheResolver) {
    fs::create_directories(root / "resource/Scene");
    WriteBytes("resource/Scene/3dresource.INI", "[TreeNumber]\r\nnum=3\r\n");
    host::SetResourceFolder((root / "resource").string());
    wchar_t value[8];
    GetPrivateProfileStringW(L"TreeNumber", L"num", L"0", value, 8, L"..\\Resource\\SCENE\\3DResource.ini");
    EXPECT_EQ(std::wstring(value), L"3");
    EXPECT_TRUE(WritePrivateProfileStringW(L"TreeNumber", L"num", L"4", L"..//resource//scene//3DResource.ini"));
    host::SetResourceFolder("");
    EXPECT_EQ(ReadBytes("resource/Scene/3dresource.INI"), "[TreeNumber]\r\nnum=4\r\n");
    EXPECT_EQ(EntryCount(root / "resource/Scene"), 1u);
}

}  // namespace
