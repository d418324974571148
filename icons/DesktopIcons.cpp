#include "icons/DesktopIcons.h"

#include "common/FeatureHost.h"
#include "common/HideRuleFile.h"
#include "framework/WaitCursor.h"
#include "hook/HookProtocol.h"
#include "settings/SettingsStore.h"

namespace {

const char kDefaultLayoutValue[] = "Property Icon Pos Default Layout";

}  // namespace

CDesktopIcons::CDesktopIcons(IFeatureHost& host, std::unique_ptr<IIconsHost> icons)
    : m_host(host), m_icons(std::move(icons)), m_layouts(host.ProgramFolder(), *this)
{
}

CDesktopIcons::~CDesktopIcons() = default;

void CDesktopIcons::SetMessageBox(HWND owner, MessageBoxFn messageBox)
{
    m_boxOwner = owner;
    m_messageBox = messageBox ? messageBox : &SystemMessageBox;
}

std::string CDesktopIcons::HideRuleFile() const
{
    return HideRuleFilePath(m_host.ProgramFolder());
}

void CDesktopIcons::Start()
{
    LoadHideRules();
    std::string defaultLayout;
    if (m_host.Store().ReadText(kDefaultLayoutValue, &defaultLayout))
        m_layouts.SetDefaultLayout(defaultLayout);
    m_layouts.StartUp();
}

void CDesktopIcons::WriteIconSettings()
{
    m_host.Store().WriteGroup(PropertyGroup::kIcon, m_host.Settings());
}

void CDesktopIcons::SetHideEnabled(bool on)
{
    SettingsBlock settings = m_host.Settings();
    settings.hideEnabled = on ? 1 : 0;
    m_host.ApplySettings(settings);
    WriteIconSettings();
    if (m_changed)
        m_changed();
}

void CDesktopIcons::HideByLabel(const char* label, int kind)
{
    SetHideEnabled(true);
    // A rule that is there already changes nothing: the file is written only
    // if an earlier change is still unwritten.
    if (m_rules.Add(label ? label : "", kind))
        m_rules.SetModified(true);
    SaveHideRules(nullptr);
}

void CDesktopIcons::UnhideByLabel(const char* label)
{
    if (!m_rules.Remove(label ? label : ""))
        return;
    m_rules.SetModified(true);
    SaveHideRules(nullptr);
}

bool CDesktopIcons::HasHideRule(const char* label) const
{
    return m_rules.Find(label ? label : "") != -1;
}

void CDesktopIcons::SetHideRules(const CHideRuleList& rules, HWND owner)
{
    m_rules = rules;
    SaveHideRules(owner);
}

void CDesktopIcons::SaveHideRules(HWND owner)
{
    const ListSaveResult result = m_rules.Save(HideRuleFile());
    if (result == ListSaveResult::kWritten)
        m_host.SendHookRequest(HOOKMSG_RELOAD_HIDE_RULES, "");
    else if (result == ListSaveResult::kFailed && owner)
        TellListNotWritten(owner, m_messageBox, "IconHide.txt");
}

void CDesktopIcons::LayoutLoaded(int type, const std::string& fileName)
{
    // A layout carries the label colours and the icon style; fields the
    // hook library has not set yet leave the settings as they are.
    const dervaneGroup1_t look = m_icons->Appearance();
    SettingsBlock settings = m_host.Settings();
    if (look.textForeground != 0xFFFFFFFFu)
        settings.textForeground = look.textForeground;
    if (look.textBackground != 0xFFFFFFFFu)
        settings.textBackground = look.textBackground;
    if (look.textBackgroundOpaque >= 0)
        settings.textBackgroundOpaque = look.textBackgroundOpaque != 0 ? 1 : 0;
    if (look.iconStyle == 0 || look.iconStyle == 1)
        settings.iconStyle = static_cast<uint8_t>(look.iconStyle);
    m_host.KeepSettings(settings);
    m_loadedName = fileName;
    m_loadedType = type;
    m_layouts.LayoutLoaded(type, m_loadedName);
    if (m_changed)
        m_changed();
}

// ---- What the layout manager asks ----

unsigned long CDesktopIcons::SendLayoutRequest(int code, const std::string& text)
{
    return m_host.SendHookRequest(code, text.c_str());
}

void CDesktopIcons::ScreenSize(int* width, int* height)
{
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

void CDesktopIcons::SelectedIconCount(int* total, int* selected)
{
    m_icons->SelectedIconCount(total, selected);
}

int CDesktopIcons::Show(const char* text, const char* caption, UINT type)
{
    return m_messageBox(m_boxOwner ? m_boxOwner : m_host.OwnerWindow(), text, caption, type);
}

bool CDesktopIcons::Ask(LayoutQuestion question, const std::string& text)
{
    switch (question) {
    case LayoutQuestion::kSaveShortcuts:
        return Show(text.c_str(), "Confirm Save", MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
    case LayoutQuestion::kReplace:
    case LayoutQuestion::kDelete: break;
    }
    return Show(text.c_str(), "Confirm", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void CDesktopIcons::ShowError(const std::string& text)
{
    Show(text.c_str(), "Error", MB_OK | MB_ICONEXCLAMATION);
}

void CDesktopIcons::StoreDefaultLayout(const std::string& name)
{
    m_host.Store().WriteText(kDefaultLayoutValue, name.c_str());
}
