// CFeatures: the program's features, made by its core at start and kept to
// exit whether or not the property sheet is ever made. They start in the
// order Icons, Tray, Respond, Delete, Backup (after the general settings) and
// stop in the reverse order; only a started feature is stopped, so a program
// that never found the desktop writes none of the lists it never read.
#pragma once

#include "common/Feature.h"
#include "pages/PageOwners.h"

#include <memory>
#include <vector>

class CDesktopIcons;
class IFeatureHost;

class CFeatures {
public:
    explicit CFeatures(IFeatureHost& host);
    ~CFeatures();

    void Start();
    // After the desktop has the settings: the features' windows.
    void ShowWindows();
    void Stop();
    bool Started() const { return m_started; }

    void FeaturesSwitched(bool enabled);
    void TaskbarCreated();
    void DisplayChanged();
    void EndSession();
    bool InModalLoop(HWND* popup) const;

    // What the pages edit.
    const PageOwners& Owners() const { return m_owners; }
    CDesktopIcons& DesktopIcons() const { return *m_desktopIcons; }

private:
    void Add(std::unique_ptr<IFeature> feature) { m_features.push_back(std::move(feature)); }

    PageOwners m_owners;
    CDesktopIcons* m_desktopIcons = nullptr;
    // In the order of start.
    std::vector<std::unique_ptr<IFeature>> m_features;
    bool m_started = false;
};
