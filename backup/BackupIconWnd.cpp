#include "backup/BackupIconWnd.h"

#include "backup/BackupProgressDlg.h"
#include "backup/BackupResource.h"
#include "res/DesktopIconShapes.h"

#include <utility>

namespace {

const CDesktopDropWnd::Pictures kBackupPictures = {IDB_BACKUP_ICON, IDB_BACKUP_ICON_16, IDB_BACKUP_ICON_FOCUS,
                                                   IDB_BACKUP_ICON_FOCUS_16};

template <size_t N> HRGN OutlineRegion(const OutlinePoint (&outline)[N])
{
    POINT points[N];
    for (size_t i = 0; i < N; i++)
        points[i] = POINT{outline[i].x, outline[i].y};
    return CreatePolygonRgn(points, static_cast<int>(N), WINDING);
}

}  // namespace

CBackupIconWnd::CBackupIconWnd(const CBackupConfigList& configs, std::function<void()> configureNow)
    : CDesktopDropWnd(IDD_BACKUP_ICON, kTitle, kBackupPictures), m_configs(configs),
      m_configureNow(std::move(configureNow))
{
}

void CBackupIconWnd::OnFocusChanged()
{
    ScopedRegion region(HasFocus() ? OutlineRegion(kBackupFocusOutline) : OutlineRegion(kBackupOutline));
    // SetWindowRgn deletes the region it replaces and owns the new one; it
    // redraws at once only without the focus (the repaint that follows
    // covers the other case).
    if (region && SetWindowRgn(GetHwnd(), region.Get(), HasFocus() ? FALSE : TRUE))
        region.Release();
}

void CBackupIconWnd::HandleDrop(const std::vector<std::string>& paths)
{
    // The sheet stays usable while the dialog runs, and its page may change
    // the list meanwhile: the run works on the list as it was at the drop.
    const std::vector<BackupConfig> configs = m_configs.Configs();
    const BackupCommands commands = m_configs.Commands();
    CBackupProgressDlg dialog(GetHwnd(), configs, commands, paths, m_configureNow);
    dialog.Run();
}
