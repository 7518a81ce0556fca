// strsafe.h's functions: a destination is never overrun and always terminated, a result that
// does not fit says so, and the printf forms read formats the SDK's way.
#include <gtest/gtest.h>
#include <strsafe.h>
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "win32/wide_text.h"

namespace {

TEST(StrsafeCopyAndCat, TextThatFitsIsCopiedWhole) {
  char dest[8];
  EXPECT_EQ(StringCchCopyA(dest, ARRAYSIZE(dest), "seven.."), S_OK);
  EXPECT_STREQ(dest, "seven..");
  EXPECT_EQ(StringCchCopyA(dest, ARRAYSIZE(dest), "abc"), S_OK);
  EXPECT_EQ(StringCchCatA(dest, ARRAYSIZE(dest), "defg"), S_OK);
  EXPECT_STREQ(dest, "abcdefg");
  wchar_t wide[8];
  EXPECT_EQ(StringCbCopyW(wide, sizeof(wide), L"\u00e9t\u00e9"), S_OK);  // bytes, whatever wchar_t's width
  EXPECT_EQ(StringCbCatW(wide, sizeof(wide), L"!"), S_OK);
  EXPECT_STREQ(wide, L"\u00e9t\u00e9!");
}

TEST(StrsafeCopyAndCat, TextThatDoesNotFitIsCutTerminatedAndSaysSo) {
  char dest[8];
  std::memset(dest, 'x', sizeof dest);
  EXPECT_EQ(StringCchCopyA(dest, ARRAYSIZE(dest), "eight..."), STRSAFE_E_INSUFFICIENT_BUFFER);
  EXPECT_STREQ(dest, "eight..");
  EXPECT_EQ(StringCchCopyA(dest, ARRAYSIZE(dest), "abcde"), S_OK);
  EXPECT_EQ(StringCchCatA(dest, ARRAYSIZE(dest), "fghij"), STRSAFE_E_INSUFFICIENT_BUFFER);
  EXPECT_STREQ(dest, "abcdefg");
  EXPECT_EQ(StringCchCopyNA(dest, ARRAYSIZE(dest), "abcdefgh", 3), S_OK);
  EXPECT_STREQ(dest, "abc");
  wchar_t wide[4];
  EXPECT_EQ(StringCchCopyW(wide, ARRAYSIZE(wide), L"wider"), STRSAFE_E_INSUFFICIENT_BUFFER);
  EXPECT_STREQ(wide, L"wid");
  EXPECT_EQ(StringCbCopyW(wide, 2 * sizeof(wchar_t), L"ab"), STRSAFE_E_INSUFFICIENT_BUFFER);
  EXPECT_STREQ(wide, L"a");
}

TEST(StrsafeCopyAndCat, ImpossibleSizesAndUnterminatedDestinationsAreRefused) {
  char dest[4] = {'k', 'e', 'e', 'p'};
  EXPECT_EQ(StringCchCopyA(dest, 0, "x"), STRSAFE_E_INVALID_PARAMETER);
  EXPECT_EQ(dest[0], 'k');  // nothing written: there was no room even for the terminator
  // Appending needs the destination's end: four characters and no terminator have none.
  EXPECT_EQ(StringCchCatA(dest, ARRAYSIZE(dest), "x"), STRSAFE_E_INVALID_PARAMETER);
  EXPECT_EQ(std::memcmp(dest, "keep", 4), 0);
  EXPECT_EQ(StringCchCopyA(dest, size_t(STRSAFE_MAX_CCH) + 1, "x"), STRSAFE_E_INVALID_PARAMETER);
  EXPECT_EQ(dest[0], '\0');
  EXPECT_EQ(StringCchCopyA(nullptr, 4, "x"), STRSAFE_E_INVALID_PARAMETER);
  size_t length = 99;
  EXPECT_EQ(StringCchLengthA("abc", 4, &length), S_OK);
  EXPECT_EQ(length, 3u);
  EXPECT_EQ(StringCchLengthA("abcd", 4, &length), STRSAFE_E_INVALID_PARAMETER);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(StringCbLengthW(L"abc", 4 * sizeof(wchar_t), &length), S_OK);
  EXPECT_EQ(length, 3 * sizeof(wchar_t));
}

TEST(StrsafePrintf, FormatsAreReadAsTheSdkReadsThem) {
  wchar_t wide[64];
  // In a W function %s is a wide string, %S and %hs narrow ones; %c likewise.
  EXPECT_EQ(StringCchPrintfW(wide, ARRAYSIZE(wide), L"%s|%S|%hs|%ls|%c|%C", L"w\u00e9", "n", "h", L"l", L'c', 'C'),
            S_OK);
  EXPECT_STREQ(wide, L"w\u00e9|n|h|l|c|C");
  char narrow[64];
  // In an A function %s is narrow and %S wide; I64 is a 64-bit size.
  EXPECT_EQ(StringCchPrintfA(narrow, ARRAYSIZE(narrow), "%s %S %I64d %5.1f%%", "a", L"b", 1234567890123LL, 2.25),
            S_OK);
  EXPECT_STREQ(narrow, "a b 1234567890123   2.2%");
  EXPECT_EQ(StringCbPrintfA(narrow, 6, "%d", 1234567), STRSAFE_E_INSUFFICIENT_BUFFER);
  EXPECT_STREQ(narrow, "12345");
  EXPECT_EQ(StringCchPrintfW(wide, 5, L"%s", L"longer than four"), STRSAFE_E_INSUFFICIENT_BUFFER);
  EXPECT_STREQ(wide, L"long");
  // Text far longer than the first buffer the wide form tries is still whole when it fits.
  std::wstring big(3000, L'z');
  static wchar_t large[4000];
  EXPECT_EQ(StringCchPrintfW(large, ARRAYSIZE(large), L"<%s>", big.c_str()), S_OK);
  EXPECT_EQ(std::wcslen(large), 3002u);
}

TEST(WideText, ConvertsBothWaysAndReplacesWhatIsNotText) {
  EXPECT_EQ(KvrUtf8FromWide(L"a\u00e9\u20ac\U0001F600"), "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80");
  EXPECT_EQ(KvrWideFromUtf8("a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"), L"a\u00e9\u20ac\U0001F600");
  // A surrogate pair, as text made for a 16-bit wchar_t carries it, is one character.
  const wchar_t pair[] = {wchar_t(0xD83D), wchar_t(0xDE00), 0};
  EXPECT_EQ(KvrUtf8FromWide(pair), "\xf0\x9f\x98\x80");
  // Bytes that are not UTF-8 (a lone continuation, an overlong form, a cut sequence) and a lone
  // surrogate each become U+FFFD.
  EXPECT_EQ(KvrWideFromUtf8("\x80"
                            "a\xc0\xaf"
                            "b\xe2\x82"),
            L"\uFFFDa\uFFFD\uFFFDb\uFFFD\uFFFD");
  const wchar_t lone[] = {wchar_t(0xDC00), L'x', 0};
  EXPECT_EQ(KvrUtf8FromWide(lone), "\xef\xbf\xbdx");
  EXPECT_EQ(KvrUtf8FromWide(nullptr), "");
}

}  // namespace
