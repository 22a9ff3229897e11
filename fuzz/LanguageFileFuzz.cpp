// libFuzzer target: any bytes either load as a language file or fail with
// ELanguageFile; every lookup gives valid, trimmed UTF-8.

#include "i18n/LanguageSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckLookup(const TLanguageFile& file, std::string_view section, std::string_view key)
{
    const std::string value = file.ReadString(section, key);
    Check(DecodeUtf8(value).has_value());
    Check(value.empty()
          || (static_cast<unsigned char>(value.front()) > 0x20 && static_cast<unsigned char>(value.back()) > 0x20));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const TLanguageFile file = TLanguageFile::FromBytes(bytes);
        CheckLookup(file, "FileInfo", "Id");
        CheckLookup(file, "FileInfo", "Abbr");
        // Names taken from the input itself reach sections and keys the
        // fixed names above never would.
        const std::size_t split = size / 3;
        CheckLookup(file, bytes.substr(0, split / 2), bytes.substr(split / 2, split - split / 2));
        // Undecodable input as the section: the lookup must still be safe.
        CheckLookup(file, "S", bytes.substr(0, 8));
    } catch (const ELanguageFile&) {
    }
    return 0;
}
