#include "app/Features.h"

#include "autodelete/DeletionFeature.h"
#include "backup/BackupFeature.h"
#include "common/FeatureHost.h"
#include "pages/MainSheet.h"  // the Backup page's place

CFeatures::CFeatures(IFeatureHost& host)
{
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
