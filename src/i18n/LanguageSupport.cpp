#include "i18n/LanguageSupport.h"

#include "common/FileBytes.h"
#include "common/FileSystem.h"
#include "common/PathText.h"

#include "common/IniLine.h"
#include "common/Text.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <span>
#include <utility>

// The product web site and its mail domain are fixed per build; the build
// passes the real ones.
#ifndef VESK_WEB_HOST
#define VESK_WEB_HOST "www.example.com"
#endif
#ifndef VESK_MAIL_DOMAIN
#define VESK_MAIL_DOMAIN "example.com"
#endif

namespace {

constexpr std::string_view FileInfoSection = "FileInfo";
constexpr std::string_view MissingFileMessage =
    "Language file missing.\r\nYou need to unpack the whole archive in case of portable version.";

std::optional<std::size_t> IndexOfCaseBlind(const std::vector<std::string>& list, std::string_view text)
{
    const auto found = std::find_if(list.begin(), list.end(),
                                    [text](const std::string& item) { return EqualsIgnoringAsciiCase(item, text); });
    if (found == list.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - list.begin());
}

// Strict: a file that is not clean UTF-16 is refused rather than shown with
// replacement characters.
std::string DecodeUtf16Text(std::string_view bytes, TByteOrder order)
{
    if (bytes.size() % 2 != 0)
        throw ELanguageFile("UTF-16 text with an odd number of bytes");
    std::optional<std::string> text = Utf16ToUtf8(Utf16FromBytes(bytes, order), TInvalidText::Refuse);
    if (!text)
        throw ELanguageFile("UTF-16 text with an unpaired surrogate");
    return std::move(*text);
}

std::string DisplayPath(const TPath& path)
{
    return TryUtf8FromPath(path).value_or("(file name not representable)");
}

std::string ReadLanguageFileBytes(const TPath& fileName)
{
    TFileBytes read = ReadFileBytes(fileName, MaxLanguageFileSize);
    switch (read.Status) {
    case TFileReadStatus::Read: return std::move(read.Bytes);
    case TFileReadStatus::CannotOpen: throw ELanguageFile("Cannot open \"" + DisplayPath(fileName) + "\".");
    case TFileReadStatus::TooLarge:
        throw ELanguageFile("\"" + DisplayPath(fileName) + "\" is too large for a language file.");
    case TFileReadStatus::ReadError: break;
    }
    throw ELanguageFile("Cannot read \"" + DisplayPath(fileName) + "\".");
}

bool IsLanguageFileName(std::string_view name)
{
    // The Windows pattern "*.ini" matches the extension in any letter case;
    // such files are listed and then reported by the name check.
    constexpr std::string_view extension = ".ini";
    return name.size() > extension.size()
           && EqualsIgnoringAsciiCase(name.substr(name.size() - extension.size()), extension);
}

} // namespace

std::optional<std::string> DecodeUtf8(std::string_view bytes)
{
    if (!IsValidUtf8(bytes))
        return std::nullopt;
    return std::string(bytes);
}

std::string DecodeLanguageFileBytes(std::string_view bytes, const TAnsiDecoder& decodeAnsi)
{
    const TByteOrderMark mark = ByteOrderMarkOf(bytes);
    bytes.remove_prefix(ByteOrderMarkBytes(mark).size());
    switch (mark) {
    case TByteOrderMark::Utf8:
        if (!IsValidUtf8(bytes))
            throw ELanguageFile("invalid UTF-8 text");
        return std::string(bytes);
    case TByteOrderMark::Utf16Le: return DecodeUtf16Text(bytes, TByteOrder::LittleEndian);
    case TByteOrderMark::Utf16Be: return DecodeUtf16Text(bytes, TByteOrder::BigEndian);
    case TByteOrderMark::None: break;
    }
    std::optional<std::string> text = decodeAnsi(bytes);
    if (!text)
        throw ELanguageFile("text not valid in the system code page");
    return std::move(*text);
}

