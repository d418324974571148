// The safe walker over a tree of the test's own, which can do what a hostile
// world does between two looks: swap an entry for a link or another file,
// list a name no file can have, lead a link elsewhere when it is opened (as
// Wine's links do).
#include "files/SafeWalker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

namespace {

struct Node {
    uint32_t attributes = 0;
    uint64_t index = 0;
    std::map<std::string, uint64_t> children;  // name: index
    uint64_t leadsTo = 0;  // a link: where an open of it arrives
};

class TreeSystem : public IWalkSystem {
public:
    uint64_t Add(uint64_t parent, const std::string& name, uint32_t attributes, uint64_t leadsTo = 0)
    {
        const uint64_t index = ++m_last;
        m_nodes[index] = Node{attributes, index, {}, leadsTo};
        if (parent)
            m_nodes[parent].children[name] = index;
        return index;
    }
    uint64_t Root() { return m_nodes.empty() ? Add(0, "", kWalkFolder) : 1; }

    uint32_t PathAttributes(const std::string& path, uint32_t& error) override
    {
        const Node* node = Find(path);
        error = node ? 0 : 2;
        return node ? node->attributes : kWalkNoAttributes;
    }
    Handle OpenPath(const std::string& path, Access, bool, uint32_t& error) override
    {
        const Node* node = Find(path);
        error = node ? 0 : 2;
        return node ? Open(node->leadsTo ? node->leadsTo : node->index) : 0;
    }
    Handle OpenChild(Handle folder, const std::wstring& exact, Access, bool, uint32_t& error) override
    {
        opened.insert(std::string(exact.begin(), exact.end()));
        if (beforeOpen)
            beforeOpen();
        Node& parent = m_nodes[m_open.at(folder)];
        const auto child = parent.children.find(std::string(exact.begin(), exact.end()));
        error = child == parent.children.end() ? 2 : 0;
        if (error)
            return 0;
        const Node& node = m_nodes[child->second];
        return Open(node.leadsTo ? node.leadsTo : node.index);
    }
    bool QueryIndex(Handle handle, uint64_t& index, uint32_t&) override
    {
        index = m_nodes[m_open.at(handle)].index;
        return true;
    }
    bool Query(Handle handle, WalkInfo& info, bool, uint32_t&) override
    {
        const Node& node = m_nodes[m_open.at(handle)];
        info.attributes = node.attributes;
        info.id.index = node.index;
        return true;
    }
    bool List(Handle folder, std::vector<WalkEntry>& entries, uint32_t&) override
    {
        for (const auto& [name, index] : m_nodes[m_open.at(folder)].children) {
            WalkEntry entry;
            entry.name = name;
            entry.exact.assign(name.begin(), name.end());
            entry.info.attributes = m_nodes[index].attributes;
            entry.info.id.index = index;
            entries.push_back(entry);
        }
        return true;
    }
    bool Remove(Handle handle, uint32_t&) override
    {
        removed.insert(m_open.at(handle));
        return true;
    }
    bool RemoveChildFile(Handle folder, const std::wstring& exact, uint32_t& error) override
    {
        Node& parent = m_nodes[m_open.at(folder)];
        const auto child = parent.children.find(std::string(exact.begin(), exact.end()));
        error = child == parent.children.end() ? 2 : 0;
        if (!error)
            removed.insert(child->second);
        return !error;
    }
    void Close(Handle handle) override { m_open.erase(handle); }
    std::string ErrorText(uint32_t error) override { return "error " + std::to_string(error); }

    size_t OpenHandles() const { return m_open.size(); }
    void Swap(uint64_t parent, const std::string& name, uint64_t index) { m_nodes[parent].children[name] = index; }

    std::set<std::string> opened;
    std::set<uint64_t> removed;
    std::function<void()> beforeOpen;

private:
    const Node* Find(const std::string& path)
    {
        if (path.compare(0, 3, "T:\\") != 0)
            return nullptr;
        uint64_t at = Root();
        size_t start = 3;
        while (start < path.size()) {
            const size_t end = std::min(path.find('\\', start), path.size());
            const auto child = m_nodes[at].children.find(path.substr(start, end - start));
            if (child == m_nodes[at].children.end())
                return nullptr;
            at = child->second;
            start = end + 1;
        }
        return &m_nodes[at];
    }
    Handle Open(uint64_t index)
    {
        m_open[++m_lastHandle] = index;
        return m_lastHandle;
    }

    std::map<uint64_t, Node> m_nodes;
    std::map<Handle, uint64_t> m_open;
    uint64_t m_last = 0;
    Handle m_lastHandle = 0;
};

class SafeWalkerTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = tree.Root();
        task = tree.Add(root, "Task", kWalkFolder);
        elsewhere = tree.Add(root, "Elsewhere", kWalkFolder);
        precious = tree.Add(elsewhere, "precious.txt", 0);
    }
    std::vector<WalkEntry> Listed(const CWalkItem& folder)
    {
        std::vector<WalkEntry> entries;
        EXPECT_TRUE(walker.List(folder, entries).Ok());
        return entries;
    }
    const WalkEntry& Named(const std::vector<WalkEntry>& entries, const std::string& name)
    {
        for (const WalkEntry& entry : entries) {
            if (entry.name == name)
                return entry;
        }
        ADD_FAILURE() << name;
        return entries.front();
    }

    TreeSystem tree;
    CSafeWalker walker{tree, IWalkSystem::Access::kDelete};
    uint64_t root = 0, task = 0, elsewhere = 0, precious = 0;
};

}  // namespace

