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

// Where the asked keys of a settings file's text lie, found in one pass
// over its lines: reading or writing many keys costs one pass, however large
// the file and however many sections of others it holds.
struct TSectionPlace {
    std::string_view Name; // as first asked
    bool Found = false;    // the first section of that name; later ones are never searched
    bool HasKeys = false;
    // The section's last line that is not blank (its header when it has
    // none): new keys go after it.
    TTextLine Last{};
};

struct TKeyPlace {
    std::size_t Section = 0; // index into the sections
    std::string_view Key;
    bool Found = false;
    // From the end of the key's name to the end of its line's text: what a
    // new value replaces, so the line keeps its indentation and spelling.
    std::size_t ValueBegin = 0;
    std::size_t ValueEnd = 0;
    std::string_view Value;
};

struct TTextPlaces {
    std::vector<TSectionPlace> Sections;
    std::vector<TKeyPlace> Keys; // at the index of the asked names
    bool HasLines = false;
    TTextLine LastLine{};
    bool LastLineBlank = false;
    std::string_view FirstLineEnd; // empty when no line has one

    std::string_view LineEnd(const TTextLine& line, std::string_view text) const
    {
        return text.substr(line.TextEnd, line.End - line.TextEnd);
    }
    // New lines follow the file's first line end; CR LF in a file without one.
    std::string_view NewLineEnd() const { return FirstLineEnd.empty() ? std::string_view("\r\n") : FirstLineEnd; }
};

TTextPlaces FindPlaces(std::string_view text, std::span<const TSettingsName> names)
{
    TTextPlaces places;
    places.Keys.reserve(names.size());
    for (const TSettingsName& name : names) {
        const auto section =
            std::find_if(places.Sections.begin(), places.Sections.end(),
                         [&](const TSectionPlace& place) { return EqualsIgnoringAsciiCase(place.Name, name.Section); });
        TKeyPlace key;
        key.Section = static_cast<std::size_t>(section - places.Sections.begin());
        key.Key = name.Key;
        if (section == places.Sections.end())
            places.Sections.push_back({name.Section});
        places.Keys.push_back(key);
    }

    constexpr std::size_t none = std::numeric_limits<std::size_t>::max();
    std::size_t open = none; // the asked section whose lines are being read
    for (std::size_t begin = 0; begin < text.size();) {
        const TTextLine line = LineAt(text, begin);
        begin = line.End;
        if (places.FirstLineEnd.empty() && line.End > line.TextEnd)
            places.FirstLineEnd = places.LineEnd(line, text);

        const TIniLine parsed = ReadIniLine(text.substr(line.Begin, line.TextEnd - line.Begin), SettingsFileRules);
        places.HasLines = true;
        places.LastLine = line;
        places.LastLineBlank = parsed.Kind == TIniLineKind::Blank;

        if (parsed.Kind == TIniLineKind::Section) {
            open = none;
            for (std::size_t i = 0; i < places.Sections.size(); ++i) {
                TSectionPlace& section = places.Sections[i];
                if (!EqualsIgnoringAsciiCase(parsed.Name, section.Name))
                    continue;
                if (!section.Found) {
                    section.Found = true;
                    section.Last = line;
                    open = i;
                }
                break;
            }
            continue;
        }
        if (open == none || parsed.Kind == TIniLineKind::Blank)
            continue;
        TSectionPlace& section = places.Sections[open];
        section.Last = line;
        if (parsed.Kind != TIniLineKind::Key)
            continue;
        section.HasKeys = true;
        for (TKeyPlace& key : places.Keys) {
            if (key.Found || key.Section != open || !EqualsIgnoringAsciiCase(parsed.Name, key.Key))
                continue;
            key.Found = true;
            key.ValueBegin = static_cast<std::size_t>(parsed.Name.data() - text.data()) + parsed.Name.size();
            key.ValueEnd = line.TextEnd;
            key.Value = parsed.Value;
        }
    }
    return places;
}

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

// Nothing when the file is absent, cannot be read or is too large.
std::optional<std::string> ReadSettingsBytes(const TPath& file)
{
    if (FileStatus(file).Kind != TFileKind::File)
        return std::nullopt;
    TFileBytes read = ReadFileBytes(file, MaxSettingsFileSize);
    if (read.Status != TFileReadStatus::Read)
        return std::nullopt;
    return std::move(read.Bytes);
}