TLanguageFile::TLanguageFile(TDecodedText, std::string text) : FText(std::move(text))
{
    if (FText.size() > std::numeric_limits<std::uint32_t>::max())
        throw ELanguageFile("text too large for a language file");
    const std::string_view all(FText);
    const auto piece = [&all](std::string_view part) {
        return TPiece{static_cast<std::uint32_t>(part.data() - all.data()), static_cast<std::uint32_t>(part.size())};
    };
    // Lines ahead of the first section, and lines without "=", can never be
    // found by a lookup, so they are not kept. The first walk counts, so
    // that the lists of a large file are filled at their final size.
    const auto walk = [&all](auto&& onSection, auto&& onEntry) {
        bool inSection = false;
        for (std::size_t begin = 0; begin < all.size();) {
            const TTextLine position = LineAt(all, begin);
            begin = position.End;
            const TIniLine line =
                ReadIniLine(all.substr(position.Begin, position.TextEnd - position.Begin), LanguageFileRules);
            if (line.Kind == TIniLineKind::Section) {
                inSection = true;
                onSection(line);
            } else if (line.Kind == TIniLineKind::Key && inSection) {
                onEntry(line);
            }
        }
    };
    std::size_t sections = 0;
    std::size_t entries = 0;
    walk([&](const TIniLine&) { ++sections; }, [&](const TIniLine&) { ++entries; });
    FSections.reserve(sections);
    FEntries.reserve(entries);
    walk(
        [&](const TIniLine& line) {
            FSections.push_back({piece(line.Name), FEntries.size(), FEntries.size()});
        },
        [&](const TIniLine& line) {
            FEntries.push_back({piece(line.Name), piece(line.Value)});
            FSections.back().EndEntry = FEntries.size();
        });
}

std::optional<std::string> TLanguageFile::ReadText(const TPath& fileName, const TAnsiDecoder& decodeAnsi)
{
    const TFileKind kind = FileStatus(fileName).Kind;
    if (kind == TFileKind::Missing)
        return std::nullopt;
    // A folder would read as an empty file, and a pipe could block forever.
    if (kind != TFileKind::File)
        throw ELanguageFile(kind == TFileKind::Unknown ? "Cannot open \"" + DisplayPath(fileName) + "\"."
                                                       : "\"" + DisplayPath(fileName) + "\" is not a file.");
    const std::string bytes = ReadLanguageFileBytes(fileName);
    try {
        return DecodeLanguageFileBytes(bytes, decodeAnsi);
    } catch (const ELanguageFile& e) {
        throw ELanguageFile("Cannot decode \"" + DisplayPath(fileName) + "\": " + e.what() + ".");
    }
}

TLanguageFile::TLanguageFile(const TPath& fileName, const TAnsiDecoder& decodeAnsi)
{
    if (std::optional<std::string> text = ReadText(fileName, decodeAnsi))
        *this = TLanguageFile(TDecodedText{}, std::move(*text));
}

TLanguageFile TLanguageFile::FirstSectionOf(const TPath& fileName, std::string_view section,
                                            const TAnsiDecoder& decodeAnsi)
{
    std::optional<std::string> text = ReadText(fileName, decodeAnsi);
    if (!text)
        return TLanguageFile();
    // From the section's header to the next header or the end.
    std::size_t first = text->size();
    std::size_t end = text->size();
    for (std::size_t begin = 0; begin < text->size();) {
        const TTextLine position = LineAt(*text, begin);
        begin = position.End;
        const TIniLine line = ReadIniLine(
            std::string_view(*text).substr(position.Begin, position.TextEnd - position.Begin), LanguageFileRules);
        if (line.Kind != TIniLineKind::Section)
            continue;
        if (first != text->size()) {
            end = position.Begin;
            break;
        }
        if (EqualsIgnoringAsciiCase(line.Name, section))
            first = position.Begin;
    }
    return TLanguageFile(TDecodedText{}, text->substr(first, end - first));
}

TLanguageFile TLanguageFile::FromBytes(std::string_view bytes, const TAnsiDecoder& decodeAnsi)
{
    return TLanguageFile(TDecodedText{}, DecodeLanguageFileBytes(bytes, decodeAnsi));
}

