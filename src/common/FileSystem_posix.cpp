#include "common/FileSystem.h"

#include <cerrno>
#include <memory>
#include <string>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TFileStatus StatusOf(const struct stat& info)
{
    TFileStatus status;
    if (S_ISREG(info.st_mode))
        status.Kind = TFileKind::File;
    else if (S_ISDIR(info.st_mode))
        status.Kind = TFileKind::Folder;
    else
        status.Kind = TFileKind::Other;
    status.Permissions = static_cast<unsigned>(info.st_mode) & 07777u;
    status.ReadOnly = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return status;
}

struct TFolderCloser {
    void operator()(DIR* folder) const { ::closedir(folder); }
};

} // namespace

bool IsDeviceName(const TPath&)
{
    return false;
}

TFileStatus FileStatus(const TPath& path)
{
    struct stat info {};
    if (::stat(path.CStr(), &info) == 0)
        return StatusOf(info);
    TFileStatus status;
    // A missing folder on the way is as good as a missing file.
    status.Kind = errno == ENOENT || errno == ENOTDIR ? TFileKind::Missing : TFileKind::Unknown;
    return status;
}

bool CreateFolder(const TPath& folder)
{
    return ::mkdir(folder.CStr(), 0777) == 0 || (errno == EEXIST && FileStatus(folder).Kind == TFileKind::Folder);
}

bool RemoveFile(const TPath& file)
{
    return ::unlink(file.CStr()) == 0;
}

bool SetPermissions(const TPath& file, const TFileStatus& status)
{
    return ::chmod(file.CStr(), static_cast<mode_t>(status.Permissions)) == 0;
}

TPath AbsolutePath(const TPath& path)
{
    if (path.Empty() || path.Native().front() == '/')
        return path;
    std::string folder(256, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE)
            return path;
        folder.resize(folder.size() * 2);
    }
    folder.resize(folder.find('\0'));
    return TPath(std::move(folder)) / path;
}

std::vector<TFolderEntry> ListFolder(const TPath& folder)
{
    std::vector<TFolderEntry> entries;
    const std::unique_ptr<DIR, TFolderCloser> listing(::opendir(folder.CStr()));
    if (!listing)
        return entries;
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        TFolderEntry listed{TPath(name), false};
#ifdef DT_DIR
        if (entry->d_type == DT_DIR)
            listed.IsFolder = true;
        else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
#endif
            listed.IsFolder = FileStatus(folder / listed.Name).Kind == TFileKind::Folder;
        entries.push_back(std::move(listed));
    }
    return entries;
}
