#include "settings/SettingsFile.h"

#include "common/FileBytes.h"
#include "common/FileSystem.h"
#include "common/PathText.h"

#include "color/ColorFunctions.h"

#include "common/IniLine.h"
#include "common/Text.h"
#include "settings/SettingsFilePlatform.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace {

TByteOrder ByteOrderOf(TTextEncoding encoding)
{
    return encoding == TTextEncoding::Utf16Be ? TByteOrder::BigEndian : TByteOrder::LittleEndian;
}

class TDocument {
public:
    explicit TDocument(std::string_view text) : FText(text), FLines(SplitLines(text)) {}

    std::size_t Count() const { return FLines.size(); }
    const TTextLine& Line(std::size_t index) const { return FLines[index]; }
    TIniLine Parse(std::size_t index) const
    {
        return ReadIniLine(FText.substr(FLines[index].Begin, FLines[index].TextEnd - FLines[index].Begin),
                           SettingsFileRules);
    }
    std::string_view LineEnd(std::size_t index) const
    {
        return FText.substr(FLines[index].TextEnd, FLines[index].End - FLines[index].TextEnd);
    }
    // New lines follow the file's first line end; CR LF in a file without one.
    std::string_view FileLineEnd() const
    {
        for (std::size_t i = 0; i < Count(); ++i)
            if (!LineEnd(i).empty())
                return LineEnd(i);
        return "\r\n";
    }

    // The header line of the first section of that name, and the end of its
    // body (the next header or the end of the file).
    std::optional<std::pair<std::size_t, std::size_t>> FindSection(std::string_view section) const
    {
        for (std::size_t header = 0; header < Count(); ++header) {
            const TIniLine parsed = Parse(header);
            if (parsed.Kind != TIniLineKind::Section || !EqualsIgnoringAsciiCase(parsed.Name, section))
                continue;
            std::size_t end = header + 1;
            while (end < Count() && Parse(end).Kind != TIniLineKind::Section)
                ++end;
            return std::pair{header, end};
        }
        return std::nullopt;
    }

    std::optional<std::size_t> FindKey(std::pair<std::size_t, std::size_t> section, std::string_view key) const
    {
        for (std::size_t i = section.first + 1; i < section.second; ++i) {
            const TIniLine parsed = Parse(i);
            if (parsed.Kind == TIniLineKind::Key && EqualsIgnoringAsciiCase(parsed.Name, key))
                return i;
        }
        return std::nullopt;
    }

private:
    std::string_view FText;
    std::vector<TTextLine> FLines;
};

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Names that would read back differently, or change the meaning of the
// line, are a fault of the caller.
void CheckNames(std::string_view section, std::string_view key, std::string_view value)
{
    if (section.empty() || TrimIniText(section, SettingsFileRules) != section || HasLineBreak(section)
        || section.find(']') != std::string_view::npos)
        throw Exception("SetSettingsValue: Invalid section name");
    if (key.empty() || TrimIniText(key, SettingsFileRules) != key || HasLineBreak(key)
        || key.find('=') != std::string_view::npos || key.front() == ';' || key.front() == '[')
        throw Exception("SetSettingsValue: Invalid key name");
    if (HasLineBreak(value))
        throw Exception("SetSettingsValue: Line break in value");
}

// --- Files ---

std::string PathText(const TPath& path)
{
    return Utf8FromPath(path);
}

// Nothing when the file is absent or cannot be read.
std::optional<std::string> ReadSettingsBytes(const TPath& file)
{
    if (FileStatus(file).Kind != TFileKind::File)
        return std::nullopt;
    TFileBytes read = ReadFileBytes(file, std::numeric_limits<std::size_t>::max());
    if (read.Status != TFileReadStatus::Read)
        return std::nullopt;
    return std::move(read.Bytes);
}

TPath TemporaryFileBeside(const TPath& file)
{
    thread_local std::mt19937_64 generator{std::random_device{}()};
    constexpr std::string_view digits = "0123456789abcdef";
    std::string suffix = ".";
    std::uint64_t random = generator();
    for (int i = 0; i < 16; ++i, random >>= 4)
        suffix += digits[random & 0xF];
    suffix += ".tmp";
    TPath temporary = file;
    temporary += PathFromUtf8(suffix);
    return temporary;
}

// Removes a temporary file on every way out unless the write completed.
class TTemporaryFile {
public:
    explicit TTemporaryFile(TPath file) : FFile(std::move(file)) {}
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;
    ~TTemporaryFile()
    {
        // Nothing more can be done about a file that will not go.
        if (!FFile.Empty())
            static_cast<void>(RemoveFile(FFile));
    }
    void Keep() { FFile.Clear(); }

private:
    TPath FFile;
};

} // namespace

