#include "app/Features.h"

#include "autodelete/DeletionFeature.h"
#include "backup/BackupFeature.h"
#include "cbt/CbtRespondEngine.h"
#include "common/FeatureHost.h"
#include "icons/DesktopIcons.h"
#include "icons/HookIconsHost.h"
#include "pages/MainSheet.h"  // the Backup page's place
#include "respond/AutoRespondFeature.h"
#include "tray/SystemCommands.h"
#include "tray/TrayIcons.h"

CFeatures::CFeatures(IFeatureHost& host)
{
    auto icons = std::make_unique<CDesktopIcons>(host, std::make_unique<CHookIconsHost>());
    m_owners.icons = icons.get();
    m_owners.desktopIcons = icons.get();
    m_desktopIcons = icons.get();
    Add(std::move(icons));

    auto tray = std::make_unique<CTrayIcons>(host, m_owners.icons, std::make_unique<CSystemCommands>());
    m_owners.tray = tray.get();
    Add(std::move(tray));

    auto respond = std::make_unique<CAutoRespondFeature>(host, std::make_unique<CCbtRespondEngine>());
    m_owners.respond = respond.get();
    Add(std::move(respond));

    auto deletion = std::make_unique<CDeletionFeature>(host, m_owners.icons);
    m_owners.deletion = deletion.get();
    Add(std::move(deletion));

    auto backup = std::make_unique<CBackupFeature>(host, CMainSheet::Backup);
    m_owners.backup = backup.get();
    Add(std::move(backup));
}

CFeatures::~CFeatures() = default;

void CFeatures::Start()
{
    for (auto& feature : m_features)
        feature->Start();
    m_started = true;
}

void CFeatures::ShowWindows()
{
    for (auto& feature : m_features)
        feature->ShowWindows();
}

void CFeatures::Stop()
{
    if (!m_started)
        return;
    m_started = false;
    for (auto it = m_features.rbegin(); it != m_features.rend(); ++it)
        (*it)->Stop();
}

void CFeatures::FeaturesSwitched(bool enabled)
{
    for (auto& feature : m_features)
        feature->FeaturesSwitched(enabled);
}

void CFeatures::TaskbarCreated()
{
    for (auto& feature : m_features)
        feature->TaskbarCreated();
}

void CFeatures::DisplayChanged()
{
    for (auto& feature : m_features)
        feature->DisplayChanged();
}

void CFeatures::EndSession()
{
    for (auto& feature : m_features)
        feature->EndSession();
}

bool CFeatures::InModalLoop(HWND* popup) const
{
    for (const auto& feature : m_features) {
        if (feature->InModalLoop(popup))
            return true;
    }
    return false;
}
