// The auto-respond rules: their files read and written as bytes, the
// duplicate test, and which windows, buttons and menu items a rule means.
#include "respond/RespondMatch.h"
#include "respond/RespondRuleList.h"

#include "common/Log.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kHeader[] = "KTX_FILE\tDERVANE RESPOND\r\nVERSION\t1.0\r\n";
const char kExample[] =
    "ENTRY_0\tConnect To\t0\t\t3\t1\r\nENTRY_0_ACTION_0\t1\tConnect\t0\t500\r\nENTRY_0_ACTION_1\t#%#\r\n";

class RespondRulesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LogResetState();
        LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
    }
    void TearDown() override { LogFreePath(); }

    CRespondRuleList Read(const std::string& bytes, bool withNames = false)
    {
        WriteBytes(file, bytes);
        CRespondRuleList list;
        list.Load(file, withNames);
        return list;
    }
    std::string Written(CRespondRuleList& list)
    {
        list.SetModified(true);
        EXPECT_EQ(ListSaveResult::kWritten, list.Save(file));
        return ReadBytes(file);
    }
    std::string ErrorLog() { return FileExists(dir.File("ErrorLog.txt")) ? ReadBytes(dir.File("ErrorLog.txt")) : ""; }

    TempDir dir;
    std::string file = dir.File("Respond.txt");
};

RespondEntry Rule(const std::string& title, const std::string& text)
{
    RespondEntry r;
    r.windowTitle = title;
    r.windowText = text;
    return r;
}

TEST_F(RespondRulesTest, TheExampleIsReadAndWrittenBackByteForByte)
{
    CRespondRuleList list = Read(std::string(kHeader) + kExample);
    ASSERT_EQ(1, list.Count());
    const RespondEntry& r = list.Rule(0);
    EXPECT_EQ("Connect To", r.windowTitle);
    EXPECT_EQ(kMatchExactly, r.titleMatch);
    EXPECT_EQ("", r.windowText);
    EXPECT_EQ(kMatchContaining, r.textMatch);
    EXPECT_TRUE(r.oncePerWindow);
    ASSERT_EQ(1u, r.actions.size());
    EXPECT_EQ(kActionPushButton, r.actions[0].kind);
    EXPECT_EQ("Connect", r.actions[0].label);
    EXPECT_EQ(500, r.actions[0].delay);
    EXPECT_EQ(std::string(kHeader) + kExample, Written(list));

    // A rule without actions: its one end record numbered 0.
    list.Add(Rule("", "Overwrite?"));
    EXPECT_NE(std::string::npos, Written(list).find("ENTRY_1\t\t0\tOverwrite?\t3\t0\r\nENTRY_1_ACTION_0\t#%#\r\n"));
}

TEST_F(RespondRulesTest, ShortAndOddRecordsReadWithTheirDefaults)
{
    CRespondRuleList list = Read(std::string(kHeader) +
                                 "ENTRY_0\tSave As\t1\r\n"
                                 "ENTRY_0_ACTION_0\t\r\n"  // empty: skipped, the next still read
                                 "ENTRY_0_ACTION_1\t5\r\n"  // no delay field: 1000
                                 "ENTRY_0_ACTION_2\t9\tx\t-1\t-70000\r\n"  // unknown kinds read as 0
                                 "ENTRY_0_ACTION_3\t#%#\r\n"
                                 "ENTRY_1\t\t0\t\t3\t0\r\nENTRY_1_ACTION_0\t#%#\r\n"  // neither title nor text
                                 "ENTRY_2\tNo end record\t7\r\nENTRY_2_ACTION_0\t3\t\t0\t0\r\n"
                                 "ENTRY_3\tLast\t0\tx\t3\t256\r\nENTRY_3_ACTION_0\t#%#\r\n");
    ASSERT_EQ(3, list.Count());
    const RespondEntry& r = list.Rule(0);
    EXPECT_EQ(kMatchStartingWith, r.titleMatch);
    EXPECT_EQ("", r.windowText);
    EXPECT_EQ(kMatchContaining, r.textMatch);
    EXPECT_FALSE(r.oncePerWindow);
    ASSERT_EQ(2u, r.actions.size());
    EXPECT_EQ(kActionClose, r.actions[0].kind);
    EXPECT_EQ(1000, r.actions[0].delay);
    EXPECT_EQ(kActionNone, r.actions[1].kind);
    EXPECT_EQ(kMatchExactly, r.actions[1].labelMatch);
    EXPECT_EQ(0, ClampedDelay(r.actions[1].delay));
    EXPECT_EQ(kMatchExactly, list.Rule(1).titleMatch);
    ASSERT_EQ(1u, list.Rule(1).actions.size());
    EXPECT_EQ("Last", list.Rule(2).windowTitle);
    EXPECT_FALSE(list.Rule(2).oncePerWindow);
    EXPECT_NE(std::string::npos, ErrorLog().find("Respond.txt: entry 1 skipped: no window title nor text"));

    EXPECT_EQ(0, Read("KTX_FILE\tDERVANE RESPONDS\r\n" + std::string(kExample)).Count());
}

TEST_F(RespondRulesTest, ReadyMadeRulesKeepTheirNamesButNamesAreNeverWritten)
{
    CRespondRuleList list = Read(std::string(kHeader) + "ENTRY_0\tReplace File\t0\t\t3\t0\tOverwrite prompt\r\n" +
                                     "ENTRY_0_ACTION_0\t#%#\r\n",
                                 true);
    ASSERT_EQ(1, list.Count());
    EXPECT_EQ("Overwrite prompt", list.Rule(0).name);
    EXPECT_EQ(std::string(kHeader) + "ENTRY_0\tReplace File\t0\t\t3\t0\r\nENTRY_0_ACTION_0\t#%#\r\n", Written(list));
}

