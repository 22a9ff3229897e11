#pragma once

// Language files and the language manager. Portable: the operating-system
// facts come in through ILanguageEnvironment, so this compiles and is tested
// on any platform; the Windows layer supplies the real environment.

#include "common/Exception.h"
#include "common/Path.h"
#include "common/PathText.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Raised when a language file exists but cannot be read or decoded. The
// message names the file and the reason.
class ELanguageFile : public Exception {
public:
    using Exception::Exception;
};

// Turns the bytes of a file without a byte-order mark into UTF-8, or gives
// nothing when the bytes are not valid in the 8-bit code page.
using TAnsiDecoder = std::function<std::optional<std::string>(std::string_view bytes)>;

// The bytes unchanged when they are valid UTF-8; the 8-bit decoder of every
// platform whose code page is UTF-8.
std::optional<std::string> DecodeUtf8(std::string_view bytes);

// Decodes a whole language file by its byte-order mark (UTF-8, UTF-16 LE or
// BE) or, without one, through decodeAnsi. Throws ELanguageFile.
std::string DecodeLanguageFileBytes(std::string_view bytes, const TAnsiDecoder& decodeAnsi);

// Files larger than this are refused: no language file comes near it, and
// the folder scan reads every file each time the Settings menu opens.
inline constexpr std::uintmax_t MaxLanguageFileSize = 32u * 1024u * 1024u;

inline constexpr std::string_view UndefinedText = "[undefined]";

// A language file in memory: its text once, and where each section and key
// lies in it, so a large file costs little more than its own size.
class TLanguageFile {
public:
    // An empty document: every lookup gives UndefinedText.
    TLanguageFile() = default;
    // A file that does not exist gives an empty document, like a missing
    // translation; one that cannot be read or decoded throws ELanguageFile.
    // The language manager passes the system's 8-bit decoder.
    explicit TLanguageFile(const TPath& fileName, const TAnsiDecoder& decodeAnsi = DecodeUtf8);

    static TLanguageFile FromBytes(std::string_view bytes, const TAnsiDecoder& decodeAnsi = DecodeUtf8);
    // The file read and decoded as above, but only its first section of that
    // name kept: lookups in that section give what the whole file gives, and
    // a large file costs no index of its other sections.
    static TLanguageFile FirstSectionOf(const TPath& fileName, std::string_view section,
                                        const TAnsiDecoder& decodeAnsi = DecodeUtf8);

    std::string ReadString(std::string_view section, std::string_view identifier) const;

private:
    // Marks the text constructor, which a file name (a string on POSIX)
    // must never reach.
    struct TDecodedText {};
    TLanguageFile(TDecodedText, std::string text);
    // Nothing when the file does not exist.
    static std::optional<std::string> ReadText(const TPath& fileName, const TAnsiDecoder& decodeAnsi);

    // A piece of FText: offsets stay right when the object moves, and 32
    // bits keep the index of a large file at a third of the file's size.
    struct TPiece {
        std::uint32_t Begin = 0;
        std::uint32_t Size = 0;
    };
    struct TEntry {
        TPiece Key;
        TPiece Value;
    };
    // The sections in file order, each with its entries as a range of
    // FEntries; a later section of the same name is kept but never searched.
    struct TSection {
        TPiece Name;
        std::size_t FirstEntry = 0;
        std::size_t EndEntry = 0;
    };

    std::string_view Text(TPiece piece) const { return std::string_view(FText).substr(piece.Begin, piece.Size); }

    std::string FText;
    std::vector<TSection> FSections;
    std::vector<TEntry> FEntries;
};

// Everything the language manager needs from the operating system. Strings
// are UTF-8; an empty string means "not known".
class ILanguageEnvironment {
public:
    virtual ~ILanguageEnvironment() = default;

    virtual TPath ExecutableFolder() const = 0;
    // The settings file of that name that the program reads: beside the
    // executable unless the platform keeps it elsewhere.
    virtual TPath SettingsFile(std::string_view iniFileName) const
    {
        return ExecutableFolder() / PathFromUtf8(iniFileName);
    }
    // English name of the language of the system locale (the code page of
    // programs without Unicode), e.g. "Czech".
    virtual std::string SystemLocaleLanguage() const = 0;
    // English name of the language of the user's regional format.
    virtual std::string UserLocaleLanguage() const = 0;
    // The user's preferred user-interface languages as locale names,
    // separated by commas, display language first (e.g. "cs-CZ,en-US").
    virtual std::string UILanguageLocaleNames() const = 0;
    virtual std::optional<std::string> DecodeAnsi(std::string_view bytes) const = 0;
    // A value of the settings file; empty when the key is absent.
    virtual std::string ReadIniString(const TPath& iniFile, std::string_view section, std::string_view key) const = 0;
    // String value valueName of HKEY_CURRENT_USER\keyPath\subKey; empty when
    // any part is absent or the platform has no registry.
    virtual std::string ReadRegistryString(std::string_view keyPath, std::string_view subKey,
                                           std::string_view valueName) const = 0;
    // An error box; returns when the user has closed it.
    virtual void ShowError(const std::string& text) = 0;
};

class TLanguages {
public:
    // Scans the language folder and, with loadAutomatically, loads the stored
    // choice or the default language. Check HasActiveFile() afterwards: false
    // means no language could be loaded (the user has been told why).
    TLanguages(ILanguageEnvironment& environment, std::string regPrimaryKeyIniFileName, std::string regSettingsSection,
               bool loadAutomatically);
    TLanguages(const TLanguages&) = delete;
    TLanguages& operator=(const TLanguages&) = delete;

    void RefreshList();
    bool Load(std::string_view language);

    // The "Languages" folder beside the executable.
    const TPath& LanguageFolderPath() const { return FLanguageFolderPath; }
    const std::vector<std::string>& List() const { return FList; }
    const std::string& ActiveLanguage() const { return FActiveLanguage; }
    bool HasActiveFile() const { return FActiveFile.has_value(); }
    // Before the first successful Load this is an empty file, so a lookup
    // shows UndefinedText instead of failing.
    const TLanguageFile& ActiveFile() const;

    std::string NonUnicodeLanguage() const;
    std::string RegionalFormatLanguage() const;
    std::string DisplayLanguage() const;
    // Rescans the folder first, so it may show mismatch messages.
    std::string DefaultLanguage();
    std::string RegIniLanguage() const;

    static std::string HomePageAddress(bool includeHttp);
    std::string ProductPageAddress(bool includeHttp, std::int32_t productId) const;
    std::string DonatePageAddress(bool includeHttp, std::int32_t productId) const;
    std::string OrderPageAddress(bool includeHttp, std::int32_t productId) const;
    static std::string EmailAddress(std::string_view mailBoxName);

private:
    std::string DefaultFromList() const;
    std::string LanguageSuffix() const;
    std::string PageAddress(bool includeHttp, int page, std::int32_t productId) const;

    ILanguageEnvironment& FEnvironment;
    std::string FRegPrimaryKey_IniFileName;
    std::string FRegSettingsSection;
    TPath FLanguageFolderPath;
    std::vector<std::string> FList;
    std::vector<std::string> FListAbbr;
    std::string FActiveLanguage;
    std::optional<TLanguageFile> FActiveFile;
};
