#include "tests/app/ProgramFixture.h"

#include <commctrl.h>

#include "tests/harness/Wait.h"

std::string ProgramTestBase::TestFolderName()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : std::string("test");
    // Parameterised tests have "Prefix/Suite.Name/Case": one folder all the same.
    for (char& c : name) {
        if (c == '/')
            c = '.';
    }
    return name;
}

void ProgramTestBase::SetUp()
{
    ASSERT_TRUE(m_desktop.Open());
    ASSERT_TRUE(m_desktop.AddFile("Notes.txt"));
    ResetProgramRegistry();
    ASSERT_TRUE(m_folder.Create(TestFolderName()));
}

void ProgramTestBase::TearDown()
{
    m_second.Process().Stop();
    m_program.Process().Stop();
    m_session.Stop();
    m_desktop.Clear();
    ResetProgramRegistry();
}

void ProgramTestBase::StoreKnownLook()
{
    const COLORREF text = kText;
    const COLORREF back = kBack;
    const BYTE zero = 0;
    const BYTE one = 1;
    ASSERT_TRUE(WriteProgramBinary("Property Icon Text Foreground Color", &text, sizeof text));
    ASSERT_TRUE(WriteProgramBinary("Property Icon Text Background Color", &back, sizeof back));
    ASSERT_TRUE(WriteProgramBinary("Property Icon Text Background", &one, 1));
    ASSERT_TRUE(WriteProgramBinary("Property General First Time", &zero, 1));
}

::testing::AssertionResult ProgramTestBase::StartReady(CProgramProcess& program, const std::string& arguments,
                                                       COLORREF text, COLORREF back)
{
    if (!program.Start(m_folder, arguments))
        return ::testing::AssertionFailure() << "Dervane.exe did not start";
    if (!program.WaitMainWindow())
        return ::testing::AssertionFailure() << "no main window (exit code " << program.WaitExit(0) << ")";
    return WaitLook(text, back);
}

::testing::AssertionResult ProgramTestBase::WaitLook(COLORREF text, COLORREF back, DWORD timeoutMs)
{
    View view = {};
    if (WaitFor([&] { return Host().View(view) && view.textColor == text && view.textBkColor == back; }, timeoutMs, 50))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << "labels 0x" << view.textColor << " on 0x" << view.textBkColor
                                         << ", wanted 0x" << text << " on 0x" << back;
}

HWND ProgramTestBase::ShowPage(int index)
{
    if (!m_program.Command(40001) || !WaitFor([&] { return m_program.SheetVisible(); }, 10000))
        return nullptr;
    const HWND sheet = m_program.Sheet();
    SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

ProgramTestBase::View ProgramTestBase::ReadView()
{
    View view = {};
    EXPECT_TRUE(Host().View(view));
    return view;
}