std::string TLanguageFile::ReadString(std::string_view section, std::string_view identifier) const
{
    const auto foundSection = std::find_if(FSections.begin(), FSections.end(), [&](const TSection& s) {
        return EqualsIgnoringAsciiCase(Text(s.Name), section);
    });
    if (foundSection == FSections.end())
        return std::string(UndefinedText);
    const auto entries =
        std::span(FEntries).subspan(foundSection->FirstEntry, foundSection->EndEntry - foundSection->FirstEntry);
    const auto foundEntry = std::find_if(entries.begin(), entries.end(), [&](const TEntry& e) {
        return EqualsIgnoringAsciiCase(Text(e.Key), identifier);
    });
    if (foundEntry == entries.end())
        return std::string(UndefinedText);

    const std::string_view value = Text(foundEntry->Value);
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == 'n') {
            text += "\r\n";
            ++i;
        } else {
            text += value[i];
        }
    }
    // A line break written at either end of the value is not wanted there.
    return std::string(Trim(text));
}

TLanguages::TLanguages(ILanguageEnvironment& environment, std::string regPrimaryKeyIniFileName,
                       std::string regSettingsSection, bool loadAutomatically)
    : FEnvironment(environment), FRegPrimaryKey_IniFileName(std::move(regPrimaryKeyIniFileName)),
      FRegSettingsSection(std::move(regSettingsSection)),
      FLanguageFolderPath(environment.ExecutableFolder() / PathFromUtf8("Languages"))
{
    RefreshList();
    if (!loadAutomatically)
        return;
    const std::string stored = RegIniLanguage();
    // The list was built a moment ago; DefaultLanguage() would scan again and
    // show every mismatch message a second time.
    Load(!stored.empty() && IndexOfCaseBlind(FList, stored) ? stored : DefaultFromList());
}

void TLanguages::RefreshList()
{
    FList.clear();
    FListAbbr.clear();

    struct TCandidate {
        std::string Name;
        TPath Path;
    };
    std::vector<TCandidate> candidates;
    for (const TFolderEntry& entry : ListFolder(FLanguageFolderPath)) {
        if (entry.IsFolder)
            continue;
        std::optional<std::string> name = TryUtf8FromPath(entry.Name);
        if (name && IsLanguageFileName(*name))
            candidates.push_back({std::move(*name), FLanguageFolderPath / entry.Name});
    }
    // Windows lists NTFS folders in its case-blind order, other file systems
    // in any order; sorting the same way gives the menu and the last fallback
    // of DefaultLanguage one order everywhere.
    std::sort(candidates.begin(), candidates.end(),
              [](const TCandidate& a, const TCandidate& b) { return LessIgnoringAsciiCase(a.Name, b.Name); });

    const TAnsiDecoder decodeAnsi = [this](std::string_view bytes) { return FEnvironment.DecodeAnsi(bytes); };
    for (const TCandidate& candidate : candidates) {
        std::string id;
        std::string abbr;
        try {
            // Only the identity is read here, and the scan runs each time the
            // Settings menu opens: the rest of the file is not indexed.
            const TLanguageFile file = TLanguageFile::FirstSectionOf(candidate.Path, FileInfoSection, decodeAnsi);
            id = file.ReadString(FileInfoSection, "Id");
            abbr = file.ReadString(FileInfoSection, "Abbr");
        } catch (const ELanguageFile& e) {
            FEnvironment.ShowError(std::string("Error while loading language file.\r\n") + e.what());
            continue;
        }
        if (candidate.Name != id + ".ini") {
            FEnvironment.ShowError("Language File Name and its [.ini]FileInfo.Id key mismatch:\r\n\r\nFile Name = "
                                   + candidate.Name + "\r\n[.ini]FileInfo.Id = " + id);
            continue;
        }
        FList.push_back(std::move(id));
        FListAbbr.push_back(std::move(abbr));
    }
}

