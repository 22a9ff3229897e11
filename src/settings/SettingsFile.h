#pragma once

// The settings file "VeskColorPicker.ini": reads and writes with the
// semantics of the Windows profile functions (GetPrivateProfileStringW,
// WritePrivateProfileStringW), implemented here so they are portable and
// tested on any platform. Every access opens the file, works and closes it;
// nothing is cached.

#include "common/Exception.h"
#include "common/Path.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A write that did not reach the disk. The message is "Unable to write to "
// and the file's full path; the file keeps its previous content.
class ESettingsFile : public Exception {
public:
    using Exception::Exception;
};

// --- The text layer: pure functions on the file's content ---

enum class TTextEncoding { Utf8, Utf8WithBom, Utf16Le, Utf16Be };

// A settings file decoded for editing. Text is UTF-8; UTF-16 is decoded
// without loss (an unpaired surrogate keeps its three-byte form), so a file
// is written back byte for byte except for the line that changed.
struct TSettingsText {
    TTextEncoding Encoding = TTextEncoding::Utf8;
    std::string Text;
    // The odd last byte of a UTF-16 file, kept to be written back.
    std::string OddByte;
};

// By the byte-order mark; a file without one is taken as 8-bit text.
// Both take their argument by value: moved in, a file's bytes become its text
// without a copy.
TSettingsText DecodeSettingsText(std::string bytes);
std::string EncodeSettingsText(TSettingsText text);

// A key of a section.
struct TSettingsName {
    std::string_view Section;
    std::string_view Key;
};

// One key to write and its value.
struct TSettingsValue {
    std::string_view Section;
    std::string_view Key;
    std::string Value;
};

// Each of these reads the text once, however many names it is given.
std::optional<std::string> FindSettingsValue(std::string_view text, std::string_view section, std::string_view key);
struct TFoundSetting {
    std::optional<std::string> Value; // nothing when the key is absent
    bool SectionHasKeys = false;      // the key's section holds any key at all
};
// At the index of each name.
std::vector<TFoundSetting> FindSettingsValues(std::string_view text, std::span<const TSettingsName> names);
bool SettingsSectionExists(std::string_view text, std::string_view section);
bool SettingsSectionHasKeys(std::string_view text, std::string_view section);
// The text with key set to value. Throws Exception for a name or value that
// would break the file's line structure.
std::string SetSettingsValue(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value);
// The text with every value set, exactly as SetSettingsValue applied to each
// in turn would leave it, in one pass. Throws before any change when one of
// them is refused.
std::string SetSettingsValues(std::string_view text, std::span<const TSettingsValue> values);

// Decimal with an optional sign, or hexadecimal after "0x", "0X", "$", "x" or
// "X"; nothing for any other text and for values outside 32 bits.
std::optional<std::int32_t> ParseSettingsInteger(std::string_view value);

// --- The file ---

// A settings file larger than this is not read: it reads as no file and is
// never written, so it is not replaced by a copy the program made of it.
// The program's own keys take a few hundred bytes; reading a file of
// gigabytes at every start and rewriting it at every close would look like
// a hang and could exhaust the memory. A write whose result would be larger
// is refused, so the program never writes a file it would not read again.
inline constexpr std::size_t MaxSettingsFileSize = 64u * 1024u * 1024u;

// How long a write that others keep from happening (a reader without delete
// sharing, a virus scanner, another instance replacing the file just then)
// is tried again, in milliseconds, doubling from the first pause. Each try
// reads the file anew, so what the other wrote is kept.
inline constexpr unsigned ReplaceRetryFirstPause = 10;
inline constexpr unsigned ReplaceRetryTotal = 1000;

// Temporary files of saves that were cut off (the program was killed, the
// machine lost power) are removed by a later save once they are this old, in
// seconds, and nobody has them open.
inline constexpr std::uint32_t StaleTemporaryFileAge = 600;

// The file-system steps of a write. SystemFileOperations() gives the real
// ones; a test replaces one step to make it fail at a chosen moment.
struct TFileOperations {
    // Creates an empty file that must not exist yet; false when the folder
    // refuses it.
    std::function<bool(const TPath& file)> CreateNew;
    // Replaces the content of an existing file and flushes it to the disk.
    std::function<bool(const TPath& file, std::string_view bytes)> WriteAll;
    // Moves from onto to in one step, replacing to.
    std::function<bool(const TPath& from, const TPath& to)> Replace;
    // Moves from to the name to, which must not exist: false when a file of
    // that name has come meanwhile, which is then left as it is.
    std::function<bool(const TPath& from, const TPath& to)> MoveNew;
    // Gives an existing file the new content in place, where no new file can
    // be made beside it: either the new content is complete on the disk, or
    // the old content is left as it was.
    std::function<bool(const TPath& file, std::string_view bytes)> WriteInPlace;
    // Waits between two tries of a replace.
    std::function<void(unsigned milliseconds)> Pause;
};

// The in-place write of SystemFileOperations(). The file first grows to its
// new size with the new content's tail, so a full disk refuses the write
// before a byte of the old content has changed; only then is the rest
// written over the old content, in space the file already owns. Should
// that fail all the same, the old content is written back.
bool WriteSettingsInPlace(const TPath& file, std::string_view bytes);

TFileOperations SystemFileOperations();

class TSettingsFile {
public:
    explicit TSettingsFile(const TPath& fileName, TFileOperations operations = SystemFileOperations());

    // The absolute path, as error messages show it.
    const TPath& FileName() const { return FFileName; }

    // Where the file is made instead when it does not exist and its folder
    // takes no new file; that file's folder is made as well.
    void SetFallback(const TPath& fileName) { FFallback = fileName; }

    // A file that is absent or cannot be read gives the defaults.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    bool SectionExists(std::string_view section) const;
    bool SectionHasKeys(std::string_view section) const;
    // The whole decoded text, for reading many keys from one read.
    std::string Text() const;

    // Each write reaches the disk before it returns, or throws ESettingsFile.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    // Many keys in one write, as if written one after the other: either all
    // of them reach the disk or the file stays as it was.
    void WriteValues(std::span<const TSettingsValue> values);

private:
    enum class TWriteResult { Written, HeldOff, Refused, NoNewFile };
    TWriteResult TryWriteValues(std::span<const TSettingsValue> values);
    std::string ReadText() const;
    [[noreturn]] void FailWrite() const;

    TPath FFileName;
    TFileOperations FOperations;
    TPath FFallback;
};
