#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Wsprintf, LowercaseSIsWideAndUppercaseSIsNarrow) {
    WCHAR buffer[1024];
    EXPECT_EQ(wsprintfW(buffer, L"%s and %S", L"wide", "narrow"), 15);
    EXPECT_STREQ(buffer, L"wide and narrow");
    wsprintfW(buffer, L"[%hs|%ls|%hS|%lS]", "h", L"l", "H", L"L");
    EXPECT_STREQ(buffer, L"[h|l|H|L]");
    wsprintfW(buffer, L"%s帧 %S", L"载入", "\xE4\xB8\xAD");  // narrow text is UTF-8
    EXPECT_STREQ(buffer, L"载入帧 中");
    wsprintfW(buffer, L"%c%C%lc%hc", L'字', 'b', L'c', 'd');
    EXPECT_STREQ(buffer, L"字bcd");
    wsprintfW(buffer, L"%s", static_cast<const wchar_t*>(nullptr));
    EXPECT_STREQ(buffer, L"(null)");
}

TEST(Wsprintf, IntegersWithWidthsFlagsAndPrecision) {
    WCHAR buffer[1024];
    wsprintfW(buffer, L"[%5d][%-5d][%05d][%.3d]", 42, 42, -42, 7);
    EXPECT_STREQ(buffer, L"[   42][42   ][-0042][007]");
    wsprintfW(buffer, L"%u %i %x %X %#x %#X %08X", -1, -3, 255, 255, 255, 0xAB, 0xBEEFu);
    EXPECT_STREQ(buffer, L"4294967295 -3 ff FF 0xff 0XAB 0000BEEF");
    LONG negative = -7;
    DWORD large = 4000000000u;
    wsprintfW(buffer, L"%ld %lu %lx %hd %hu", negative, large, large, 70000, 70000);
    EXPECT_STREQ(buffer, L"-7 4000000000 ee6b2800 4464 4464");
    wsprintfW(buffer, L"%I64d %I64u", -(1LL << 40), 1ULL << 63);
    EXPECT_STREQ(buffer, L"-1099511627776 9223372036854775808");
    wsprintfW(buffer, L"%d%%", 60);
    EXPECT_STREQ(buffer, L"60%");
}

TEST(Wsprintf, StringsHonourWidthAndPrecision) {
    WCHAR buffer[1024];
    wsprintfW(buffer, L"[%6s][%-6s][%.2s][%8.3S]", L"ab", L"ab", L"abcdef", "abcdef");
    EXPECT_STREQ(buffer, L"[    ab][ab    ][ab][     abc]");
}

TEST(Wsprintf, HasNoFloatingPointConversions) {
    WCHAR buffer[1024];
    // The letter comes out as it stands and no argument is taken for it.
    wsprintfW(buffer, L"%f|%d", 7);
    EXPECT_STREQ(buffer, L"f|7");
}

TEST(Wsprintf, OutputStopsAt1024CharactersWithTheTerminator) {
    std::wstring longText(2000, L'x');
    std::vector<WCHAR> buffer(1100, L'#');
    EXPECT_EQ(wsprintfW(buffer.data(), L"ab%s", longText.c_str()), 1023);
    EXPECT_EQ(buffer[0], L'a');
    EXPECT_EQ(buffer[1022], L'x');
    EXPECT_EQ(buffer[1023], L'\0');
    EXPECT_EQ(buffer[1024], L'#');
}

TEST(Wsprintf, NullBufferOrFormatDoesNotCrash) {
    WCHAR buffer[16] = L"abc";
    EXPECT_EQ(wsprintfW(nullptr, L"%d", 1), 0);
    EXPECT_EQ(wsprintfW(buffer, nullptr), 0);
    EXPECT_STREQ(buffer, L"");
    EXPECT_EQ(wsprintfW(buffer, L"trailing %"), 9);
    EXPECT_STREQ(buffer, L"trailing ");
}

// A field wider than the whole output (found by the fuzzer: 1.6 trillion) fills what the
// output can hold and no more; it neither allocates its width nor wraps around.
TEST(Wsprintf, HugeWidthOrPrecisionFillsOnlyTheOutput) {
    std::vector<WCHAR> buffer(1024);
    EXPECT_EQ(wsprintfW(buffer.data(), L"%1601160100000x", 255), 1023);
    EXPECT_EQ(std::wstring(buffer.data()), std::wstring(1023, L' '));
    EXPECT_EQ(wsprintfW(buffer.data(), L"ab%.99999999999999999999999d", 7), 1023);
    EXPECT_EQ(std::wstring(buffer.data()), L"ab" + std::wstring(1021, L'0'));
    EXPECT_EQ(wsprintfW(buffer.data(), L"%.18446744073709551617s|", L"text"), 5);
    EXPECT_STREQ(buffer.data(), L"text|");
}
}  // namespace