// --- The text layer ---

TSettingsText DecodeSettingsText(std::string_view bytes)
{
    TSettingsText result;
    const TByteOrderMark mark = ByteOrderMarkOf(bytes);
    std::string_view content = bytes.substr(ByteOrderMarkBytes(mark).size());
    switch (mark) {
    case TByteOrderMark::Utf16Le:
    case TByteOrderMark::Utf16Be:
        result.Encoding = mark == TByteOrderMark::Utf16Le ? TTextEncoding::Utf16Le : TTextEncoding::Utf16Be;
        if (content.size() % 2 != 0) {
            result.OddByte = content.substr(content.size() - 1);
            content.remove_suffix(1);
        }
        // Unpaired surrogates are kept so that the file is written back byte
        // for byte; KeepSurrogates never fails.
        result.Text = *Utf16ToUtf8(Utf16FromBytes(content, ByteOrderOf(result.Encoding)), TInvalidText::KeepSurrogates);
        break;
    case TByteOrderMark::Utf8:
        result.Encoding = TTextEncoding::Utf8WithBom;
        result.Text = content;
        break;
    case TByteOrderMark::None: result.Text = content; break;
    }
    return result;
}

std::string EncodeSettingsText(const TSettingsText& text)
{
    switch (text.Encoding) {
    case TTextEncoding::Utf8: return text.Text;
    case TTextEncoding::Utf8WithBom: return std::string(ByteOrderMarkBytes(TByteOrderMark::Utf8)) + text.Text;
    case TTextEncoding::Utf16Le:
    case TTextEncoding::Utf16Be: {
        const TByteOrderMark mark =
            text.Encoding == TTextEncoding::Utf16Le ? TByteOrderMark::Utf16Le : TByteOrderMark::Utf16Be;
        // Only a caller's value can hold bytes that are not UTF-8; they become
        // U+FFFD. Text decoded from the file always converts back unchanged.
        return std::string(ByteOrderMarkBytes(mark))
               + Utf16ToBytes(*Utf8ToUtf16(text.Text, TInvalidText::KeepSurrogates), ByteOrderOf(text.Encoding))
               + text.OddByte;
    }
    }
    throw Exception("EncodeSettingsText: Unhandled TTextEncoding item");
}

std::optional<std::string> FindSettingsValue(std::string_view text, std::string_view section, std::string_view key)
{
    const TDocument document(text);
    const auto range = document.FindSection(section);
    if (!range)
        return std::nullopt;
    const auto line = document.FindKey(*range, key);
    if (!line)
        return std::nullopt;
    std::string_view value = document.Parse(*line).Value;
    // The profile functions drop one pair of enclosing quotes.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool SettingsSectionExists(std::string_view text, std::string_view section)
{
    return TDocument(text).FindSection(section).has_value();
}

bool SettingsSectionHasKeys(std::string_view text, std::string_view section)
{
    const TDocument document(text);
    const auto range = document.FindSection(section);
    if (!range)
        return false;
    for (std::size_t i = range->first + 1; i < range->second; ++i)
        if (document.Parse(i).Kind == TIniLineKind::Key)
            return true;
    return false;
}

std::string SetSettingsValue(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value)
{
    CheckNames(section, key, value);
    const TDocument document(text);
    const std::string entry = std::string(key) + "=" + std::string(value);
    std::string result(text);

    const auto range = document.FindSection(section);
    if (!range) {
        // A new section goes at the end, after a blank line. Appended lines
        // take the line end of the line before them, so a lone CR there
        // cannot merge with a new LF into one line end.
        const std::size_t count = document.Count();
        std::string lineEnd(count > 0 && !document.LineEnd(count - 1).empty() ? document.LineEnd(count - 1)
                                                                              : document.FileLineEnd());
        if (count > 0) {
            if (document.LineEnd(count - 1).empty())
                result += lineEnd;
            if (document.Parse(count - 1).Kind != TIniLineKind::Blank)
                result += lineEnd;
        }
        result += "[" + std::string(section) + "]" + lineEnd + entry + lineEnd;
        return result;
    }

    if (const auto line = document.FindKey(*range, key)) {
        // The value is replaced in place; the line keeps its indentation, the
        // key's spelling and its line end.
        const std::string_view name = document.Parse(*line).Name;
        const auto nameEnd = static_cast<std::size_t>(name.data() - text.data()) + name.size();
        result.replace(nameEnd, document.Line(*line).TextEnd - nameEnd, "=" + std::string(value));
        return result;
    }

    // A new key goes after the section's last non-blank line, so blank lines
    // that separate it from the next section stay below it.
    std::size_t last = range->first;
    for (std::size_t i = range->first + 1; i < range->second; ++i)
        if (document.Parse(i).Kind != TIniLineKind::Blank)
            last = i;
    const TTextLine& after = document.Line(last);
    if (after.End == after.TextEnd)
        result.insert(after.End, std::string(document.FileLineEnd()) + entry);
    else
        result.insert(after.End, entry + std::string(document.LineEnd(last)));
    return result;
}

// The settings file reads numbers as the color code text does: what the
// program writes (decimal with an optional sign), and hexadecimal after "0x",
// "$" or "x", eight digits with the top bit set being negative ("$FFFFFFFF"
// is -1, as a hand-edited color may be written).
std::optional<std::int32_t> ParseSettingsInteger(std::string_view value)
{
    std::int32_t number = 0;
    if (!TryStrToInt(value, number))
        return std::nullopt;
    return number;
}

TFileOperations SystemFileOperations()
{
    return {SettingsFilePlatform::CreateNewFile, SettingsFilePlatform::WriteAllDurably,
            SettingsFilePlatform::ReplaceAtomically};
}

// --- The file ---

TSettingsFile::TSettingsFile(const TPath& fileName, TFileOperations operations)
    : FFileName(AbsolutePath(fileName)), FOperations(std::move(operations))
{}

std::string TSettingsFile::ReadText() const
{
    const auto bytes = ReadSettingsBytes(FFileName);
    return bytes ? DecodeSettingsText(*bytes).Text : std::string();
}

void TSettingsFile::FailWrite() const
{
    throw ESettingsFile("Unable to write to " + PathText(FFileName));
}

std::string TSettingsFile::ReadString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const
{
    auto value = FindSettingsValue(ReadText(), section, key);
    return value ? std::move(*value) : std::string(defaultValue);
}

std::int32_t TSettingsFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const
{
    const auto value = FindSettingsValue(ReadText(), section, key);
    return value ? ParseSettingsInteger(*value).value_or(defaultValue) : defaultValue;
}

bool TSettingsFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    const auto value = FindSettingsValue(ReadText(), section, key);
    const auto number = value ? ParseSettingsInteger(*value) : std::nullopt;
    return number ? *number != 0 : defaultValue;
}

