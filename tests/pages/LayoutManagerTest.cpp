#include "icons/LayoutManager.h"

#include "LayoutTestFiles.h"
#include "hook/HookProtocol.h"
#include "icons/LayoutNames.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Request {
    int code;
    std::string text;
    bool operator==(const Request& other) const { return code == other.code && text == other.text; }
};

std::ostream& operator<<(std::ostream& out, const Request& r)
{
    return out << "{" << r.code << ", \"" << r.text << "\"}";
}

// Answers as the hook library would, and records what the manager asked.
class FakeLayoutHost : public ILayoutHost {
public:
    unsigned long answer = 1;
    int total = 12;
    int selected = 0;
    std::deque<bool> answers;  // for the questions, in order; none left: No
    std::vector<Request> requests;
    std::vector<std::pair<LayoutQuestion, std::string>> questions;
    std::vector<std::string> errors;
    std::vector<std::string> storedDefaults;

    unsigned long SendLayoutRequest(int code, const std::string& text) override
    {
        requests.push_back({code, text});
        return answer;
    }
    void ScreenSize(int* width, int* height) override
    {
        *width = 1024;
        *height = 768;
    }
    void SelectedIconCount(int* t, int* s) override
    {
        *t = total;
        *s = selected;
    }
    bool Ask(LayoutQuestion question, const std::string& text) override
    {
        questions.push_back({question, text});
        if (answers.empty())
            return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    void StoreDefaultLayout(const std::string& name) override { storedDefaults.push_back(name); }
};

using Requests = std::vector<Request>;
using Strings = std::vector<std::string>;

class LayoutManagerTest : public testing::Test {
protected:
    TempDir dir;
    FakeLayoutHost host;
    CLayoutManager manager{dir.Path(), host};

    std::string Positions(const char* name) const
    {
        return dir.Path() + kPathSeparator + "Positions" + kPathSeparator + name;
    }
};

}  // namespace

TEST_F(LayoutManagerTest, SavingWithAnEmptyNameSavesTheLayoutOfTheScreenSize)
{
    EXPECT_EQ(1, manager.SaveButton("", kPositionsLayout));
    EXPECT_EQ((Requests{{HOOKMSG_SAVE_POSITIONS, "1024x768.dvl"}}), host.requests);
    EXPECT_TRUE(host.questions.empty());
    // The default layout is the name as typed.
    EXPECT_EQ((Strings{""}), host.storedDefaults);
}

TEST_F(LayoutManagerTest, SavingOverAnExistingLayoutAsksAndNoSendsNothing)
{
    WritePositions(dir.Path(), "Home.dvl");
    EXPECT_EQ(0, manager.SaveButton("Home", kPositionsLayout));
    ASSERT_EQ(1u, host.questions.size());
    EXPECT_EQ(LayoutQuestion::kReplace, host.questions[0].first);
    EXPECT_EQ("Replace existing layout \"Home\"?", host.questions[0].second);
    EXPECT_TRUE(host.requests.empty());
    EXPECT_TRUE(host.storedDefaults.empty());

    host.answers = {true};
    EXPECT_EQ(1, manager.SaveButton("Home", kPositionsLayout));
    EXPECT_EQ((Requests{{HOOKMSG_SAVE_POSITIONS, "Home.dvl"}}), host.requests);
    EXPECT_EQ("Home", manager.DefaultLayout());
    EXPECT_EQ((Strings{"Home"}), host.storedDefaults);
}

TEST_F(LayoutManagerTest, TheReplaceQuestionLooksInTheFolderOfTheListType)
{
    WritePositions(dir.Path(), "Home.dvl");
    EXPECT_EQ(1, manager.SaveLayout("Home", kShortcutsLayout, false));
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ((Requests{{HOOKMSG_SAVE_SHORTCUTS, "Home.dvl"}}), host.requests);
    // A name typed with its extension is used as it stands.
    WriteShortcuts(dir.Path(), "Work.DVL", 1);
    host.requests.clear();
    host.answers = {true};
    EXPECT_EQ(1, manager.SaveLayout("Work.DVL", kShortcutsLayout, false));
    ASSERT_EQ(1u, host.questions.size());
    EXPECT_EQ("Replace existing layout \"Work\"?", host.questions[0].second);
    EXPECT_EQ((Requests{{HOOKMSG_SAVE_SHORTCUTS, "Work.DVL"}}), host.requests);
}

