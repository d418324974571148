// Auto-respond in the running program: with the Respond page's switch on,
// the engine answers another program's message box by the rules of
// Respond.txt, and the program's features switch stops and starts it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/app/ProgramFixture.h"
#include "tests/harness/ChildProcess.h"

namespace {

constexpr UINT kDisable = 40004;  // the tray menu's "Disable"
constexpr DWORD kAnswerMs = 8000;

class ProgramRespondTest : public ProgramTestBase {
protected:
    static std::string Box(const char* title)
    {
        return "\"" + CChildProcess::ModuleFolder() + "RespondTarget.exe\" msgbox \"" + title +
            "\" \"Do you want to replace it?\"";
    }
};

}  // namespace

TEST_F(ProgramRespondTest, TheEngineAnswersAnotherProgramsBoxWhileTheFeaturesAreOn)
{
    StoreKnownLook();
    const uint8_t on = 1;
    ASSERT_TRUE(WriteProgramBinary("Property Respond Enabled", &on, 1));
    ASSERT_TRUE(m_folder.WriteFile("Respond.txt",
                                   "KTX_FILE\tDERVANE RESPOND\r\nVERSION\t1.0\r\n"
                                   "ENTRY_0\tReplace\t1\treplace it\t3\t0\r\n"
                                   "ENTRY_0_ACTION_0\t1\tYes\t0\t0\r\nENTRY_0_ACTION_1\t#%#\r\n"));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));

    CChildProcess first;
    ASSERT_TRUE(first.Start(Box("Replace File")));
    EXPECT_EQ(IDYES, first.WaitExit(kAnswerMs)) << "answered by the rule";

    // Features off: the engine stops, and a box waits for its user.
    ASSERT_TRUE(m_program.Command(kDisable));
    CChildProcess unanswered;
    ASSERT_TRUE(unanswered.Start(Box("Replace Again")));
    EXPECT_EQ(-1, unanswered.WaitExit(2000)) << "nobody answers while the features are off";
    unanswered.Stop();

    ASSERT_TRUE(m_program.Command(kDisable));
    CChildProcess again;
    ASSERT_TRUE(again.Start(Box("Replace Once More")));
    EXPECT_EQ(IDYES, again.WaitExit(kAnswerMs)) << "answered again once the features are back";
    EXPECT_NE(std::string::npos, m_folder.ReadFile("Respond.log").find("PUSH BUTTON \"Yes\": done"));
}
