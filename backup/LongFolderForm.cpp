#include "backup/LongFolderForm.h"

#include "files/TaskFolderCheck.h"
#include "backup/BackupRules.h"
#include "common/Utf8.h"

#include <windows.h>

#include <vector>

namespace {

// Where each separator of path stands (in UTF-8 no byte of another
// character is a '\' or a '/').
std::vector<size_t> SeparatorPositions(const std::string& path)
{
    std::vector<size_t> positions;
    for (size_t i = 0; i < path.size(); i++) {
        if (path[i] == '\\' || path[i] == '/')
            positions.push_back(i);
    }
    return positions;
}

// The long form of an existing path, or empty. The wide call: the ANSI one
// fills at most MAX_PATH bytes, too few for a path in UTF-8.
std::string Resolved(const std::string& path)
{
    const std::wstring wide = Utf8ToWide(path.c_str());
    const DWORD needed = GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0)
        return std::string();
    std::wstring longForm(needed, L'\0');
    const DWORD length = GetLongPathNameW(wide.c_str(), &longForm[0], needed);
    return length == 0 || length >= needed ? std::string() : WideToUtf8(longForm.c_str(), length);
}

}  // namespace

std::string LongFolderForm(const std::string& path)
{
    // A bare drive ("C:") would be taken as that drive's current folder.
    if (path.size() <= 2 || Utf16Length(path) >= MAX_PATH)
        return path;
    std::string whole = Resolved(path);
    if (!whole.empty())
        return whole;
    // The target may not exist yet: the longest prefix that does, then the
    // names below it as they were written.
    const std::vector<size_t> separators = SeparatorPositions(path);
    for (auto at = separators.rbegin(); at != separators.rend(); ++at) {
        const std::string prefix = path.substr(0, *at + 1);
        std::string resolved = Resolved(prefix);
        if (resolved.empty())
            continue;
        if (resolved.back() != '\\' && resolved.back() != '/')
            resolved += '\\';
        return resolved + path.substr(*at + 1);
    }
    return path;
}

std::string ConfigProblemOnDisk(const BackupConfig& config)
{
    std::string problem = ConfigProblem(config);
    if (problem.empty())
        problem = FolderOverlapProblem(LongFolderForm(config.source), LongFolderForm(config.target));
    if (!problem.empty())
        return problem;
    // A bare drive ("C:", what the editor keeps of "C:\") is its root, not
    // that drive's current folder.
    const std::string sourcePath = config.source.size() == 2 ? config.source + "\\" : config.source;
    const std::string targetPath = config.target.size() == 2 ? config.target + "\\" : config.target;
    if (IsLinkItself(sourcePath))
        return "The source folder cannot be a link to another folder.";
    if (IsLinkItself(targetPath))
        return "The target folder cannot be a link to another folder.";
    const FolderOnDisk source = LookUpFolder(sourcePath);
    const FolderOnDisk target = LookUpFolder(targetPath);
    if (IsSameFolder(source, target))
        return "The target folder cannot be the source folder.";
    if (HoldsFolder(source, target))
        return "The target folder cannot lie inside the source folder.";
    if (HoldsFolder(target, source))
        return "The source folder cannot lie inside the target folder.";
    return "";
}
