// Feeds arbitrary bytes to StrToColor under every assumed format and checks
// what the clipboard paste relies on: no exception, a valid result is a color
// and reads back from its own code, an invalid one is 0x1FFFFFFF, and only a
// prefix changes the format.
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc \
//       src/color/ColorFunctions.cpp src/color/StringFunctions.cpp \
//       fuzz/StrToColorFuzz.cpp -o StrToColorFuzz

#include "color/ColorFunctions.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "StrToColor invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int assumed = ccfHTMLCSS; assumed <= ccfWindowsColorReference; ++assumed) {
        auto format = static_cast<TColorCodeFormat>(assumed);
        bool valid = false;
        bool hasPrefix = false;
        const TColor color = StrToColor(text, format, valid, hasPrefix);

        Check(format <= ccfWindowsColorReference, "format out of range");
        Check(hasPrefix ? format <= ccfVisualBasic : format == assumed, "format changed without a prefix");
        if (!valid) {
            Check(color == InvalidColor, "invalid text did not give 0x1FFFFFFF");
            continue;
        }
        Check(color >= 0 && color <= 0xFFFFFF, "valid result outside 0..0xFFFFFF");

        for (const bool uppercase : {true, false}) {
            for (const bool withPrefix : {true, false}) {
                const std::string code = ColorToStr(color, format, uppercase, withPrefix);
                TColorCodeFormat readFormat = format;
                bool readValid = false;
                bool readPrefix = false;
                const TColor readBack = StrToColor(code, readFormat, readValid, readPrefix);
                Check(readValid && readBack == color && readFormat == format, "code does not read back");
            }
        }
    }
    return 0;
}