TEST_F(LayoutManagerTest, AFailedSaveIsShownAndDoesNotBecomeTheDefault)
{
    host.answer = 0;
    EXPECT_EQ(0, manager.SaveButton("Home", kPositionsLayout));
    EXPECT_EQ((Strings{kSaveLayoutError}), host.errors);
    EXPECT_TRUE(host.storedDefaults.empty());
    EXPECT_EQ("", manager.DefaultLayout());
    // Silent saves show nothing.
    host.errors.clear();
    EXPECT_EQ(0, manager.SaveLayout("Other", kPositionsLayout, true));
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(LayoutManagerTest, ShortcutsSaveAsksHowManyShortcutsFirst)
{
    host.total = 12;
    host.selected = 1;
    EXPECT_EQ(0, manager.SaveButton("Work", kShortcutsLayout));
    ASSERT_EQ(1u, host.questions.size());
    EXPECT_EQ(LayoutQuestion::kSaveShortcuts, host.questions[0].first);
    EXPECT_EQ("Save layout with 1 shortcut?", host.questions[0].second);
    EXPECT_TRUE(host.requests.empty());

    host.questions.clear();
    host.selected = 0;
    host.answers = {true};
    EXPECT_EQ(1, manager.SaveButton("Work", kShortcutsLayout));
    EXPECT_EQ("Save layout with 12 shortcuts (entire desktop)?", host.questions.at(0).second);
    EXPECT_EQ((Requests{{HOOKMSG_SAVE_SHORTCUTS, "Work.dvl"}}), host.requests);
    // Only positions layouts are loaded at start.
    EXPECT_TRUE(host.storedDefaults.empty());
}

TEST_F(LayoutManagerTest, RefusedNamesAreExplainedAndNothingIsSentOrTouched)
{
    const std::string longName(300, 'n');
    for (const std::string& name :
         {std::string("a/b"), std::string("..\\..\\x"), std::string("what?"), std::string("CON"), longName}) {
        host.errors.clear();
        EXPECT_EQ(0, manager.SaveButton(name, kPositionsLayout)) << name;
        EXPECT_EQ(0, manager.LoadLayout(name, kPositionsLayout, false)) << name;
        EXPECT_EQ(0, manager.DeleteButton(name, kPositionsLayout)) << name;
        manager.IconifyButton(name, kPositionsLayout);
        EXPECT_EQ(4u, host.errors.size()) << name;
    }
    EXPECT_TRUE(host.requests.empty());
    EXPECT_TRUE(host.questions.empty());
    EXPECT_FALSE(FileExists(dir.File("x.dvl")));
    EXPECT_EQ(LayoutNameProblemText(LayoutNameProblem::kTooLong), host.errors[0]);
}

TEST_F(LayoutManagerTest, LoadSendsTheFileNameOfTheListTypeAndShowsFailures)
{
    EXPECT_EQ(1, manager.LoadLayout("Home", kPositionsLayout, false));
    EXPECT_EQ(1, manager.LoadLayout("Work.dvl", kShortcutsLayout, false));
    EXPECT_EQ((Requests{{HOOKMSG_LOAD_POSITIONS, "Home.dvl"}, {HOOKMSG_LOAD_SHORTCUTS, "Work.dvl"}}), host.requests);
    EXPECT_TRUE(host.errors.empty());

    host.answer = 0;
    host.requests.clear();
    EXPECT_EQ(0, manager.LoadLayout("", kPositionsLayout, false));
    EXPECT_EQ((Requests{{HOOKMSG_LOAD_POSITIONS, ".dvl"}}), host.requests);
    EXPECT_EQ((Strings{kLoadLayoutError}), host.errors);
    EXPECT_EQ(0, manager.LoadLayout("Home", kPositionsLayout, true));
    EXPECT_EQ(1u, host.errors.size());
}

TEST_F(LayoutManagerTest, DeleteAsksAndDeletesTheNamedFileOnly)
{
    const std::string home = WritePositions(dir.Path(), "Home.dvl");
    const std::string work = WritePositions(dir.Path(), "Work.dvl");
    EXPECT_EQ(0, manager.DeleteButton("Home", kPositionsLayout));
    ASSERT_EQ(1u, host.questions.size());
    EXPECT_EQ(LayoutQuestion::kDelete, host.questions[0].first);
    EXPECT_EQ(kDeleteLayoutQuestion, host.questions[0].second);
    EXPECT_TRUE(FileExists(home));

    host.answers = {true};
    EXPECT_EQ(1, manager.DeleteButton("Home", kPositionsLayout));
    EXPECT_FALSE(FileExists(home));
    EXPECT_TRUE(FileExists(work));
    EXPECT_TRUE(host.errors.empty());

    host.answers = {true};
    EXPECT_EQ(0, manager.DeleteButton("Home", kPositionsLayout));
    EXPECT_EQ((Strings{kDeleteLayoutError}), host.errors);
    EXPECT_TRUE(host.requests.empty());
}

TEST_F(LayoutManagerTest, RenameMovesTheSelectedLayoutToTheTypedName)
{
    WritePositions(dir.Path(), "Home.dvl");
    WritePositions(dir.Path(), "Work.dvl");
    EXPECT_EQ(1, manager.RenameButton("Home", "Office", kPositionsLayout));
    EXPECT_EQ((Strings{"Office", "Work"}), manager.Folder().ListTitles(kPositionsLayout));
    EXPECT_TRUE(host.errors.empty());

    EXPECT_EQ(0, manager.RenameButton("Office", "Work", kPositionsLayout));
    EXPECT_EQ((Strings{kRenameLayoutError}), host.errors);
    EXPECT_EQ(0, manager.RenameButton("Office", "Wo|rk", kPositionsLayout));
    EXPECT_EQ(LayoutNameProblemText(LayoutNameProblem::kBadCharacter), host.errors.back());
    EXPECT_EQ((Strings{"Office", "Work"}), manager.Folder().ListTitles(kPositionsLayout));
}

TEST_F(LayoutManagerTest, IconifySendsTheFullPathAndIgnoresTheAnswer)
{
    host.answer = 0;
    manager.IconifyButton("Home", kPositionsLayout);
    manager.IconifyButton("Work.DVL", kShortcutsLayout);
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ((Requests{{HOOKMSG_ICONIFY_POSITIONS, dir.Path() + sep + "Positions" + sep + "Home.dvl"},
                        {HOOKMSG_ICONIFY_SHORTCUTS, dir.Path() + sep + "Shortcuts" + sep + "Work.DVL"}}),
              host.requests);
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(LayoutManagerTest, TheOriginalIsSavedAtStartAndByTheButtonWithoutQuestionsAndRestoredAtExit)
{
    WritePositions(dir.Path(), "[original].dvl");
    manager.StartUp();
    manager.OriginalButton();
    host.answer = 0;
    manager.RestoreOriginal();
    EXPECT_EQ((Requests{{HOOKMSG_SAVE_POSITIONS, "[original].dvl"},
                        {HOOKMSG_SAVE_POSITIONS, "[original].dvl"},
                        {HOOKMSG_LOAD_POSITIONS, "[original].dvl"}}),
              host.requests);
    EXPECT_TRUE(host.questions.empty());
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(LayoutManagerTest, StartUpLoadsTheDefaultLayoutAfterSavingTheOriginal)
{
    manager.SetDefaultLayout("Home.dvl");
    host.answer = 0;  // a default layout that is gone shows nothing
    manager.StartUp();
    EXPECT_EQ((Requests{{HOOKMSG_SAVE_POSITIONS, "[original].dvl"}, {HOOKMSG_LOAD_POSITIONS, "Home.dvl"}}),
              host.requests);
    EXPECT_TRUE(host.errors.empty());
    EXPECT_TRUE(host.storedDefaults.empty());
}

TEST_F(LayoutManagerTest, ALoadedPositionsLayoutOtherThanTheOriginalBecomesTheDefault)
{
    EXPECT_EQ(0, manager.LayoutLoaded(kPositionsLayout, "[ORIGINAL].DVL"));
    EXPECT_EQ(0, manager.LayoutLoaded(kShortcutsLayout, "Work.dvl"));
    EXPECT_TRUE(host.storedDefaults.empty());
    EXPECT_EQ(1, manager.LayoutLoaded(kPositionsLayout, "Home.dvl"));
    EXPECT_EQ("Home.dvl", manager.DefaultLayout());
    EXPECT_EQ((Strings{"Home.dvl"}), host.storedDefaults);
}

TEST_F(LayoutManagerTest, FilesAreFoundInTheProgramFolderWhateverTheCurrentFolder)
{
    TempDir elsewhere;
    WritePositions(elsewhere.Path(), "Home.dvl");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.Path());
    host.answers = {true, true};
    const int saved = manager.SaveButton("Home", kPositionsLayout);
    const int deleted = manager.DeleteButton("Home", kPositionsLayout);
    std::filesystem::current_path(before);

    EXPECT_EQ(1, saved);
    // No replace question: the program folder has no Home layout.
    ASSERT_EQ(1u, host.questions.size());
    EXPECT_EQ(LayoutQuestion::kDelete, host.questions[0].first);
    EXPECT_EQ(0, deleted);
    EXPECT_TRUE(FileExists(elsewhere.Path() + kPathSeparator + "Positions" + kPathSeparator + "Home.dvl"));
}
