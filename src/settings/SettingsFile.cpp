#include "settings/SettingsFile.h"

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <limits>
#include <random>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

// The platform's file calls: exclusive creation, a write that reaches the
// disk, and a replace in one step.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

bool CreateNewFile(const fs::path& file)
{
    const HANDLE handle =
        ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    return ::CloseHandle(handle) != 0;
}

bool CanWriteExisting(const fs::path& file)
{
    const HANDLE handle =
        ::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    return ::CloseHandle(handle) != 0;
}

bool WriteAllDurably(const fs::path& file, std::string_view bytes)
{
    const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    bool written = true;
    while (written && !bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD done = 0;
        written = ::WriteFile(handle, bytes.data(), chunk, &done, nullptr) != 0 && done > 0;
        bytes.remove_prefix(done);
    }
    written = written && ::SetEndOfFile(handle) != 0 && ::FlushFileBuffers(handle) != 0;
    return ::CloseHandle(handle) != 0 && written;
}

// std::filesystem::rename cannot replace an existing file in every Windows
// runtime; MoveFileExW can, and write-through returns only once the move is
// on the disk.
bool ReplaceAtomically(const fs::path& from, const fs::path& to)
{
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool CreateNewFile(const fs::path& file)
{
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return false;
    return ::close(descriptor) == 0;
}

bool CanWriteExisting(const fs::path& file)
{
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    return ::close(descriptor) == 0;
}

bool WriteAllDurably(const fs::path& file, std::string_view bytes)
{
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const auto size = static_cast<off_t>(bytes.size());
    bool written = true;
    while (written && !bytes.empty()) {
        const ssize_t done = ::write(descriptor, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        written = done > 0;
        if (written)
            bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    written = written && ::ftruncate(descriptor, size) == 0 && ::fsync(descriptor) == 0;
    return ::close(descriptor) == 0 && written;
}

bool ReplaceAtomically(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::rename(from, to, error);
    if (error)
        return false;
    // The rename lives in the folder; flushing the folder makes it survive a
    // power loss. Some file systems refuse this, and the rename has happened
    // either way, so a failure here is not a failed write.
    const int folder = ::open(to.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        static_cast<void>(::fsync(folder));
        static_cast<void>(::close(folder));
    }
    return true;
}

} // namespace
#endif

namespace {

// --- Encodings ---

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeBom = "\xFF\xFE";
constexpr std::string_view Utf16BeBom = "\xFE\xFF";

std::uint32_t Utf16Unit(std::string_view bytes, std::size_t at, bool bigEndian)
{
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return bigEndian ? (std::uint32_t{first} << 8) | second : (std::uint32_t{second} << 8) | first;
}

// UTF-8 that also encodes unpaired surrogates (three bytes each), so any
// UTF-16 unit sequence comes back unchanged.
void AppendUtf8(std::string& out, std::uint32_t codePoint)
{
    const auto put = [&out](std::uint32_t value) { out += static_cast<char>(value); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | (codePoint >> 6));
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | (codePoint >> 18));
        put(0x80 | ((codePoint >> 12) & 0x3F));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

std::string Utf16ToText(std::string_view bytes, bool bigEndian)
{
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        const std::uint32_t unit = Utf16Unit(bytes, at, bigEndian);
        if (unit >= 0xD800 && unit <= 0xDBFF && at + 3 < bytes.size()) {
            const std::uint32_t next = Utf16Unit(bytes, at + 2, bigEndian);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                at += 2;
                continue;
            }
        }
        AppendUtf8(text, unit);
    }
    return text;
}

std::string TextToUtf16(std::string_view text, bool bigEndian)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    const auto unit = [&bytes, bigEndian](std::uint32_t value) {
        const auto high = static_cast<char>(value >> 8);
        const auto low = static_cast<char>(value & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    };
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = 0;
        std::uint32_t codePoint = lead;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07u;
        }
        bool valid = length != 0 && at + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[at + k]);
            valid = (next & 0xC0) == 0x80;
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        valid = valid && !(length == 3 && codePoint < 0x800)
                && !(length == 4 && (codePoint < 0x10000 || codePoint > 0x10FFFF));
        // Only a caller's value can hold bytes that are not UTF-8; text decoded
        // from the file always passes.
        if (!valid) {
            codePoint = 0xFFFD;
            length = 1;
        }
        if (codePoint >= 0x10000) {
            unit(0xD800 + ((codePoint - 0x10000) >> 10));
            unit(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            unit(codePoint);
        }
        at += length;
    }
    return bytes;
}

// --- Lines ---

// Blanks as the profile functions see them around names and values.
constexpr std::string_view Blanks = " \t\v\f";

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names are compared as the profile functions do, without regard to case;
// only ASCII letters fold, which covers every name the program uses.
bool SameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

