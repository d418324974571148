// The built Dervane.chm read back through the system, against the help
// tables the program's dialogs use.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <set>

#include "help/ChmFile.h"
#include "help/HelpPopupText.h"
#include "help/HelpTables.h"

namespace {

class ComScope {
public:
    ComScope() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComScope() { CoUninitialize(); }
};

std::string HelpFilePath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    for (int up = 0; up < 2; ++up)
        folder.resize(folder.find_last_of('\\'));
    return folder + "\\Dervane.chm";
}

std::string Inside(const std::string& inner)
{
    std::string contents;
    EXPECT_EQ(ReadChmFile(HelpFilePath(), inner, contents), 1) << inner;
    return contents;
}

std::string PageOf(unsigned long helpId)
{
    char page[64];
    std::snprintf(page, sizeof page, kHelpPageFormat, helpId);
    return page;
}

const char* const kTopics[] = {
    "index.htm",           "tray-menu.htm",      "about.htm",       "general.htm",          "icons.htm",
    "hide-icons.htm",      "tray.htm",           "tray-icon.htm",   "tray-menu-editor.htm", "respond.htm",
    "respond-entry.htm",   "delete.htm",         "delete-task.htm", "backup.htm",           "backup-config.htm",
    "backup-advanced.htm", "desktop-windows.htm", "command-line.htm"};

TEST(HelpFile, HoldsATopicForEveryPageAndDialogAndListsEachInItsContents)
{
    ComScope com;
    const std::string contents = Inside("Dervane.hhc");
    ASSERT_FALSE(contents.empty());
    for (const char* topic : kTopics) {
        const std::string page = Inside(topic);
        EXPECT_NE(page.find("<title>"), std::string::npos) << topic;
        EXPECT_NE(page.find("<h1>"), std::string::npos) << topic;
        EXPECT_NE(contents.find(std::string("value=\"") + topic + "\""), std::string::npos) << topic;
    }
}

TEST(HelpFile, AFileThatIsNotThereCannotBeRead)
{
    ComScope com;
    std::string contents = "old";
    EXPECT_EQ(ReadChmFile(HelpFilePath(), "no-such-topic.htm", contents), 0);
    EXPECT_TRUE(contents.empty());
    EXPECT_EQ(ReadChmFile(HelpFilePath() + ".missing", "index.htm", contents), 0);
    EXPECT_EQ(ReadChmFile("", "index.htm", contents), 0);
}

// The topic and anchor a per-id page links to, as "topic#anchor".
std::string LinkOf(const std::string& page)
{
    const std::string marker = "<a href=\"../";
    const size_t at = page.find(marker);
    if (at == std::string::npos)
        return {};
    const size_t start = at + marker.size();
    return page.substr(start, page.find('"', start) - start);
}

TEST(HelpFile, EveryHelpIdHasItsPopupTextAndAPageLeadingToItsControlInTheTopic)
{
    ComScope com;
    HelpPopupText popups;
    ASSERT_GT(popups.Parse(Inside(kHelpPopupFile), Inside(kHelpPopupIdFile)), 0);
    for (const HelpTable& table : kHelpTables) {
        for (const unsigned long* p = table.pairs; p[0]; p += 2) {
            const unsigned long id = p[1];
            const std::string* text = popups.Find(id);
            ASSERT_NE(text, nullptr) << table.dialog << "/" << p[0];
            EXPECT_GT(text->size(), 10u) << table.dialog << "/" << p[0];
            const std::string link = LinkOf(Inside(PageOf(id)));
            const size_t hash = link.find('#');
            ASSERT_NE(hash, std::string::npos) << PageOf(id);
            const std::string topic = Inside(link.substr(0, hash));
            EXPECT_NE(topic.find("name=\"" + link.substr(hash + 1) + "\""), std::string::npos) << link;
        }
    }
}

std::set<unsigned long> Controls(unsigned dialog)
{
    std::set<unsigned long> controls;
    for (const HelpTable& table : kHelpTables)
        if (table.dialog == dialog)
            for (const unsigned long* p = table.pairs; p[0]; p += 2)
                controls.insert(p[0]);
    return controls;
}

unsigned long IdOf(unsigned dialog, unsigned long control)
{
    for (const HelpTable& table : kHelpTables)
        if (table.dialog == dialog)
            for (const unsigned long* p = table.pairs; p[0]; p += 2)
                if (p[0] == control)
                    return p[1];
    return 0;
}

TEST(HelpTables, GiveEachControlTheIdOfItsDialogButOkCancelAndApplyOneEach)
{
    EXPECT_EQ(kHelpIdOk, 0x80000000UL + 103 * 0x10000UL + 1038);
    EXPECT_EQ(kHelpIdCancel, 0x80000000UL + 102 * 0x10000UL + 1034);
    EXPECT_EQ(kHelpIdApply, 0x80000000UL + 102 * 0x10000UL + 1033);
    for (const HelpTable& table : kHelpTables) {
        for (const unsigned long* p = table.pairs; p[0]; p += 2) {
            const unsigned long own = 0x80000000UL + table.dialog * 0x10000UL + p[0];
            const bool shared = p[1] == kHelpIdOk || p[1] == kHelpIdCancel || p[1] == kHelpIdApply;
            EXPECT_TRUE(p[1] == own || shared) << table.dialog << "/" << p[0];
        }
    }
    // F1 on the Icons page's OK shows the About page's OK; the General
    // page's buttons share the same three.
    EXPECT_EQ(IdOf(102, 1037), kHelpIdOk);
    EXPECT_EQ(IdOf(115, 1072), kHelpIdOk);
    EXPECT_EQ(IdOf(115, 1073), kHelpIdCancel);
    EXPECT_EQ(IdOf(115, 1074), kHelpIdApply);
    EXPECT_EQ(IdOf(156, 1217), kHelpIdOk);
    EXPECT_EQ(IdOf(156, 1218), kHelpIdCancel);
}

TEST(HelpTables, ListEveryControlThatHasATopicOnTheFirstPagesAndTheRulesDialog)
{
    EXPECT_EQ(Controls(103), (std::set<unsigned long>{1038, 1040, 1039}));
    EXPECT_EQ(Controls(115), (std::set<unsigned long>{1168, 1074, 1073, 1069, 1075, 1072, 1070}));
    EXPECT_EQ(Controls(102),
              (std::set<unsigned long>{1033, 1034, 1067, 1069, 1066, 1068, 1065, 1070, 1037, 1079, 1080,
                                       1081, 1215, 1214, 1089, 1062, 1075, 1087, 1084, 1064, 1077, 1078}));
    EXPECT_EQ(Controls(156), (std::set<unsigned long>{1216, 1219, 1220, 1221, 1222, 1223, 1217, 1218}));
}

}  // namespace