bool TSettingsFile::SectionExists(std::string_view section) const
{
    return SettingsSectionExists(ReadText(), section);
}

bool TSettingsFile::SectionHasKeys(std::string_view section) const
{
    return SettingsSectionHasKeys(ReadText(), section);
}

std::string TSettingsFile::Text() const
{
    return ReadText();
}

void TSettingsFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    const TSettingsValue one{section, key, std::string(value)};
    WriteValues({&one, 1});
}

// The new content goes to a temporary file beside the settings file, reaches
// the disk, and then replaces the file in one step: a crash or a full disk
// at any moment leaves either the old or the new file, never a truncated one.
void TSettingsFile::WriteValues(std::span<const TSettingsValue> values)
{
    const TFileStatus status = FileStatus(FFileName);
    const bool exists = status.Kind != TFileKind::Missing;
    if (exists && status.Kind != TFileKind::File)
        FailWrite();

    TSettingsText text;
    if (exists) {
        // Content that cannot be read must not be replaced by a file that
        // holds only this one key.
        const auto bytes = ReadSettingsBytes(FFileName);
        if (!bytes)
            FailWrite();
        text = DecodeSettingsText(*bytes);
    }
    for (const TSettingsValue& value : values)
        text.Text = SetSettingsValue(text.Text, value.Section, value.Key, value.Value);
    const std::string bytes = EncodeSettingsText(text);

    // A file marked read-only is never written, also where the account could
    // override the mark (root on POSIX, where a rename would even replace it).
    if (exists && (status.ReadOnly || !SettingsFilePlatform::CanWriteExisting(FFileName)))
        FailWrite();

    const TPath temporary = TemporaryFileBeside(FFileName);
    if (FOperations.CreateNew(temporary)) {
        TTemporaryFile guard(temporary);
        if (!FOperations.WriteAll(temporary, bytes))
            FailWrite();
        if (exists) {
            // The replacement keeps the file's permissions; where they cannot
            // be copied the folder's defaults are still a working file.
            static_cast<void>(SetPermissions(temporary, status));
        }
        if (!FOperations.Replace(temporary, FFileName))
            FailWrite();
        guard.Keep();
        return;
    }

    // The folder refuses new files (a protected program folder holding a
    // writable settings file): the file itself is the only place left.
    if (!exists || !FOperations.WriteAll(FFileName, bytes))
        FailWrite();
}

void TSettingsFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    WriteString(section, key, std::to_string(value));
}

void TSettingsFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}