struct TLine {
    std::size_t Begin;   // first byte of the line
    std::size_t TextEnd; // first byte of its line end
    std::size_t End;     // first byte after its line end
};

// CR LF, LF and a lone CR all end a line, as in the profile functions.
std::vector<TLine> SplitLines(std::string_view text)
{
    std::vector<TLine> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t textEnd = std::min(text.find_first_of("\r\n", begin), text.size());
        std::size_t end = textEnd;
        if (end < text.size())
            end += text.compare(end, 2, "\r\n") == 0 ? 2u : 1u;
        lines.push_back({begin, textEnd, end});
        begin = end;
    }
    return lines;
}

enum class TLineKind { Blank, Comment, Section, Key, Other };

struct TParsedLine {
    TLineKind Kind = TLineKind::Other;
    std::string_view Name;  // section or key name; a view into the text
    std::string_view Value; // trimmed
};

TParsedLine ParseLine(std::string_view line)
{
    const std::string_view text = Trim(line);
    if (text.empty())
        return {TLineKind::Blank, {}, {}};
    if (text.front() == ';')
        return {TLineKind::Comment, {}, {}};
    if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close != std::string_view::npos)
            return {TLineKind::Section, Trim(text.substr(1, close - 1)), {}};
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return {};
    const std::string_view name = Trim(text.substr(0, equals));
    if (name.empty())
        return {};
    return {TLineKind::Key, name, Trim(text.substr(equals + 1))};
}

class TDocument {
public:
    explicit TDocument(std::string_view text) : FText(text), FLines(SplitLines(text)) {}

    std::size_t Count() const { return FLines.size(); }
    const TLine& Line(std::size_t index) const { return FLines[index]; }
    TParsedLine Parse(std::size_t index) const
    {
        return ParseLine(FText.substr(FLines[index].Begin, FLines[index].TextEnd - FLines[index].Begin));
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
            const TParsedLine parsed = Parse(header);
            if (parsed.Kind != TLineKind::Section || !SameName(parsed.Name, section))
                continue;
            std::size_t end = header + 1;
            while (end < Count() && Parse(end).Kind != TLineKind::Section)
                ++end;
            return std::pair{header, end};
        }
        return std::nullopt;
    }

    std::optional<std::size_t> FindKey(std::pair<std::size_t, std::size_t> section, std::string_view key) const
    {
        for (std::size_t i = section.first + 1; i < section.second; ++i) {
            const TParsedLine parsed = Parse(i);
            if (parsed.Kind == TLineKind::Key && SameName(parsed.Name, key))
                return i;
        }
        return std::nullopt;
    }

private:
    std::string_view FText;
    std::vector<TLine> FLines;
};

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Names that would read back differently, or change the meaning of the
// line, are a fault of the caller.
void CheckNames(std::string_view section, std::string_view key, std::string_view value)
{
    if (section.empty() || Trim(section) != section || HasLineBreak(section)
        || section.find(']') != std::string_view::npos)
        throw Exception("SetSettingsValue: Invalid section name");
    if (key.empty() || Trim(key) != key || HasLineBreak(key) || key.find('=') != std::string_view::npos
        || key.front() == ';' || key.front() == '[')
        throw Exception("SetSettingsValue: Invalid key name");
    if (HasLineBreak(value))
        throw Exception("SetSettingsValue: Line break in value");
}

// --- Files ---

std::string PathText(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Nothing when the file is absent or cannot be read.
std::optional<std::string> ReadFileBytes(const fs::path& file)
{
    std::error_code error;
    if (!fs::is_regular_file(file, error))
        return std::nullopt;
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        return std::nullopt;
    std::string bytes;
    char buffer[4096];
    while (stream.read(buffer, sizeof buffer) || stream.gcount() > 0)
        bytes.append(buffer, static_cast<std::size_t>(stream.gcount()));
    if (stream.bad())
        return std::nullopt;
    return bytes;
}

fs::path TemporaryFileBeside(const fs::path& file)
{
    thread_local std::mt19937_64 generator{std::random_device{}()};
    constexpr std::string_view digits = "0123456789abcdef";
    std::string suffix = ".";
    std::uint64_t random = generator();
    for (int i = 0; i < 16; ++i, random >>= 4)
        suffix += digits[random & 0xF];
    suffix += ".tmp";
    fs::path temporary = file;
    temporary += suffix;
    return temporary;
}

// Removes a temporary file on every way out unless the write completed.
class TTemporaryFile {
public:
    explicit TTemporaryFile(fs::path file) : FFile(std::move(file)) {}
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;
    ~TTemporaryFile()
    {
        if (!FFile.empty()) {
            std::error_code ignored;
            fs::remove(FFile, ignored);
        }
    }
    void Keep() { FFile.clear(); }

private:
    fs::path FFile;
};

// A file marked read-only is never written, also where the account could
// override the mark (root on POSIX, where a rename would even replace it).
bool IsMarkedReadOnly(const fs::file_status& status)
{
    constexpr auto anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (status.permissions() & anyWrite) == fs::perms::none;
}

} // namespace

