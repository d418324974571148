// Shows the Icons page in a property sheet, or the hide-icon rules dialog
// over it, with a few sample layouts and rules, for screenshots:
//   icons_page_shot.exe FOLDER [page|rules|shortcuts]
// FOLDER stands in for the program folder; "FOLDER\ready" is written once
// the windows are drawn. The program ends itself after 30 seconds.
#include "settings/SettingsStore.h"
#include "common/KeyedTextFile.h"
#include "framework/PropertySheet.h"
#include "icons/DesktopIcons.h"
#include "pages/HideIconsDialog.h"
#include "pages/IconsPage.h"
#include "pages/IconsResource.h"
#include "pages/PageHost.h"
#include "tests/harness/ShotTimers.h"
#include "PagesTestResources.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The program as the page sees it: every request succeeds, nothing is sent.
class ShotHost : public IPageHost {
public:
    explicit ShotHost(const std::string& folder) : m_folder(folder) { m_store.OpenKeys(); }
    const SettingsBlock& Settings() const override { return m_settings; }
    void KeepSettings(const SettingsBlock& settings) override { m_settings = settings; }
    void ApplySettings(const SettingsBlock& settings) override { m_settings = settings; }
    CSettingsStore& Store() override { return m_store; }
    const std::string& ProgramFolder() const override { return m_folder; }
    unsigned long SendHookRequest(int, const char*) override { return 1; }
    void SwitchFeatures(bool) override { }
    void ShowSheet(int) override { }
    void SheetShown(bool) override { }
    void ShowHelp() override { }
    void PostExit() override { }
    HWND OwnerWindow() const override { return nullptr; }
    HMODULE ResourceLibrary() const override { return nullptr; }
    int Platform() const override { return 2; }

private:
    std::string m_folder;
    SettingsBlock m_settings = {};
    CSettingsStore m_store;
};

// A desktop of twelve icons, none selected, with no appearance of its own.
class ShotIcons : public IIconsHost {
public:
    dervaneGroup1_t Appearance() override { return {0xFFFFFFFFu, 0xFFFFFFFFu, -1, -1}; }
    void SelectedIconCount(int* total, int* selected) override
    {
        *total = 12;
        *selected = 0;
    }
};

class BlankPage : public CPropertyPage {
public:
    BlankPage() : CPropertyPage(IDD_TEST_BLANK) { }
};

void WriteFile(const std::string& path, const char* const* records)
{
    CKeyedTextFile file(path.c_str());
    file.Create();
    for (; records[0]; records += 2)
        file.Write(records[0], records[1]);
}

void SampleFiles(const std::string& folder)
{
    CreateDirectoryA((folder + "\\Positions").c_str(), nullptr);
    CreateDirectoryA((folder + "\\Shortcuts").c_str(), nullptr);
    const char* const positions[] = {"KTX_FILE", "DERVANE ICON POSITIONS", nullptr, nullptr};
    for (const char* name : {"1024x768", "Home", "Presentation", "Work", "[original]"})
        WriteFile(folder + "\\Positions\\" + name + ".dvl", positions);
    const char* const shortcuts[] = {"KTX_FILE", "DERVANE ICON SHORTCUTS", "LOADED", "1", nullptr, nullptr};
    for (const char* name : {"Games", "Office tools"})
        WriteFile(folder + "\\Shortcuts\\" + name + ".dvl", shortcuts);
    const char* const rules[] = {"KTX_FILE", "DERVANE ICON HIDE", "VERSION", "1.0",
                                 "ENTRY_0",  "Recycle Bin\t0",    "ENTRY_1", "*.tmp\t0",
                                 "ENTRY_2",  "notepad.exe\t1",    nullptr,   nullptr};
    WriteFile(folder + "\\IconHide.txt", rules);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string folder = argv[1];
    const std::string mode = argc > 2 ? argv[2] : "page";
    SampleFiles(folder);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    ShotHost host(folder);
    CDesktopIcons owner(host, std::make_unique<ShotIcons>());
    CPropertySheet sheet;
    auto icons = std::make_unique<CIconsPage>(host, owner);
    CIconsPage* page = icons.get();
    owner.Start();
    if (mode == "shortcuts")
        owner.LayoutLoaded(kShortcutsLayout, "Games.dvl");
    sheet.AddPage(std::move(icons));
    sheet.AddPage(std::make_unique<BlankPage>());
    CPropertySheet::SheetArgs args;
    args.caption = "Dervane Properties";
    args.contextHelpButton = true;
    args.standardButtons = false;
    args.visible = true;
    if (!sheet.Create(args))
        return 1;
    if (mode == "page")
        page->SelectLayout(kPositionsLayout, "Home.dvl");
    StartShotTimers(folder);
    if (mode == "rules") {
        owner.SetHideEnabled(true);
        // Runs its own loop until the program ends.
        CHideIconsDialog rules(owner);
        rules.DoModal(page->GetHwnd());
        return 0;
    }
    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!sheet.PreTranslateMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
