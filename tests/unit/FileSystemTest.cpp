#include "common/FileSystem.h"
#include "common/FileBytes.h"
#include "common/PathText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
const std::string Separator = "\\";
#else
const std::string Separator = "/";
#endif

// The test's own picture of a name, built with the standard library, which
// the product no longer links.
fs::path Utf8Name(const std::string& text)
{
    return fs::path(std::u8string(text.begin(), text.end()));
}

TEST(PathTest, JoinsAndSplitsNamesWithOneSeparator)
{
    struct TRow {
        std::string Folder;
        std::string Name;
        std::string Joined;
    };
    const TRow rows[] = {
        {"", "a.ini", "a.ini"},
        {"folder", "a.ini", "folder" + Separator + "a.ini"},
        {"folder" + Separator, "a.ini", "folder" + Separator + "a.ini"},
        {Separator, "a.ini", Separator + "a.ini"},
        {"Jazyky", "Čeština.ini", "Jazyky" + Separator + "Čeština.ini"},
#ifdef _WIN32
        {"C:/folder/", "a.ini", "C:/folder/a.ini"}, // Windows takes either slash
#endif
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Folder + " | " + row.Name);
        const TPath joined = PathFromUtf8(row.Folder) / PathFromUtf8(row.Name);
        EXPECT_EQ(Utf8FromPath(joined), row.Joined);
        EXPECT_EQ(Utf8FromPath(joined.FileName()), row.Name);
        EXPECT_EQ(joined, TPath(Utf8Name(row.Joined))); // the same name as the library's path
    }

    struct TFolderRow {
        std::string Path;
        std::string Folder;
    };
    const TFolderRow folders[] = {
        {"a.ini", ""},
        {"folder" + Separator + "a.ini", "folder"},
        {"one" + Separator + "two" + Separator + "a.ini", "one" + Separator + "two"},
        {Separator + "a.ini", Separator},
#ifdef _WIN32
        {"C:\\a.ini", "C:\\"},
        {"\\\\?\\C:\\a.ini", "\\\\?\\C:\\"},
        {"\\\\?\\C:\\one\\a.ini", "\\\\?\\C:\\one"},
#endif
    };
    for (const TFolderRow& row : folders)
        EXPECT_EQ(Utf8FromPath(PathFromUtf8(row.Path).Folder()), row.Folder) << row.Path;

    TPath temporary = PathFromUtf8("folder" + Separator + "VeskColorPicker.ini");
    temporary += PathFromUtf8(".0123.tmp");
    EXPECT_EQ(Utf8FromPath(temporary.FileName()), "VeskColorPicker.ini.0123.tmp");
}

// A fresh folder under the system's temporary folder, removed with its
// contents.
class FileSystemTest : public ::testing::Test {
protected:
    FileSystemTest()
    {
        std::random_device random;
        FFolder =
            fs::temp_directory_path() / ("vesk-filesystem-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(FFolder);
    }
    ~FileSystemTest() override
    {
        // Windows refuses to delete read-only files.
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(FFolder, ignored))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(FFolder, ignored);
    }

    fs::path Write(const std::string& name) const
    {
        const fs::path file = FFolder / Utf8Name(name);
        std::ofstream(file, std::ios::binary) << "x";
        return file;
    }

    fs::path FFolder;
};

TEST_F(FileSystemTest, StatusTellsFilesFoldersAndMissingNamesApart)
{
    const fs::path file = Write("Čeština.ini");
    fs::create_directory(FFolder / "Languages");

    struct TRow {
        const char* What;
        fs::path Path;
        TFileKind Kind;
    };
    const TRow rows[] = {
        {"file", file, TFileKind::File},
        {"folder", FFolder / "Languages", TFileKind::Folder},
        {"missing file", FFolder / "English.ini", TFileKind::Missing},
        {"missing folder on the way", FFolder / "Gone" / "English.ini", TFileKind::Missing},
        {"a file taken for a folder", file / "English.ini", TFileKind::Missing},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.What);
        const TFileStatus status = FileStatus(row.Path);
        EXPECT_EQ(status.Kind, row.Kind);
        EXPECT_EQ(Exists(status), row.Kind != TFileKind::Missing);
        EXPECT_FALSE(status.ReadOnly);
    }
}