constexpr std::string_view TemporarySuffix = ".tmp";
constexpr std::size_t TemporaryDigits = 16;
constexpr std::string_view HexDigits = "0123456789abcdef";

// "VeskColorPicker.ini.<16 hex digits>.tmp" beside the file.
TPath TemporaryFileBeside(const TPath& file)
{
    thread_local std::mt19937_64 generator{std::random_device{}()};
    std::string suffix = ".";
    std::uint64_t random = generator();
    for (std::size_t i = 0; i < TemporaryDigits; ++i, random >>= 4)
        suffix += HexDigits[random & 0xF];
    suffix += TemporarySuffix;
    TPath temporary = file;
    temporary += PathFromUtf8(suffix);
    return temporary;
}

// Whether name is one that TemporaryFileBeside gives for fileName, in any
// letter case, as Windows compares names.
bool IsTemporaryFileName(std::string_view name, std::string_view fileName)
{
    if (name.size() != fileName.size() + 1 + TemporaryDigits + TemporarySuffix.size()
        || !EqualsIgnoringAsciiCase(name.substr(0, fileName.size()), fileName) || name[fileName.size()] != '.'
        || !EqualsIgnoringAsciiCase(name.substr(name.size() - TemporarySuffix.size()), TemporarySuffix))
        return false;
    const std::string_view digits = name.substr(fileName.size() + 1, TemporaryDigits);
    return std::all_of(digits.begin(), digits.end(), [](char c) {
        return HexDigits.find(static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c)) != std::string_view::npos;
    });
}