TEST_F(SafeWalkerTest, ALinkIsNeverEnteredWhetherListedAsOneOrSwappedInAfterTheListing)
{
    tree.Add(task, "link", kWalkFolder | kWalkLink, elsewhere);
    tree.Add(task, "sub", kWalkFolder);
    const uint64_t file = tree.Add(task, "a.txt", 0);
    CWalkItem top, item;
    ASSERT_TRUE(walker.OpenFolder("T:\\Task", top).Ok());
    const std::vector<WalkEntry> entries = Listed(top);
    EXPECT_EQ(WalkProblem::kLink, walker.OpenEntry(top, Named(entries, "link"), item).problem);
    EXPECT_EQ(0u, tree.opened.count("link"));
    // Swapped after the listing: a link that leads elsewhere, a folder for a
    // file, another file under the same name.
    tree.Swap(task, "sub", tree.Add(0, "", kWalkFolder | kWalkLink, elsewhere));
    EXPECT_EQ(WalkProblem::kChanged, walker.OpenEntry(top, Named(entries, "sub"), item).problem);
    tree.Swap(task, "a.txt", tree.Add(0, "", kWalkFolder));
    EXPECT_EQ(WalkProblem::kChanged, walker.OpenEntry(top, Named(entries, "a.txt"), item).problem);
    tree.Swap(task, "a.txt", precious);
    EXPECT_EQ(WalkProblem::kChanged, walker.OpenEntry(top, Named(entries, "a.txt"), item).problem);
    tree.Swap(task, "a.txt", file);
    ASSERT_TRUE(walker.OpenEntry(top, Named(entries, "a.txt"), item).Ok());
    EXPECT_TRUE(walker.Remove(item).Ok());
    EXPECT_EQ(std::set<uint64_t>{file}, tree.removed);
    // A listed folder is never taken for a file to delete.
    EXPECT_EQ(WalkProblem::kChanged, walker.RemoveFileEntry(top, Named(entries, "sub")).problem);
    top.Close();
    EXPECT_EQ(0u, tree.OpenHandles());
}

TEST_F(SafeWalkerTest, TheFolderItselfIsRefusedWhenALinkOrAFileInEverySpelling)
{
    tree.Add(root, "Link", kWalkFolder | kWalkLink, elsewhere);
    tree.Add(root, "file.txt", 0);
    CWalkItem folder;
    for (const char* path : {"T:\\Link", "T:\\Link\\", "T:\\Link\\\\"})
        EXPECT_EQ(WalkProblem::kLink, walker.OpenFolder(path, folder).problem) << path;
    EXPECT_EQ(WalkProblem::kNotFolder, walker.OpenFolder("T:\\file.txt", folder).problem);
    EXPECT_EQ(WalkProblem::kSystem, walker.OpenFolder("T:\\missing", folder).problem);
    for (const char* path : {"\\\\?\\unix\\etc", "\\\\.\\T:\\Task", "Task", "\\Task", "T:Task"})
        EXPECT_EQ(WalkProblem::kNotWhole, walker.OpenPath(path, folder).problem) << path;
    EXPECT_EQ(WalkProblem::kLink, walker.OpenPath("T:\\Link\\", folder).problem);
    ASSERT_TRUE(walker.OpenFolder("T:\\Task\\", folder).Ok());
    EXPECT_EQ("T:\\Task", folder.Path());
    EXPECT_EQ(1u, tree.OpenHandles());
}

TEST_F(SafeWalkerTest, ANameThatCouldLeaveItsFolderIsNeverOpened)
{
    for (const char* name : {"..", ".", "..\\Elsewhere", "sub/x", "a.txt:stream", ""})
        tree.Add(task, name, 0);
    CWalkItem top, item;
    ASSERT_TRUE(walker.OpenFolder("T:\\Task", top).Ok());
    for (const WalkEntry& entry : Listed(top)) {
        EXPECT_EQ(WalkProblem::kBadName, walker.OpenEntry(top, entry, item).problem) << entry.name;
        EXPECT_EQ(WalkProblem::kBadName, walker.RemoveFileEntry(top, entry).problem) << entry.name;
    }
    EXPECT_TRUE(tree.removed.empty());
    WalkEntry unreadable;
    unreadable.name = "x\xEF\xBF\xBD";
    unreadable.unreadable = true;
    EXPECT_EQ(WalkProblem::kUnreadableName, walker.OpenEntry(top, unreadable, item).problem);
    EXPECT_TRUE(tree.opened.empty());
    EXPECT_EQ("Its name cannot be a file name.", walker.Reason({WalkProblem::kBadName, 0}));
    EXPECT_EQ("error 5", walker.Reason({WalkProblem::kSystem, 5}));
}