// --- The text layer ---

TSettingsText DecodeSettingsText(std::string_view bytes)
{
    TSettingsText result;
    const bool littleEndian = bytes.starts_with(Utf16LeBom);
    if (littleEndian || bytes.starts_with(Utf16BeBom)) {
        result.Encoding = littleEndian ? TTextEncoding::Utf16Le : TTextEncoding::Utf16Be;
        std::string_view units = bytes.substr(2);
        if (units.size() % 2 != 0) {
            result.OddByte = units.substr(units.size() - 1);
            units.remove_suffix(1);
        }
        result.Text = Utf16ToText(units, !littleEndian);
    } else if (bytes.starts_with(Utf8Bom)) {
        result.Encoding = TTextEncoding::Utf8WithBom;
        result.Text = bytes.substr(Utf8Bom.size());
    } else {
        result.Text = bytes;
    }
    return result;
}

std::string EncodeSettingsText(const TSettingsText& text)
{
    switch (text.Encoding) {
    case TTextEncoding::Utf8:
        return text.Text;
    case TTextEncoding::Utf8WithBom:
        return std::string(Utf8Bom) + text.Text;
    case TTextEncoding::Utf16Le:
        return std::string(Utf16LeBom) + TextToUtf16(text.Text, false) + text.OddByte;
    case TTextEncoding::Utf16Be:
        return std::string(Utf16BeBom) + TextToUtf16(text.Text, true) + text.OddByte;
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
        if (document.Parse(i).Kind == TLineKind::Key)
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
            if (document.Parse(count - 1).Kind != TLineKind::Blank)
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
        if (document.Parse(i).Kind != TLineKind::Blank)
            last = i;
    const TLine& after = document.Line(last);
    if (after.End == after.TextEnd)
        result.insert(after.End, std::string(document.FileLineEnd()) + entry);
    else
        result.insert(after.End, entry + std::string(document.LineEnd(last)));
    return result;
}

std::optional<std::int32_t> ParseSettingsInteger(std::string_view value)
{
    int base = 10;
    bool negative = false;
    if (value.starts_with("0x") || value.starts_with("0X")) {
        base = 16;
        value.remove_prefix(2);
    } else if (value.starts_with('$') || value.starts_with('x') || value.starts_with('X')) {
        base = 16;
        value.remove_prefix(1);
    } else if (value.starts_with('+') || value.starts_with('-')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    if (value.empty())
        return std::nullopt;

    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (const char c : value) {
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && AsciiLower(c) >= 'a' && AsciiLower(c) <= 'f')
            digit = AsciiLower(c) - 'a' + 10;
        else
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    const std::int64_t number = negative ? -magnitude : magnitude;
    if (number > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(number);
}

TFileOperations SystemFileOperations()
{
    return {CreateNewFile, WriteAllDurably, ReplaceAtomically};
}

// --- The file ---

TSettingsFile::TSettingsFile(const fs::path& fileName, TFileOperations operations)
    : FFileName(fileName), FOperations(std::move(operations))
{
    std::error_code error;
    fs::path absolute = fs::absolute(fileName, error);
    if (!error)
        FFileName = std::move(absolute);
}

std::string TSettingsFile::ReadText() const
{
    const auto bytes = ReadFileBytes(FFileName);
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
    std::error_code error;
    const fs::file_status status = fs::status(FFileName, error);
    const bool exists = status.type() != fs::file_type::not_found;
    if (exists && (error || !fs::is_regular_file(status)))
        FailWrite();

    TSettingsText text;
    if (exists) {
        // Content that cannot be read must not be replaced by a file that
        // holds only this one key.
        const auto bytes = ReadFileBytes(FFileName);
        if (!bytes)
            FailWrite();
        text = DecodeSettingsText(*bytes);
    }
    for (const TSettingsValue& value : values)
        text.Text = SetSettingsValue(text.Text, value.Section, value.Key, value.Value);
    const std::string bytes = EncodeSettingsText(text);

    if (exists && (IsMarkedReadOnly(status) || !CanWriteExisting(FFileName)))
        FailWrite();

    const fs::path temporary = TemporaryFileBeside(FFileName);
    if (FOperations.CreateNew(temporary)) {
        TTemporaryFile guard(temporary);
        if (!FOperations.WriteAll(temporary, bytes))
            FailWrite();
        if (exists) {
            // The replacement keeps the file's permissions; where they cannot
            // be copied the folder's defaults are still a working file.
            fs::permissions(temporary, status.permissions(), error);
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