TEST_F(RespondRulesTest, AFieldThatCannotBeKeptFailsTheWriteAndKeepsTheOldFile)
{
    CRespondRuleList list = Read(std::string(kHeader) + kExample);
    EXPECT_EQ(ListSaveResult::kNotChanged, list.Save(file));
    list.Add(Rule("Tab\there", ""));
    EXPECT_EQ(ListSaveResult::kFailed, list.Save(file));
    EXPECT_TRUE(list.IsModified());
    EXPECT_EQ(std::string(kHeader) + kExample, ReadBytes(file));
    EXPECT_NE(std::string::npos, ErrorLog().find("Cannot create Respond.txt file"));
    EXPECT_NE(nullptr, CRespondRuleList::FieldProblem(std::string(261, 'a')));
}

TEST_F(RespondRulesTest, DuplicatesAreTheSameTitleAndTextWithoutRegardToCase)
{
    CRespondRuleList list;
    list.Add(Rule("Connect To", ""));
    list.Add(Rule("A", "B"));
    EXPECT_TRUE(list.IsDuplicateRule(Rule("CONNECT TO", "")));
    EXPECT_FALSE(list.IsDuplicateRule(Rule("A", "C")));
    EXPECT_TRUE(list.IsDuplicateRule(Rule("a", "b")));
    EXPECT_TRUE(list.IsDuplicateRule(Rule("", "b")));
    EXPECT_FALSE(list.IsDuplicateRule(Rule("", "")));
}

TEST_F(RespondRulesTest, TheReadyMadeRulesAllHaveANameAndActionsToDo)
{
    // Under Wine the build's folder is the prefix's drive D:, whose path the
    // build cannot know: the program folder's copy is read there.
#ifdef _WIN32
    const char* path = "..\\RespondCommon.txt";
#else
    const char* path = DERVANE_COMMON_RULES;
#endif
    CRespondRuleList list;
    ASSERT_EQ(1, list.Load(path, true));
    EXPECT_GE(list.Count(), 8);
    for (const RespondEntry& r : list.Rules()) {
        EXPECT_FALSE(r.name.empty()) << r.windowTitle << r.windowText;
        ASSERT_FALSE(r.actions.empty()) << r.name;
        for (const RespondAction& a : r.actions)
            EXPECT_NE(kActionNone, a.kind) << r.name;
    }
    EXPECT_EQ("", ErrorLog());
}

TEST(RespondMatch, TitlesTextsAndLabelsMatchByTheirKindIgnoringCaseAndAccessKeys)
{
    EXPECT_TRUE(TextMatches(kMatchExactly, "confirm file replace", "Confirm File Replace"));
    EXPECT_FALSE(TextMatches(kMatchExactly, "Confirm", "Confirm File Replace"));
    EXPECT_TRUE(TextMatches(kMatchStartingWith, "CONFIRM", "Confirm File Replace"));
    EXPECT_TRUE(TextMatches(kMatchEndingWith, "replace", "Confirm File Replace"));
    EXPECT_TRUE(TextMatches(kMatchContaining, "file", "Confirm File Replace"));
    EXPECT_FALSE(TextMatches(kMatchContaining, "Replace it", "Replace"));
    // UTF-8 in every script: Latin-1, Greek, Cyrillic letters without case.
    EXPECT_TRUE(TextMatches(kMatchExactly, "\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"));  // ÉTÉ, été
    EXPECT_TRUE(TextMatches(kMatchStartingWith, "\xCE\x91\xCE\x9B\xCE\xA6\xCE\x91",
                            "\xCE\xB1\xCE\xBB\xCF\x86\xCE\xB1 \xCE\xB2"));  // ΑΛΦΑ, αλφα β
    EXPECT_TRUE(TextMatches(kMatchEndingWith, "\xD0\x94\xD0\x90", "\xD0\xB4\xD0\xB0"));  // ДА, да
    EXPECT_FALSE(TextMatches(kMatchContaining, "\xCE\xB2", "\xCE\xB1\xCE\xBB"));  // β not in αλ
    EXPECT_TRUE(LabelMatches(RespondAction{kActionPushButton, "&\xCE\x9D\xCE\xB1\xCE\xB9", kMatchExactly, 0},
                             "\xCE\xBD\xCE\xB1&\xCE\xB9"));  // &Ναι, να&ι

    RespondAction push;
    push.kind = kActionPushButton;
    push.label = "Yes to All";
    EXPECT_TRUE(LabelMatches(push, "Yes to &All"));
    push.label = "Save & Exit";
    EXPECT_TRUE(LabelMatches(push, "Save && E&xit"));
    push.label = "Open";
    EXPECT_TRUE(LabelMatches(push, "&Open\tCtrl+O"));
    EXPECT_FALSE(LabelMatches(push, "Open With"));

    RespondEntry rule = Rule("Save Changes", "want to save");
    EXPECT_TRUE(RuleMatchesWindow(rule, "save changes", {"", "Do you want to save the changes?"}));
    EXPECT_FALSE(RuleMatchesWindow(rule, "Save Changes", {"Save the changes?"}));
    EXPECT_FALSE(RuleMatchesWindow(Rule("", ""), "", {""}));
    EXPECT_TRUE(RuleMatchesWindow(Rule("", "want to save"), "Anything", {"Do you want to save?"}));
    EXPECT_EQ(60000, ClampedDelay(INT32_MAX));
}

}  // namespace
