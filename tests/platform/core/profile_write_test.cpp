#include <windows.h>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cwchar>
#include <string>

#include "profile_test_files.h"

namespace {

using profile_test::ProfileFiles;
using profile_test::Utf16Le;
namespace fs = std::filesystem;
using ProfileWrite = ProfileFiles;

TEST_F(ProfileWrite, CreatesTheFileThenSectionsAndKeys) {
    ASSERT_TRUE(Put("scene.ini", L"3DSNumber", L"num", L"1"));
    EXPECT_EQ(ReadBytes("scene.ini"), "[3DSNumber]\r\nnum=1\r\n");
    ASSERT_TRUE(Put("scene.ini", L"3DS0", L"path", L"..\\Resource\\House\\"));
    ASSERT_TRUE(Put("scene.ini", L" 3dsnumber ", L" count ", L"5"));
    EXPECT_EQ(ReadBytes("scene.ini"), "[3DSNumber]\r\nnum=1\r\ncount=5\r\n[3DS0]\r\npath=..\\Resource\\House\\\r\n");

    EXPECT_FALSE(Put("missing/scene.ini", L"s", L"k", L"v"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(ProfileWrite, ReplacesAValueInPlaceAndKeepsEveryOtherByte) {
    WriteBytes("scene.ini",
               "; scene saved by hand\n"
               "[3DSNumber]\n"
               "num=2\n"
               "\n"
               "[3DS0]\n"
               "name = house.x \n"
               "size = 0.1f   \n"
               "; the well\n"
               "[3DS1]\n"
               "a line without equals\n"
               "size=0.2");
    ASSERT_TRUE(Put("scene.ini", L"3DS0", L"SIZE", L"0.500000"));
    ASSERT_TRUE(Put("scene.ini", L"3DS0", L"posy", L"1.000000"));
    ASSERT_TRUE(Put("scene.ini", L"3DS1", L"posx", L"3.000000"));
    ASSERT_TRUE(Put("scene.ini", L"3DSNumber", L"num", L"3"));
    EXPECT_EQ(ReadBytes("scene.ini"),
              "; scene saved by hand\n"
              "[3DSNumber]\n"
              "num=3\n"
              "\n"
              "[3DS0]\n"
              "name = house.x \n"
              "size = 0.500000\n"
              "posy=1.000000\n"
              "; the well\n"
              "[3DS1]\n"
              "a line without equals\n"
              "size=0.2\n"
              "posx=3.000000\n");

    WriteBytes("open.ini", "[s]\r\na=1");
    ASSERT_TRUE(Put("open.ini", L"t", L"k", L"v"));
    EXPECT_EQ(ReadBytes("open.ini"), "[s]\r\na=1\r\n[t]\r\nk=v\r\n");
}

TEST_F(ProfileWrite, NullValueDeletesTheKeyAndNullKeyTheSection) {
    WriteBytes("scene.ini", "[a]\r\nx=1\r\ny=2\r\n; about b\r\n[b]\r\nz=3\r\n\r\n[c]\r\nw=4\r\n");
    ASSERT_TRUE(Put("scene.ini", L"A", L"x", nullptr));
    ASSERT_TRUE(Put("scene.ini", L"b", nullptr, nullptr));
    EXPECT_EQ(ReadBytes("scene.ini"), "[a]\r\ny=2\r\n; about b\r\n[c]\r\nw=4\r\n");

    EXPECT_TRUE(Put("scene.ini", L"a", L"absent", nullptr));
    EXPECT_EQ(ReadBytes("scene.ini"), "[a]\r\ny=2\r\n; about b\r\n[c]\r\nw=4\r\n");
    EXPECT_TRUE(Put("absent.ini", L"a", nullptr, nullptr));
    EXPECT_FALSE(fs::exists(root / "absent.ini"));
}

TEST_F(ProfileWrite, TextThatWouldNotReadBackIsRefused) {
    const std::string original = "[s]\r\nk=1\r\n";
    WriteBytes("scene.ini", original);
    EXPECT_FALSE(Put("scene.ini", L"s", L"k", L"1\r\n[evil]"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(Put("scene.ini", L"s", L"a=b", L"1"));
    EXPECT_FALSE(Put("scene.ini", L"s", L";k", L"1"));
    EXPECT_FALSE(Put("scene.ini", L"s", L"[k", L"1"));
    EXPECT_FALSE(Put("scene.ini", L"s]x", L"k", L"1"));
    EXPECT_FALSE(WritePrivateProfileStringW(L"s", L"k", L"1", nullptr));
    EXPECT_EQ(ReadBytes("scene.ini"), original);
}

TEST_F(ProfileWrite, EachEncodingIsWrittenBackAsItWas) {
    const std::string le = "\xFF\xFE";
    WriteBytes("le.ini", le + Utf16Le(u"[Tree0]\r\nposx=1.000000\r\n"));
    ASSERT_TRUE(Put("le.ini", L"Tree0", L"posx", L"2.500000"));
    ASSERT_TRUE(Put("le.ini", L"Tree0", L"name", L"松树\U0001F332"));
    EXPECT_EQ(ReadBytes("le.ini"),
              le + Utf16Le(u"[Tree0]\r\nposx=2.500000\r\nname=松树") + "\x3C\xD8\x32\xDF" + Utf16Le(u"\r\n"));
    EXPECT_EQ(Get("le.ini", L"Tree0", L"name"), L"松树\U0001F332");

    WriteBytes("bom.ini", "\xEF\xBB\xBF[3DS0]\r\nname=house.x\r\n");
    ASSERT_TRUE(Put("bom.ini", L"3DS0", L"name", L"房子.x"));
    EXPECT_EQ(ReadBytes("bom.ini"), "\xEF\xBB\xBF[3DS0]\r\nname=\xE6\x88\xBF\xE5\xAD\x90.x\r\n");
    EXPECT_EQ(Get("bom.ini", L"3DS0", L"name"), L"房子.x");

    // A new file is written in the ANSI code page, which is UTF-8 here, without a mark.
    ASSERT_TRUE(Put("plain.ini", L"3DS0", L"name", L"房子.x"));
    EXPECT_EQ(ReadBytes("plain.ini"), "[3DS0]\r\nname=\xE6\x88\xBF\xE5\xAD\x90.x\r\n");
    EXPECT_EQ(Get("plain.ini", L"3DS0", L"name"), L"房子.x");

    // Bytes that are not UTF-8 ("保存" in GBK) stay exactly as they were in lines not rewritten.
    WriteBytes("ansi.ini", "; \xB1\xA3\xB4\xE6\r\n[s]\r\ntitle=\xB1\xA3\xB4\xE6\r\n");
    ASSERT_TRUE(Put("ansi.ini", L"s", L"name", L"房子"));
    EXPECT_EQ(ReadBytes("ansi.ini"), "; \xB1\xA3\xB4\xE6\r\n[s]\r\ntitle=\xB1\xA3\xB4\xE6\r\nname=\xE6\x88\xBF\xE5\xAD\x90\r\n");
    EXPECT_EQ(Get("ansi.ini", L"s", L"name"), L"房子");
}

TEST_F(ProfileWrite, NumbersFormattedWithPercentFReadBackAsTheSameText) {
    const float values[] = {0.1f, -1024.5f, 10000000.0f};
    const wchar_t* texts[] = {L"0.100000", L"-1024.500000", L"10000000.000000"};
    for (int i = 0; i < 3; ++i) {
        wchar_t text[32];
        std::swprintf(text, 32, L"%f", values[i]);
        ASSERT_TRUE(Put("scene.ini", L"3DS0", L"size", text));
        EXPECT_EQ(Get("scene.ini", L"3DS0", L"size"), texts[i]);
        EXPECT_EQ(std::wcstof(Get("scene.ini", L"3DS0", L"size").c_str(), nullptr), values[i]);
    }
    EXPECT_EQ(ReadBytes("scene.ini"), "[3DS0]\r\nsize=10000000.000000\r\n");
}

TEST_F(ProfileWrite, FailedWriteReturnsFalseAndLeavesTheOldFile) {
    fs::create_directory(root / "folder.ini");
    EXPECT_FALSE(Put("folder.ini", L"s", L"k", L"v"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(fs::is_directory(root / "folder.ini"));

    ASSERT_EQ(mkfifo((root / "pipe.ini").c_str(), 0600), 0);
    EXPECT_FALSE(Put("pipe.ini", L"s", L"k", L"v"));
    EXPECT_TRUE(fs::is_fifo(root / "pipe.ini"));

    // The disk refuses the new bytes half way (a file size limit works even for root).
    const std::string original = "[s]\r\nk=1\r\n";
    WriteBytes("scene.ini", original);
    rlimit previous;
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = original.size() + 2;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    BOOL written = Put("scene.ini", L"s", L"k", L"123456");
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_TOO_LARGE));
    EXPECT_EQ(ReadBytes("scene.ini"), original);
    EXPECT_EQ(EntryCount(root), 3u);  // no temporary file left behind

    if (geteuid() != 0) {  // root writes into read-only folders anyway
        fs::permissions(root, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        EXPECT_FALSE(Put("scene.ini", L"s", L"k", L"2"));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(ReadBytes("scene.ini"), original);
    }
}

TEST_F(ProfileWrite, PermissionsAndSymbolicLinksAreKept) {
    WriteBytes("real.ini", "[s]\nk=1\n");
    fs::permissions(root / "real.ini", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real.ini", root / "link.ini");
    ASSERT_TRUE(Put("link.ini", L"s", L"k", L"2"));
    EXPECT_TRUE(fs::is_symlink(root / "link.ini"));
    EXPECT_EQ(ReadBytes("real.ini"), "[s]\nk=2\n");
    EXPECT_EQ(fs::status(root / "real.ini").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
