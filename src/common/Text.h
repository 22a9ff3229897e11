#pragma once

// Text helpers of the portable core: UTF-8 and UTF-16, byte-order marks,
// trimming, case-blind comparison and line splitting. No windows.h: the Win32
// boundary has its own pair of converters in common/Win32.h.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

// What a conversion does with input that is not valid Unicode text.
enum class TInvalidText {
    // The whole conversion fails.
    Refuse,
    // Each byte or UTF-16 unit that starts no valid character becomes U+FFFD.
    Replace,
    // Unpaired surrogates pass through, in UTF-8 in their three-byte form, so
    // any UTF-16 unit sequence converts to UTF-8 and back unchanged. Other
    // invalid UTF-8 bytes become U+FFFD.
    KeepSurrogates,
};

enum class TByteOrder { LittleEndian, BigEndian };

// Appends the UTF-8 form of codePoint; a surrogate gets its three-byte form.
void AppendUtf8(std::string& out, char32_t codePoint);

// Strict UTF-8: no overlong forms, no encoded surrogates, nothing above
// U+10FFFF, no sequence cut off at the end.
bool IsValidUtf8(std::string_view text);
// The text with each byte that starts no valid UTF-8 sequence replaced by
// U+FFFD; valid text comes back unchanged.
std::string SanitizedUtf8(std::string_view bytes);
// Every byte is the character of the same number.
std::string Latin1ToUtf8(std::string_view bytes);

// Nothing only with TInvalidText::Refuse.
std::optional<std::u16string> Utf8ToUtf16(std::string_view text, TInvalidText invalid);
std::optional<std::string> Utf16ToUtf8(std::u16string_view units, TInvalidText invalid);

// The units of UTF-16 bytes; an odd last byte is left to the caller, whose
// rules for it differ.
std::u16string Utf16FromBytes(std::string_view bytes, TByteOrder order);
std::string Utf16ToBytes(std::u16string_view units, TByteOrder order);

enum class TByteOrderMark { None, Utf8, Utf16Le, Utf16Be };

// The mark at the start of bytes. FF FE 00 00 (UTF-32 LE) reads as UTF-16 LE,
// as the Windows text functions read it.
TByteOrderMark ByteOrderMarkOf(std::string_view bytes);
// The bytes of the mark; empty for None.
std::string_view ByteOrderMarkBytes(TByteOrderMark mark);

// Without leading and trailing characters up to U+0020: the space and every
// control character.
std::string_view Trim(std::string_view text);
// Without leading and trailing characters of blanks.
std::string_view Trim(std::string_view text, std::string_view blanks);

char AsciiLower(char c);
// Only the basic Latin letters fold: the names compared are English words,
// and a fixed rule keeps the result independent of the user's locale.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
// The order in which Windows lists a folder: letters compared as capitals,
// everything else by its code (so "_" follows "Z", as it does in a folder
// listing, and "czech" sorts beside "Czech"). Names equal but for case keep
// a byte-wise order, so the result is one order everywhere.
bool LessIgnoringAsciiCase(std::string_view a, std::string_view b);

struct TTextLine {
    std::size_t Begin;   // first byte of the line
    std::size_t TextEnd; // first byte of its line end
    std::size_t End;     // first byte after its line end
};

// Lines end at CR LF, a lone LF or a lone CR. A line break at the very end
// starts no further line, and an empty text has no lines.
std::vector<TTextLine> SplitLines(std::string_view text);
// The line that starts at begin (less than the text's size). Walking a large
// text line by line with it needs no list of all its lines.
TTextLine LineAt(std::string_view text, std::size_t begin);
