#include "respond/AutoRespondFeature.h"

#include "common/FeatureHost.h"
#include "common/Log.h"
#include "settings/SettingsStore.h"

#include <mmsystem.h>

#include <utility>

namespace {

const char kEnabled[] = "Property Respond Enabled";

}  // namespace

CAutoRespondFeature::CAutoRespondFeature(IFeatureHost& host, std::unique_ptr<IRespondEngine> engine)
    : m_host(host), m_engine(std::move(engine)), m_playSoundMessage(RegisterWindowMessageW(kRespondPlaySoundMessage))
{
}

CAutoRespondFeature::~CAutoRespondFeature() = default;

std::string CAutoRespondFeature::RuleFile() const
{
    return m_host.ProgramFolder() + "\\Respond.txt";
}

void CAutoRespondFeature::WriteEnabled() const
{
    const uint8_t enabled = m_enabled ? 1 : 0;
    m_host.Store().WriteBinary(kEnabled, &enabled, 1);
}

void CAutoRespondFeature::RunEngine(bool on)
{
    if (!m_engine)
        return;
    if (!on)
        m_engine->Stop();
    else if (m_enabled)
        m_engine->Start(GetHwnd(), m_host.ProgramFolder());
}

ListSaveResult CAutoRespondFeature::SaveAndTell()
{
    // The engine reads the file: it is told only once the new file stands.
    const ListSaveResult result = m_rules.Save(RuleFile());
    if (result == ListSaveResult::kWritten && m_engine)
        m_engine->RulesChanged();
    return result;
}

void CAutoRespondFeature::Start()
{
    if (m_started)
        return;
    m_started = true;
    CreateArgs args;
    args.className = "DervaneAutoRespond";
    args.style = 0;
    args.x = args.y = args.width = args.height = 0;
    args.parent = HWND_MESSAGE;
    if (!Create(args))
        LogWarning("Auto-respond has no window: the sounds of its rules are not played");
    m_rules.Load(RuleFile());
    uint8_t enabled = 0;
    m_enabled = m_host.Store().ReadValue(kEnabled, &enabled) && enabled != 0;
    if (m_enabled && m_host.Settings().enabled)
        RunEngine(true);
    if (m_engine)
        m_engine->RulesChanged();
}

void CAutoRespondFeature::Stop()
{
    if (!m_started)
        return;
    m_started = false;
    if (m_enabled)
        RunEngine(false);
    m_rules.Save(RuleFile());
    // The engine has stopped: nothing more comes. Sounds still on their way
    // are only freed.
    if (HWND window = GetHwnd()) {
        MSG msg;
        while (PeekMessageW(&msg, window, m_playSoundMessage, m_playSoundMessage, PM_REMOVE))
            HeapFree(GetProcessHeap(), 0, reinterpret_cast<void*>(msg.lParam));
        Destroy();
    }
}

void CAutoRespondFeature::FeaturesSwitched(bool enabled)
{
    if (m_started)
        RunEngine(enabled);
}

ListSaveResult CAutoRespondFeature::AddRule(RespondEntry rule)
{
    m_rules.Add(std::move(rule));
    return SaveAndTell();
}

ListSaveResult CAutoRespondFeature::ReplaceRule(int index, RespondEntry edited)
{
    if (index < 0 || index >= m_rules.Count())
        return ListSaveResult::kNotChanged;
    m_rules.Replace(index, std::move(edited));
    return SaveAndTell();
}

ListSaveResult CAutoRespondFeature::RemoveRule(int index)
{
    if (index < 0 || index >= m_rules.Count())
        return ListSaveResult::kNotChanged;
    m_rules.Remove(index);
    return SaveAndTell();
}

ListSaveResult CAutoRespondFeature::Apply(bool enabled)
{
    const bool was = m_enabled;
    m_enabled = enabled;
    WriteEnabled();
    const ListSaveResult result = SaveAndTell();
    if (was && !enabled)
        RunEngine(false);
    else if (!was && enabled && m_host.Settings().enabled)
        RunEngine(true);
    return result;
}

ListSaveResult CAutoRespondFeature::Save()
{
    WriteEnabled();
    return SaveAndTell();
}

void CAutoRespondFeature::RulesShown()
{
    if (m_engine)
        m_engine->RulesChanged();
}

LRESULT CAutoRespondFeature::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg != m_playSoundMessage || !m_playSoundMessage)
        return CWindow::WndProc(msg, wp, lp);
    // The engine has checked that the file is a WAVE file; playing goes on
    // after the call returns.
    auto* path = reinterpret_cast<wchar_t*>(lp);
    if (path) {
        if (!PlaySoundW(path, nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT))
            LogWarning("Auto-respond could not play a sound");
        HeapFree(GetProcessHeap(), 0, path);
    }
    return 0;
}
