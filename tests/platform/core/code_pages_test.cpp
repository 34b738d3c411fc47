#include <windows.h>
#include <gtest/gtest.h>

namespace {

const char kLoadingUtf8[] = "\xE8\xBD\xBD\xE5\x85\xA5";  // "载入"

TEST(MultiByteToWideChar, MeasuresAndConvertsChineseText) {
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kLoadingUtf8, -1, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, kLoadingUtf8, 6, nullptr, 0), 2);

    WCHAR wide[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kLoadingUtf8, -1, wide, 4), 3);
    EXPECT_EQ(wide[0], 0x8F7D);
    EXPECT_EQ(wide[1], 0x5165);
    EXPECT_EQ(wide[2], L'\0');

    WCHAR unterminated[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, kLoadingUtf8, 3, unterminated, 4), 1);
    EXPECT_EQ(unterminated[0], 0x8F7D);
    EXPECT_EQ(unterminated[1], L'#');
}

TEST(MultiByteToWideChar, FailsOnSmallBuffersAndBadArguments) {
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kLoadingUtf8, -1, wide, 2), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 0, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, -1), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(42, 0, "abc", -1, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "abc", -1, wide, 8), 0);
}

TEST(MultiByteToWideChar, InvalidBytesAreReplacedUnlessTheCallerAsksForErrors) {
    const char broken[] = "a\xFF" "b";
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, broken, -1, wide, 8), 4);
    EXPECT_EQ(wide[1], 0xFFFD);
    EXPECT_EQ(wide[2], L'b');
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, broken, -1, wide, 8), 0);
    const char overlongSlash[] = "\xC0\xAF";
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, overlongSlash, -1, wide, 8), 0);
    const char encodedSurrogate[] = "\xED\xA0\x80";
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, encodedSurrogate, -1, wide, 8), 0);
    const char grinningFace[] = "\xF0\x9F\x98\x80";  // one wide character, as wchar_t is 32-bit here
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, grinningFace, 4, wide, 8), 1);
    EXPECT_EQ(wide[0], static_cast<WCHAR>(0x1F600));
}

TEST(WideCharToMultiByte, MeasuresConvertsAndChecksArguments) {
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"载入", -1, nullptr, 0, nullptr, nullptr), 7);
    char narrow[8];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"载入", -1, narrow, 8, nullptr, nullptr), 7);
    EXPECT_STREQ(narrow, kLoadingUtf8);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"载入", -1, narrow, 6, nullptr, nullptr), 0);

    BOOL usedDefault = TRUE;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"a", -1, narrow, 8, nullptr, &usedDefault), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"a", -1, narrow, 8, "?", &usedDefault), 2);
    EXPECT_FALSE(usedDefault);
    const wchar_t loneSurrogate[] = {0xD800, 0};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, loneSurrogate, -1, narrow, 8, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, nullptr, -1, narrow, 8, nullptr, nullptr), 0);
}

}  // namespace
