#include "i18n/LanguageSupport.h"

#include "settings/Settings.h"

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <system_error>
#include <utility>

// The product web site and its mail domain are fixed per build; the build
// passes the real ones.
#ifndef VESK_WEB_HOST
#define VESK_WEB_HOST "www.example.com"
#endif
#ifndef VESK_MAIL_DOMAIN
#define VESK_MAIL_DOMAIN "example.com"
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::string_view FileInfoSection = "FileInfo";
constexpr std::string_view MissingFileMessage =
    "Language file missing.\r\nYou need to unpack the whole archive in case of portable version.";

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Only the basic Latin letters are folded: section names, keys and language
// Ids are English words, and a fixed rule keeps lookups independent of the
// user's locale.
bool EqualsCaseBlind(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

std::optional<std::size_t> IndexOfCaseBlind(const std::vector<std::string>& list, std::string_view text)
{
    const auto found =
        std::find_if(list.begin(), list.end(), [text](const std::string& item) { return EqualsCaseBlind(item, text); });
    if (found == list.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - list.begin());
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

void AppendUtf8(std::string& out, std::uint32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        std::uint32_t codePoint = 0;
        std::uint32_t smallest = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            codePoint = lead & 0x1Fu;
            smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            codePoint = lead & 0x0Fu;
            smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            codePoint = lead & 0x07u;
            smallest = 0x10000;
        } else {
            return false;
        }
        if (text.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        // Overlong forms and encoded surrogates are refused so that every
        // accepted text converts to UTF-16 for the window system unchanged.
        if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    if (bytes.size() % 2 != 0)
        throw ELanguageFile("UTF-16 text with an odd number of bytes");
    const auto unitAt = [bytes, bigEndian](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? static_cast<std::uint32_t>((first << 8) | second)
                         : static_cast<std::uint32_t>((second << 8) | first);
    };
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        std::uint32_t codePoint = unitAt(i);
        if (codePoint >= 0xDC00 && codePoint <= 0xDFFF)
            throw ELanguageFile("UTF-16 text with an unpaired surrogate");
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
            if (bytes.size() - i < 4)
                throw ELanguageFile("UTF-16 text with an unpaired surrogate");
            const std::uint32_t low = unitAt(i + 2);
            if (low < 0xDC00 || low > 0xDFFF)
                throw ELanguageFile("UTF-16 text with an unpaired surrogate");
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        AppendUtf8(out, codePoint);
    }
    return out;
}

std::optional<std::string> TryUtf8FromPath(const fs::path& path)
{
    // A Windows file name may hold an unpaired surrogate, which has no UTF-8 form.
    try {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string DisplayPath(const fs::path& path)
{
    return TryUtf8FromPath(path).value_or("(file name not representable)");
}

// The narrow path constructor would read the text in the Windows ANSI code
// page; the core's strings are UTF-8.
fs::path PathFromUtf8(std::string_view text)
{
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string ReadLanguageFileBytes(const fs::path& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw ELanguageFile("Cannot open \"" + DisplayPath(fileName) + "\".");
    std::string bytes;
    char chunk[64 * 1024];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > MaxLanguageFileSize)
            throw ELanguageFile("\"" + DisplayPath(fileName) + "\" is too large for a language file.");
    }
    if (in.bad())
        throw ELanguageFile("Cannot read \"" + DisplayPath(fileName) + "\".");
    return bytes;
}

bool IsLanguageFileName(std::string_view name)
{
    // The Windows pattern "*.ini" matches the extension in any letter case;
    // such files are listed and then reported by the name check.
    constexpr std::string_view extension = ".ini";
    return name.size() > extension.size() && EqualsCaseBlind(name.substr(name.size() - extension.size()), extension);
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
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
        if (!IsValidUtf8(bytes))
            throw ELanguageFile("invalid UTF-8 text");
        return std::string(bytes);
    }
    if (StartsWith(bytes, "\xFF\xFE"))
        return Utf16ToUtf8(bytes.substr(2), false);
    if (StartsWith(bytes, "\xFE\xFF"))
        return Utf16ToUtf8(bytes.substr(2), true);
    std::optional<std::string> text = decodeAnsi(bytes);
    if (!text)
        throw ELanguageFile("text not valid in the system code page");
    return std::move(*text);
}

TIniDocument ParseLanguageFileText(std::string_view text)
{
    TIniDocument document;
    bool inSection = false;
    std::size_t lineStart = 0;
    while (lineStart <= text.size()) {
        std::size_t lineEnd = text.find_first_of("\r\n", lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = text.size();
        const std::string_view line = Trim(text.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        if (lineEnd + 1 < text.size() && text[lineEnd] == '\r' && text[lineEnd + 1] == '\n')
            ++lineStart;

        if (line.empty() || line.front() == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            document.push_back({std::string(Trim(line.substr(1, line.size() - 2))), {}});
            inSection = true;
            continue;
        }
        // Lines ahead of the first section, and lines without "=", can never
        // be found by a lookup, so they are not kept.
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos)
            continue;
        document.back().Entries.push_back(
            {std::string(Trim(line.substr(0, equals))), std::string(Trim(line.substr(equals + 1)))});
    }
    return document;
}

TLanguageFile::TLanguageFile(TIniDocument document) : FDocument(std::move(document)) {}

TLanguageFile::TLanguageFile(const fs::path& fileName, const TAnsiDecoder& decodeAnsi)
{
    std::error_code error;
    const fs::file_type type = fs::status(fileName, error).type();
    if (type == fs::file_type::not_found)
        return;
    // A folder would read as an empty file, and a pipe could block forever.
    if (type != fs::file_type::regular)
        throw ELanguageFile(error ? "Cannot open \"" + DisplayPath(fileName) + "\"."
                                  : "\"" + DisplayPath(fileName) + "\" is not a file.");
    const std::string bytes = ReadLanguageFileBytes(fileName);
    try {
        FDocument = ParseLanguageFileText(DecodeLanguageFileBytes(bytes, decodeAnsi));
    } catch (const ELanguageFile& e) {
        throw ELanguageFile("Cannot decode \"" + DisplayPath(fileName) + "\": " + e.what() + ".");
    }
}

TLanguageFile TLanguageFile::FromBytes(std::string_view bytes, const TAnsiDecoder& decodeAnsi)
{
    return TLanguageFile(ParseLanguageFileText(DecodeLanguageFileBytes(bytes, decodeAnsi)));
}

std::string TLanguageFile::ReadString(std::string_view section, std::string_view identifier) const
{
    const auto foundSection = std::find_if(FDocument.begin(), FDocument.end(), [section](const TIniSection& s) {
        return EqualsCaseBlind(s.Name, section);
    });
    if (foundSection == FDocument.end())
        return std::string(UndefinedText);
    const auto& entries = foundSection->Entries;
    const auto foundEntry = std::find_if(entries.begin(), entries.end(), [identifier](const TIniEntry& e) {
        return EqualsCaseBlind(e.Key, identifier);
    });
    if (foundEntry == entries.end())
        return std::string(UndefinedText);

    const std::string& value = foundEntry->Value;
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
      FLanguageFolderPath(environment.ExecutableFolder() / "Languages")
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
        fs::path Path;
    };
    std::vector<TCandidate> candidates;
    std::error_code error;
    for (fs::directory_iterator entry(FLanguageFolderPath, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code typeError;
        if (entry->is_directory(typeError))
            continue;
        std::optional<std::string> name = TryUtf8FromPath(entry->path().filename());
        if (name && IsLanguageFileName(*name))
            candidates.push_back({std::move(*name), entry->path()});
    }
    // Windows lists NTFS folders alphabetically, other file systems in any
    // order; a byte-wise sort gives the menu and the last fallback of
    // DefaultLanguage one order everywhere.
    std::sort(candidates.begin(), candidates.end(),
              [](const TCandidate& a, const TCandidate& b) { return a.Name < b.Name; });

    const TAnsiDecoder decodeAnsi = [this](std::string_view bytes) { return FEnvironment.DecodeAnsi(bytes); };
    for (const TCandidate& candidate : candidates) {
        std::string id;
        std::string abbr;
        try {
            const TLanguageFile file(candidate.Path, decodeAnsi);
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
        const fs::path fileName = FLanguageFolderPath / PathFromUtf8(id + ".ini");
        std::error_code error;
        if (fs::exists(fileName, error)) {
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
    const fs::path iniFile = FEnvironment.ExecutableFolder() / PathFromUtf8(FRegPrimaryKey_IniFileName);
    std::error_code error;
    if (fs::exists(iniFile, error))
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
