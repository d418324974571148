// The help tables against the dialog templates and the built help file.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "help/ChmFile.h"
#include "help/HelpTables.h"
#include "pages/PageHelp.h"

namespace {

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

std::string HelpFile()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path);
    for (int up = 0; up < 2; ++up)  // the program folder holds the tests' folder
        folder.erase(folder.rfind('\\'));
    return folder + "\\Dervane.chm";
}

bool HasTemplate(unsigned dialog)
{
    return FindResourceA(nullptr, MAKEINTRESOURCEA(dialog), MAKEINTRESOURCEA(5)) != nullptr;  // RT_DIALOG
}

// Pages are child dialogs: they need a parent, and the common controls.
class PageHelp : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        m_parent = CreateWindowA("STATIC", "pages", WS_POPUP, 0, 0, 600, 500, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, m_parent);
    }
    void TearDown() override
    {
        DestroyWindow(m_parent);
        CoUninitialize();
    }
    HWND Create(unsigned dialog) const
    {
        return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog), m_parent, QuietDialog, 0);
    }
    HWND m_parent = nullptr;
};

}  // namespace

TEST_F(PageHelp, EveryControlOfAHelpTableStandsInItsDialog)
{
    int checked = 0;
    for (const HelpTable& table : kHelpTables) {
        if (!HasTemplate(table.dialog))
            continue;  // a page that is not built yet
        ++checked;
        HWND dialog = Create(table.dialog);
        ASSERT_NE(nullptr, dialog) << "dialog " << table.dialog;
        for (const unsigned long* pair = table.pairs; pair[0] != 0; pair += 2)
            EXPECT_NE(nullptr, GetDlgItem(dialog, static_cast<int>(pair[0])))
                << "dialog " << table.dialog << " has no control " << pair[0];
        DestroyWindow(dialog);
    }
    EXPECT_EQ(13, checked) << "About, General, Icons, Tray, Respond, Delete, Backup, the hide-icon rules, the two "
                              "backup editors, the rule editor, the tray icon picker and the tray menu editor";
}

TEST_F(PageHelp, HelpIdsFollowTheRuleWithTheSharedButtons)
{
    for (const HelpTable& table : kHelpTables) {
        for (const unsigned long* pair = table.pairs; pair[0] != 0; pair += 2) {
            const unsigned long own = 0x80000000UL + table.dialog * 0x10000UL + pair[0];
            const bool shared = pair[1] == kHelpIdOk || pair[1] == kHelpIdCancel || pair[1] == kHelpIdApply;
            EXPECT_TRUE(pair[1] == own || shared) << "dialog " << table.dialog << " control " << pair[0];
            EXPECT_EQ(pair[1], HelpIdOf(table.dialog, static_cast<int>(pair[0])));
        }
    }
    EXPECT_EQ(kHelpIdOk, HelpIdOf(102, 1037)) << "the Icons page's OK shares the About page's";
    EXPECT_EQ(0ul, HelpIdOf(102, 9999));
    EXPECT_EQ(0ul, HelpIdOf(9999, 1037));
}

TEST_F(PageHelp, EveryHelpIdHasItsTopicInTheBuiltHelpFile)
{
    const std::string chm = HelpFile();
    for (const HelpTable& table : kHelpTables) {
        if (!HasTemplate(table.dialog))
            continue;
        for (const unsigned long* pair = table.pairs; pair[0] != 0; pair += 2) {
            char inner[64];
            snprintf(inner, sizeof inner, kHelpPageFormat, pair[1]);
            std::string contents;
            EXPECT_TRUE(ReadChmFile(chm, inner, contents)) << inner << " missing from " << chm;
            EXPECT_FALSE(contents.empty()) << inner;
        }
        std::string topic;
        EXPECT_TRUE(ReadChmFile(chm, table.topic, topic)) << table.topic;
    }
}

TEST_F(PageHelp, OnlyControlsWithATopicTakeTheHelpMessages)
{
    HWND dialog = Create(115);
    ASSERT_NE(nullptr, dialog);
    HELPINFO info = {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = 1069;  // "Enable features from other pages."
    info.hItemHandle = GetDlgItem(dialog, 1069);
    EXPECT_TRUE(HandleContextHelp(dialog, 115, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)));
    info.iCtrlId = 4321;
    EXPECT_FALSE(HandleContextHelp(dialog, 115, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)));
    info.iContextType = HELPINFO_MENUITEM;
    info.iCtrlId = 1069;
    EXPECT_FALSE(HandleContextHelp(dialog, 115, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)));
    // A right click on the page itself is not a control's.
    EXPECT_FALSE(HandleContextHelp(dialog, 115, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog), 0));
    EXPECT_TRUE(HandleContextHelp(dialog, 115, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GetDlgItem(dialog, 1070)), 0));
    DestroyWindow(dialog);
}