bool TLanguages::Load(std::string_view language)
{
    const std::optional<std::size_t> index = language.empty() ? std::nullopt : IndexOfCaseBlind(FList, language);
    if (index) {
        // The listed spelling, not the caller's: it equals the file name
        // exactly, and the menu check and the web addresses compare exactly.
        const std::string id = FList[*index];
        const TPath fileName = FLanguageFolderPath / PathFromUtf8(id + ".ini");
        if (Exists(FileStatus(fileName))) {
            try {
                TLanguageFile file(fileName, [this](std::string_view bytes) { return FEnvironment.DecodeAnsi(bytes); });
                FActiveFile = std::move(file);
                FActiveLanguage = id;
                return true;
            } catch (const ELanguageFile&) {
                FEnvironment.ShowError("Error while loading language file.\r\n" + DisplayPath(fileName));
                return false;
            }
        }
    }
    FEnvironment.ShowError(std::string(MissingFileMessage));
    return false;
}

const TLanguageFile& TLanguages::ActiveFile() const
{
    static const TLanguageFile empty;
    return FActiveFile ? *FActiveFile : empty;
}

std::string TLanguages::NonUnicodeLanguage() const
{
    return FEnvironment.SystemLocaleLanguage();
}

std::string TLanguages::RegionalFormatLanguage() const
{
    return FEnvironment.UserLocaleLanguage();
}

std::string TLanguages::DisplayLanguage() const
{
    // The language subtag of the first locale name. Taking a fixed two
    // characters would turn "fil-PH" into Finnish; a three-letter subtag
    // simply matches no two-letter Abbr.
    const std::string names = FEnvironment.UILanguageLocaleNames();
    const std::string_view subtag = std::string_view(names).substr(0, names.find_first_of(",-_"));
    std::string code;
    for (const char c : subtag) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return {};
        code += static_cast<char>(c | 0x20);
    }
    return code;
}

std::string TLanguages::DefaultLanguage()
{
    RefreshList();
    return DefaultFromList();
}

std::string TLanguages::DefaultFromList() const
{
    if (FList.empty())
        return {};
    if (FList.size() == 1)
        return FList.front();
    // The display language is what the user reads every day; the locale
    // names only hint at it.
    if (const std::string display = DisplayLanguage(); !display.empty())
        if (const auto index = IndexOfCaseBlind(FListAbbr, display))
            return FList[*index];
    for (const std::string& name : {NonUnicodeLanguage(), RegionalFormatLanguage()})
        if (!name.empty())
            if (const auto index = IndexOfCaseBlind(FList, name))
                return FList[*index];
    if (const auto index = IndexOfCaseBlind(FList, "English"))
        return FList[*index];
    return FList.front();
}

std::string TLanguages::RegIniLanguage() const
{
    if (FRegPrimaryKey_IniFileName.empty())
        return {};
    const TPath iniFile = FEnvironment.SettingsFile(FRegPrimaryKey_IniFileName);
    if (Exists(FileStatus(iniFile)))
        return FEnvironment.ReadIniString(iniFile, FRegSettingsSection, LanguageSettingKey);
    return FEnvironment.ReadRegistryString(FRegPrimaryKey_IniFileName, FRegSettingsSection, LanguageSettingKey);
}

std::string TLanguages::HomePageAddress(bool includeHttp)
{
    return std::string(includeHttp ? "http://" : "") + VESK_WEB_HOST;
}

std::string TLanguages::LanguageSuffix() const
{
    // The web site has a Czech version, which Slovak readers understand.
    return (FActiveLanguage == "Czech" || FActiveLanguage == "Slovak") ? "&lng=cs" : "";
}

std::string TLanguages::PageAddress(bool includeHttp, int page, std::int32_t productId) const
{
    return HomePageAddress(includeHttp) + "/?pg=" + std::to_string(page) + "&pid=" + std::to_string(productId)
           + LanguageSuffix();
}

std::string TLanguages::ProductPageAddress(bool includeHttp, std::int32_t productId) const
{
    return PageAddress(includeHttp, 1, productId);
}

std::string TLanguages::DonatePageAddress(bool includeHttp, std::int32_t productId) const
{
    return PageAddress(includeHttp, 5, productId);
}

std::string TLanguages::OrderPageAddress(bool includeHttp, std::int32_t productId) const
{
    return PageAddress(includeHttp, 6, productId);
}

std::string TLanguages::EmailAddress(std::string_view mailBoxName)
{
    return std::string(mailBoxName) + "@" + VESK_MAIL_DOMAIN;
}
