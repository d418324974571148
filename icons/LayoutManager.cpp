#include "icons/LayoutManager.h"

#include "common/Log.h"
#include "common/PathSep.h"
#include "common/Utf8.h"
#include "hook/HookProtocol.h"
#include "icons/LayoutNames.h"

const char kSaveLayoutError[] = "Error saving to specified layout file!";
const char kLoadLayoutError[] = "Error loading specified layout file!";
const char kDeleteLayoutQuestion[] = "Are you sure you want to delete this layout file?";
const char kDeleteLayoutError[] = "Error deleting layout file! If you have a desktop shortcut to this layout,\n"
                                  "delete the shortcut, log off or restart Windows, then try again.";
const char kRenameLayoutError[] = "Error renaming layout file! If you have a desktop shortcut to this layout,\n"
                                  "delete the shortcut, log off or restart Windows, then try again.";

CLayoutManager::CLayoutManager(const std::string& programFolder, ILayoutHost& host)
    : m_folder(programFolder), m_host(host)
{
}

std::string CLayoutManager::CheckedFileName(const std::string& name, bool silent)
{
    const std::string fileName = LayoutFileName(name);
    const LayoutNameProblem problem = CheckLayoutFileName(fileName, Utf16Length(m_folder.ProgramFolder()));
    if (problem == LayoutNameProblem::kNone)
        return fileName;
    if (silent)
        LogWarningFormat("Refused icon layout name: %s", name.c_str());
    else
        m_host.ShowError(LayoutNameProblemText(problem));
    return std::string();
}

int CLayoutManager::SaveLayout(const std::string& name, int type, bool silent)
{
    const int code = type == kShortcutsLayout ? HOOKMSG_SAVE_SHORTCUTS : HOOKMSG_SAVE_POSITIONS;
    std::string fileName;
    if (name.empty()) {
        int width = 0;
        int height = 0;
        m_host.ScreenSize(&width, &height);
        fileName = CheckedFileName(ScreenLayoutFileName(width, height), silent);
    } else {
        fileName = CheckedFileName(name, silent);
    }
    if (fileName.empty())
        return 0;
    if (!silent && m_folder.Exists(type, fileName) &&
        !m_host.Ask(LayoutQuestion::kReplace, ReplaceLayoutQuestion(fileName)))
        return 0;
    const unsigned long saved = m_host.SendLayoutRequest(code, fileName);
    if (!silent && !saved)
        m_host.ShowError(kSaveLayoutError);
    return saved ? 1 : 0;
}

int CLayoutManager::LoadLayout(const std::string& name, int type, bool silent)
{
    const int code = type == kShortcutsLayout ? HOOKMSG_LOAD_SHORTCUTS : HOOKMSG_LOAD_POSITIONS;
    // An empty name goes as ".dvl", which no layout is called: the load fails.
    const std::string fileName = name.empty() ? LayoutFileName(name) : CheckedFileName(name, silent);
    if (fileName.empty())
        return 0;
    const unsigned long loaded = m_host.SendLayoutRequest(code, fileName);
    if (!silent && !loaded)
        m_host.ShowError(kLoadLayoutError);
    return loaded ? 1 : 0;
}

int CLayoutManager::SaveButton(const std::string& name, int type)
{
    if (type == kShortcutsLayout) {
        int total = 0;
        int selected = 0;
        m_host.SelectedIconCount(&total, &selected);
        if (!m_host.Ask(LayoutQuestion::kSaveShortcuts, SaveShortcutsQuestion(total, selected)))
            return 0;
    }
    if (!SaveLayout(name, type, false))
        return 0;
    // Only a positions layout is loaded at start, and only one that was saved.
    if (type == kPositionsLayout) {
        m_defaultLayout = name;
        m_host.StoreDefaultLayout(m_defaultLayout);
    }
    return 1;
}

int CLayoutManager::DeleteButton(const std::string& name, int type)
{
    if (name.empty())
        return 0;
    const std::string fileName = CheckedFileName(name, false);
    if (fileName.empty())
        return 0;
    if (!m_host.Ask(LayoutQuestion::kDelete, kDeleteLayoutQuestion))
        return 0;
    if (!m_folder.Delete(type, fileName)) {
        m_host.ShowError(kDeleteLayoutError);
        return 0;
    }
    return 1;
}

int CLayoutManager::RenameButton(const std::string& selectedTitle, const std::string& newName, int type)
{
    if (selectedTitle.empty() || newName.empty())
        return 0;
    const std::string to = CheckedFileName(newName, false);
    if (to.empty())
        return 0;
    if (!m_folder.Rename(type, LayoutFileName(selectedTitle), to)) {
        m_host.ShowError(kRenameLayoutError);
        return 0;
    }
    return 1;
}

void CLayoutManager::IconifyButton(const std::string& name, int type)
{
    if (name.empty())
        return;
    const std::string fileName = CheckedFileName(name, false);
    if (fileName.empty())
        return;
    const int code = type == kShortcutsLayout ? HOOKMSG_ICONIFY_SHORTCUTS : HOOKMSG_ICONIFY_POSITIONS;
    // The hook library makes the desktop shortcut; it reports nothing.
    const std::string path = m_folder.ProgramFolder() + kPathSeparator + m_folder.RelativePath(type, fileName);
    m_host.SendLayoutRequest(code, path);
}

void CLayoutManager::OriginalButton()
{
    SaveLayout(kOriginalLayout, kPositionsLayout, true);
}

void CLayoutManager::StartUp()
{
    SaveLayout(kOriginalLayout, kPositionsLayout, true);
    if (!m_defaultLayout.empty())
        LoadLayout(m_defaultLayout, kPositionsLayout, true);
}

void CLayoutManager::RestoreOriginal()
{
    LoadLayout(kOriginalLayout, kPositionsLayout, true);
}

int CLayoutManager::LayoutLoaded(int type, const std::string& fileName)
{
    if (type != kPositionsLayout || fileName.empty() || IsOriginalLayoutFile(fileName))
        return 0;
    m_defaultLayout = fileName;
    m_host.StoreDefaultLayout(m_defaultLayout);
    return 1;
}