// Temporary files that saves cut off by a crash or a kill left beside the
// file: only files of that naming, only when old and not in use.
void RemoveStaleTemporaryFiles(const TPath& file)
{
    const std::optional<std::string> fileName = TryUtf8FromPath(file.FileName());
    if (!fileName)
        return;
    const TPath folder = file.Folder();
    for (const TFolderEntry& entry : ListFolder(folder)) {
        if (entry.IsFolder)
            continue;
        const std::optional<std::string> name = TryUtf8FromPath(entry.Name);
        if (name && IsTemporaryFileName(*name, *fileName))
            static_cast<void>(SettingsFilePlatform::RemoveUnusedFile(folder / entry.Name, StaleTemporaryFileAge));
    }
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

TSettingsText DecodeSettingsText(std::string bytes)
{
    TSettingsText result;
    const TByteOrderMark mark = ByteOrderMarkOf(bytes);
    const std::size_t markSize = ByteOrderMarkBytes(mark).size();
    switch (mark) {
    case TByteOrderMark::Utf16Le:
    case TByteOrderMark::Utf16Be: {
        result.Encoding = mark == TByteOrderMark::Utf16Le ? TTextEncoding::Utf16Le : TTextEncoding::Utf16Be;
        std::string_view content = std::string_view(bytes).substr(markSize);
        if (content.size() % 2 != 0) {
            result.OddByte = content.substr(content.size() - 1);
            content.remove_suffix(1);
        }
        // Unpaired surrogates are kept so that the file is written back byte
        // for byte; KeepSurrogates never fails.
        result.Text = *Utf16ToUtf8(Utf16FromBytes(content, ByteOrderOf(result.Encoding)), TInvalidText::KeepSurrogates);
        break;
    }
    case TByteOrderMark::Utf8:
        // The bytes themselves become the text: a large file is not copied.
        result.Encoding = TTextEncoding::Utf8WithBom;
        bytes.erase(0, markSize);
        result.Text = std::move(bytes);
        break;
    case TByteOrderMark::None: result.Text = std::move(bytes); break;
    }
    return result;
}

std::string EncodeSettingsText(TSettingsText text)
{
    switch (text.Encoding) {
    case TTextEncoding::Utf8: return std::move(text.Text);
    case TTextEncoding::Utf8WithBom: return text.Text.insert(0, ByteOrderMarkBytes(TByteOrderMark::Utf8));
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

std::vector<TFoundSetting> FindSettingsValues(std::string_view text, std::span<const TSettingsName> names)
{
    const TTextPlaces places = FindPlaces(text, names);
    std::vector<TFoundSetting> found;
    found.reserve(names.size());
    for (const TKeyPlace& key : places.Keys) {
        TFoundSetting& setting = found.emplace_back();
        setting.SectionHasKeys = places.Sections[key.Section].HasKeys;
        if (!key.Found)
            continue;
        std::string_view value = key.Value;
        // The profile functions drop one pair of enclosing quotes.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        setting.Value = value;
    }
    return found;
}

std::optional<std::string> FindSettingsValue(std::string_view text, std::string_view section, std::string_view key)
{
    const TSettingsName name{section, key};
    return std::move(FindSettingsValues(text, {&name, 1}).front().Value);
}

bool SettingsSectionExists(std::string_view text, std::string_view section)
{
    const TSettingsName name{section, {}};
    return FindPlaces(text, {&name, 1}).Sections.front().Found;
}

bool SettingsSectionHasKeys(std::string_view text, std::string_view section)
{
    const TSettingsName name{section, {}};
    return FindPlaces(text, {&name, 1}).Sections.front().HasKeys;
}

// The result is what SetSettingsValue gives applied to each value in turn;
// the edits are only worked out against the original text, so that the file
// is read once and copied once.
std::string SetSettingsValues(std::string_view text, std::span<const TSettingsValue> values)
{
    std::vector<TSettingsName> names;
    names.reserve(values.size());
    for (const TSettingsValue& value : values) {
        CheckNames(value.Section, value.Key, value.Value);
        names.push_back({value.Section, value.Key});
    }
    const TTextPlaces places = FindPlaces(text, names);

    // What each value does, in the order given: a later value for the same
    // key replaces the earlier one, wherever that one went.
    struct TEntry {
        std::string_view Key;
        std::string_view Value;
    };
    std::vector<std::vector<TEntry>> added(places.Sections.size()); // keys new to their section
    std::vector<const TSettingsValue*> replaced(values.size(), nullptr);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const TKeyPlace& key = places.Keys[i];
        if (key.Found) {
            // The first asked name of that line holds the value.
            const auto first = std::find_if(places.Keys.begin(), places.Keys.end(), [&](const TKeyPlace& other) {
                return other.Found && other.ValueBegin == key.ValueBegin;
            });
            replaced[static_cast<std::size_t>(first - places.Keys.begin())] = &values[i];
            continue;
        }
        std::vector<TEntry>& entries = added[key.Section];
        const auto same = std::find_if(entries.begin(), entries.end(), [&](const TEntry& entry) {
            return EqualsIgnoringAsciiCase(entry.Key, key.Key);
        });
        if (same != entries.end())
            same->Value = values[i].Value;
        else
            entries.push_back({values[i].Key, values[i].Value});
    }

    struct TEdit {
        std::size_t Begin;
        std::size_t End;
        std::string Text;
    };
    std::vector<TEdit> edits;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (replaced[i])
            edits.push_back({places.Keys[i].ValueBegin, places.Keys[i].ValueEnd, "=" + replaced[i]->Value});

    // New keys go after the section's last non-blank line, so blank lines
    // that separate it from the next section stay below them.
    for (std::size_t s = 0; s < places.Sections.size(); ++s) {
        const TSectionPlace& section = places.Sections[s];
        if (!section.Found || added[s].empty())
            continue;
        const std::string_view lineEnd = places.LineEnd(section.Last, text);
        std::string inserted;
        for (const TEntry& entry : added[s]) {
            const std::string line = std::string(entry.Key) + "=" + std::string(entry.Value);
            inserted += lineEnd.empty() ? std::string(places.NewLineEnd()) + line : line + std::string(lineEnd);
        }
        edits.push_back({section.Last.End, section.Last.End, std::move(inserted)});
    }

    // New sections go at the end, each after a blank line. Appended lines
    // take the line end of the line before them, so a lone CR there cannot
    // merge with a new LF into one line end.
    std::string appended;
    const std::string_view lastLineEnd = places.HasLines ? places.LineEnd(places.LastLine, text) : "";
    const std::string lineEnd(lastLineEnd.empty() ? places.NewLineEnd() : lastLineEnd);
    bool lastBlank = !places.HasLines || places.LastLineBlank;
    bool lastHasLineEnd = !places.HasLines || !lastLineEnd.empty();
    for (std::size_t s = 0; s < places.Sections.size(); ++s) {
        if (places.Sections[s].Found || added[s].empty())
            continue;
        if (!lastHasLineEnd)
            appended += lineEnd;
        if (!lastBlank)
            appended += lineEnd;
        appended += "[" + std::string(places.Sections[s].Name) + "]" + lineEnd;
        for (const TEntry& entry : added[s])
            appended += std::string(entry.Key) + "=" + std::string(entry.Value) + lineEnd;
        lastBlank = false;
        lastHasLineEnd = true;
    }
    if (!appended.empty())
        edits.push_back({text.size(), text.size(), std::move(appended)});

    // A replaced value may end where keys are inserted (a last line without
    // line end): the replacement comes first, as it was made first.
    std::stable_sort(edits.begin(), edits.end(), [](const TEdit& a, const TEdit& b) { return a.Begin < b.Begin; });
    std::size_t size = text.size();
    for (const TEdit& edit : edits) {
        size += edit.Text.size();
        size -= edit.End - edit.Begin;
    }
    std::string result;
    result.reserve(size);
    std::size_t copied = 0;
    for (const TEdit& edit : edits) {
        result.append(text, copied, edit.Begin - copied);
        result += edit.Text;
        copied = edit.End;
    }
    result.append(text, copied);
    return result;
}

std::string SetSettingsValue(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value)
{
    const TSettingsValue one{section, key, std::string(value)};
    return SetSettingsValues(text, {&one, 1});
}

// The settings file reads numbers as the color code text does: what the
// program writes (decimal with an optional sign), and hexadecimal after "0x",
// "$" or "x", eight digits with the top bit set being negative ("$FFFFFFFF"
// is -1, as a hand-edited color may be written). A prefix needs digits
// after it: "0x" alone is no number and gives the default.
std::optional<std::int32_t> ParseSettingsInteger(std::string_view value)
{
    const std::size_t start = std::min(value.find_first_not_of(' '), value.size());
    if (const std::string_view number = value.substr(start); number == "0x" || number == "0X")
        return std::nullopt;
    std::int32_t number = 0;
    if (!TryStrToInt(value, number))
        return std::nullopt;
    return number;
}

bool WriteSettingsInPlace(const TPath& fileName, std::string_view bytes)
{
    SettingsFilePlatform::TOpenFile file(fileName);
    std::uint64_t size = 0;
    if (!file.IsOpen() || !file.Size(size) || size > MaxSettingsFileSize)
        return false;
    const auto oldSize = static_cast<std::size_t>(size);
    std::string old(oldSize, '\0');
    if (!file.ReadAt(0, old))
        return false;
    if (bytes.size() > oldSize) {
        // The tail first, behind the old content: what the disk cannot hold
        // is refused here, and cutting the file back leaves it as it was.
        if (!file.WriteAt(oldSize, bytes.substr(oldSize)) || !file.Flush()) {
            static_cast<void>(file.SetSize(oldSize) && file.Flush());
            return false;
        }
    }
    if (file.WriteAt(0, bytes.substr(0, std::min(oldSize, bytes.size()))) && file.SetSize(bytes.size()) && file.Flush())
        return true;
    // The space was the file's own, yet the write failed (a network drive
    // gone, a disk error): the old content is the best that can be left.
    static_cast<void>(file.WriteAt(0, old) && file.SetSize(oldSize) && file.Flush());
    return false;
}

TFileOperations SystemFileOperations()
{
    return {SettingsFilePlatform::CreateNewFile,
            SettingsFilePlatform::WriteAllDurably,
            SettingsFilePlatform::ReplaceAtomically,
            SettingsFilePlatform::MoveToNewName,
            WriteSettingsInPlace,
            SettingsFilePlatform::Pause};
}

// --- The file ---

TSettingsFile::TSettingsFile(const TPath& fileName, TFileOperations operations)
    : FFileName(AbsolutePath(fileName)), FOperations(std::move(operations))
{}

std::string TSettingsFile::ReadText() const
{
    auto bytes = ReadSettingsBytes(FFileName);
    return bytes ? DecodeSettingsText(std::move(*bytes)).Text : std::string();
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

// A write that another program holds off is tried again, reading the file
// anew each time, for about a second.
void TSettingsFile::WriteValues(std::span<const TSettingsValue> values)
{
    unsigned pause = ReplaceRetryFirstPause;
    unsigned waited = 0;
    for (;;) {
        const TWriteResult result = TryWriteValues(values);
        if (result == TWriteResult::Written)
            return;
        if (result == TWriteResult::NoNewFile && !FFallback.Empty()) {
            // The message names the file the user knows of.
            TSettingsFile fallback(FFallback, FOperations);
            static_cast<void>(CreateFolder(AbsolutePath(FFallback).Folder()));
            try {
                fallback.WriteValues(values);
                return;
            } catch (const ESettingsFile&) {
                FailWrite();
            }
        }
        if (result != TWriteResult::HeldOff || waited >= ReplaceRetryTotal)
            FailWrite();
        pause = std::min(pause, ReplaceRetryTotal - waited);
        FOperations.Pause(pause);
        waited += pause;
        pause *= 2;
    }
}

// The new content goes to a temporary file beside the settings file, reaches
// the disk, and then replaces the file in one step: a crash or a full disk
// at any moment leaves either the old or the new file, never a truncated one.
TSettingsFile::TWriteResult TSettingsFile::TryWriteValues(std::span<const TSettingsValue> values)
{
    const TFileStatus status = FileStatus(FFileName);
    const bool exists = status.Kind != TFileKind::Missing;
    // A file marked read-only is never written, also where the account could
    // override the mark (root on POSIX, where a rename would even replace it).
    if (exists && (status.Kind != TFileKind::File || status.ReadOnly))
        return TWriteResult::Refused;

    TSettingsText text;
    if (exists) {
        // Content that cannot be read must not be replaced by a file that
        // holds only this one key. Too large stays too large; a file that
        // will not open may be in the middle of another program's replace.
        TFileBytes read = ReadFileBytes(FFileName, MaxSettingsFileSize);
        if (read.Status == TFileReadStatus::TooLarge)
            return TWriteResult::Refused;
        if (read.Status != TFileReadStatus::Read)
            return TWriteResult::HeldOff;
        text = DecodeSettingsText(std::move(read.Bytes));
    }
    text.Text = SetSettingsValues(text.Text, values);
    const std::string bytes = EncodeSettingsText(std::move(text));
    // A file the next start would not read would lose every setting.
    if (bytes.size() > MaxSettingsFileSize)
        return TWriteResult::Refused;

    // A symbolic link stays a link: the file it leads to is the one
    // replaced. A file with more names than one (hard links) keeps them only
    // when written in place.
    const SettingsFilePlatform::TFileIdentity identity =
        exists ? SettingsFilePlatform::IdentifyFile(FFileName) : SettingsFilePlatform::TFileIdentity{FFileName, 1};
    const TPath& target = identity.Final;
    if (exists && !SettingsFilePlatform::CanWriteExisting(target))
        return TWriteResult::HeldOff;

    RemoveStaleTemporaryFiles(target);
    if (identity.Names > 1)
        return FOperations.WriteInPlace(target, bytes) ? TWriteResult::Written : TWriteResult::Refused;

    const TPath temporary = TemporaryFileBeside(target);
    if (FOperations.CreateNew(temporary)) {
        TTemporaryFile guard(temporary);
        if (!FOperations.WriteAll(temporary, bytes))
            return TWriteResult::Refused;
        if (exists) {
            // The replacement keeps the file's permissions; where they cannot
            // be copied the folder's defaults are still a working file.
            static_cast<void>(SetPermissions(temporary, status));
        }
        // A file made from nothing never replaces one that another program
        // made meanwhile: the next try reads that one.
        if (!(exists ? FOperations.Replace(temporary, target) : FOperations.MoveNew(temporary, target)))
            return TWriteResult::HeldOff;
        guard.Keep();
        return TWriteResult::Written;
    }

    // The folder refuses new files (a protected program folder holding a
    // writable settings file, a disk without free entries): the file itself
    // is the only place left.
    if (!exists)
        return TWriteResult::NoNewFile;
    return FOperations.WriteInPlace(target, bytes) ? TWriteResult::Written : TWriteResult::Refused;
}

void TSettingsFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    WriteString(section, key, std::to_string(value));
}

void TSettingsFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}
