#include "backup/BackupIconWnd.h"

#include "backup/BackupProgressDlg.h"
#include "backup/BackupResource.h"
#include "res/DesktopIconShapes.h"

#include <utility>

namespace {

CDesktopDropWnd::Pictures BackupPictures()
{
    CDesktopDropWnd::Pictures pictures;
    pictures.normal = IDB_BACKUP_ICON;
    pictures.normalLowColour = IDB_BACKUP_ICON_16;
    pictures.focused = IDB_BACKUP_ICON_FOCUS;
    pictures.focusedLowColour = IDB_BACKUP_ICON_FOCUS_16;
    return pictures;
}

template <size_t N> HRGN OutlineRegion(const OutlinePoint (&outline)[N])
{
    POINT points[N];
    for (size_t i = 0; i < N; i++)
        points[i] = POINT{outline[i].x, outline[i].y};
    return CreatePolygonRgn(points, static_cast<int>(N), WINDING);
}

}  // namespace

CBackupIconWnd::CBackupIconWnd(const CBackupConfigList& configs, std::function<void()> configureNow)
    : CDesktopDropWnd(IDD_BACKUP_ICON, kTitle, BackupPictures()), m_configs(configs),
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