#ifdef _WIN32
// Windows takes these names for devices in any folder and with any
// extension; opening COM1 waits for the serial port forever.
TEST_F(FileSystemTest, DeviceNamesAreNeverFiles)
{
    for (const char* name : {"COM1.ini", "com9.INI", "AUX.ini", "NUL", "CON.ini", "PRN.x.ini", "LPT1 .ini",
                             "CONIN$.ini", "conout$", "COM\xC2\xB9.ini"}) {
        SCOPED_TRACE(name);
        const fs::path file = FFolder / Utf8Name(name);
        EXPECT_TRUE(IsDeviceName(file));
        EXPECT_EQ(FileStatus(file).Kind, TFileKind::Other);
        EXPECT_EQ(ReadFileBytes(file, 1024).Status, TFileReadStatus::CannotOpen);
    }
    for (const char* name : {"COM10.ini", "CONSOLE.ini", "English.ini", "COMA.ini", "NULL.ini", "xCOM1.ini"})
        EXPECT_FALSE(IsDeviceName(FFolder / Utf8Name(name))) << name;
    // In the form that takes names as they stand, it is an ordinary name.
    EXPECT_FALSE(IsDeviceName(TPath(L"\\\\?\\C:\\Languages\\COM1.ini")));
}
#endif

TEST_F(FileSystemTest, PermissionsAreReadAndCopied)
{
    const fs::path original = Write("VeskColorPicker.ini");
    const fs::path replacement = Write("VeskColorPicker.ini.tmp");
    const TFileStatus writable = FileStatus(original);

    fs::permissions(original, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const TFileStatus readOnly = FileStatus(original);
    EXPECT_TRUE(readOnly.ReadOnly);

    ASSERT_TRUE(SetPermissions(replacement, readOnly));
    EXPECT_TRUE(FileStatus(replacement).ReadOnly);
    ASSERT_TRUE(SetPermissions(replacement, writable));
    EXPECT_FALSE(FileStatus(replacement).ReadOnly);
#ifndef _WIN32
    // POSIX keeps every permission bit, not only the write bits.
    fs::permissions(original, fs::perms(0640));
    ASSERT_TRUE(SetPermissions(replacement, FileStatus(original)));
    EXPECT_EQ(fs::status(replacement).permissions(), fs::perms(0640));
#endif
    EXPECT_FALSE(SetPermissions(FFolder / "Missing.ini", writable));
}

TEST_F(FileSystemTest, RemovesFilesOnly)
{
    const fs::path file = Write("VeskColorPicker.ini.0123.tmp");
    fs::create_directory(FFolder / "Languages");

    EXPECT_TRUE(RemoveFile(file));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(RemoveFile(file));
    EXPECT_FALSE(RemoveFile(FFolder / "Languages"));
    EXPECT_TRUE(fs::is_directory(FFolder / "Languages"));
}

TEST_F(FileSystemTest, ListsNamesAsTheSystemHoldsThem)
{
    Write("English.ini");
    Write("Čeština.ini");
    fs::create_directory(FFolder / "Old.ini");
    std::vector<std::string> expected = {"English.ini", "Old.ini/", "Čeština.ini"};
    // Links are followed; one whose target is gone is no folder. Windows
    // lets only some accounts make links, so there they may be left out.
    std::error_code noLinks;
    fs::create_directory_symlink(FFolder / "Old.ini", FFolder / "Linked", noLinks);
    if (!noLinks) {
        fs::create_directory_symlink(FFolder / "Gone", FFolder / "Broken", noLinks);
        if (!noLinks)
            expected.insert(expected.end(), {"Broken", "Linked/"});
    }

    std::vector<std::string> listed;
    for (const TFolderEntry& entry : ListFolder(TPath(FFolder)))
        listed.push_back(Utf8FromPath(entry.Name) + (entry.IsFolder ? "/" : ""));
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);

    EXPECT_TRUE(ListFolder(TPath(FFolder / "Missing")).empty());
    EXPECT_TRUE(ListFolder(TPath(FFolder / "English.ini")).empty());
}

TEST_F(FileSystemTest, AbsolutePathStartsFromTheCurrentFolder)
{
    const fs::path previous = fs::current_path();
    fs::current_path(FFolder);
    const TPath relative = AbsolutePath(PathFromUtf8("VeskColorPicker.ini"));
    const fs::path expected = fs::absolute("VeskColorPicker.ini");
    fs::current_path(previous);

    EXPECT_EQ(relative, TPath(expected));
    const TPath absolute(FFolder / "VeskColorPicker.ini");
    EXPECT_EQ(AbsolutePath(absolute), absolute);
    EXPECT_TRUE(AbsolutePath(TPath()).Empty());
}

} // namespace
