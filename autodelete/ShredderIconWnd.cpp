#include "autodelete/ShredderIconWnd.h"

#include "autodelete/DeleteProgressDlg.h"
#include "files/TaskFolderCheck.h"
#include "autodelete/AutoDeleteResource.h"
#include "res/DesktopIconShapes.h"

namespace {

std::string Refusal(const FolderCheck& check)
{
    switch (check.problem) {
    case FolderProblem::kRoot: return "a whole drive";
    // "\\?\" names reach any file of the machine under Wine, and "C:\x\.."
    // names a drive root: neither is deleted as dropped.
    case FolderProblem::kDevicePath: return "a device path";
    case FolderProblem::kBadComponent: return "a path through . or ..";
    case FolderProblem::kProtected: return check.what;
    case FolderProblem::kHoldsProtected: return "holds " + check.what;
    default: return "";
    }
}

const CDesktopDropWnd::Pictures kShredderPictures = {IDB_SHREDDER_ICON, IDB_SHREDDER_ICON_16, IDB_SHREDDER_ICON_FOCUS,
                                                     IDB_SHREDDER_ICON_FOCUS_16};

}  // namespace

CShredderIconWnd::CShredderIconWnd(const std::string& programFolder)
    : CDesktopDropWnd(IDD_SHREDDER, kTitle, kShredderPictures), m_programFolder(programFolder)
{
}

void CShredderIconWnd::OnCreated()
{
    POINT points[47];
    for (int i = 0; i < 47; i++)
        points[i] = POINT{kShredderOutline[i].x, kShredderOutline[i].y};
    ScopedRegion region(CreatePolygonRgn(points, 47, WINDING));
    // The window owns the region once SetWindowRgn has taken it.
    if (region && SetWindowRgn(GetHwnd(), region.Get(), TRUE))
        region.Release();
}

std::vector<std::string> CShredderIconWnd::AcceptedPaths(const std::vector<std::string>& paths,
                                                         const std::string& programFolder, std::string* refused)
{
    std::vector<std::string> accepted;
    for (const std::string& path : paths) {
        const std::string why = Refusal(CheckTaskFolderHere(path, programFolder));
        if (why.empty())
            accepted.push_back(path);
        else if (refused)
            *refused += path + " (" + why + ")\n";
    }
    return accepted;
}

void CShredderIconWnd::HandleDrop(const std::vector<std::string>& paths)
{
    std::string refused;
    const std::vector<std::string> accepted = AcceptedPaths(paths, m_programFolder, &refused);
    if (!refused.empty()) {
        const std::string text = "These were not deleted, to keep Windows and Dervane working:\n\n" + refused;
        m_messageBox(GetHwnd(), text.c_str(), "Error", MB_OK | MB_ICONWARNING);
    }
    if (accepted.empty())
        return;
    CDeleteProgressDlg dialog(GetHwnd(), accepted);
    dialog.Run();
}
