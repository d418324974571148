// Arbitrary bytes as AutoDelete.txt. Reading must never overrun, every task
// read must pass the folder checks without harm, and a list read is written
// back whole or not at all: either the new file reads as the same tasks, or
// no file (and no temporary file) is left.
#include "autodelete/DeletionTaskList.h"
#include "autodelete/TaskFolderCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// A folder of this process's own, removed with its files at exit.
struct WorkFolder {
    std::string path;
    WorkFolder()
    {
        char pattern[] = "/tmp/fuzz-autodelete-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made)
            abort();
        path = made;
    }
    ~WorkFolder()
    {
        for (const char* name : {"AutoDelete.txt", "Written.txt", "Written.txt.new"})
            remove((path + "/" + name).c_str());
        rmdir(path.c_str());
    }
};

std::string TempPath(const char* name)
{
    static const WorkFolder folder;
    return folder.path + "/" + name;
}

bool Same(const DeletionTask& a, const DeletionTask& b)
{
    return a.folder == b.folder && a.includeSubfolders == b.includeSubfolders &&
        a.excludeFileTypes == b.excludeFileTypes && a.deleteEmptySubfolders == b.deleteEmptySubfolders &&
        a.fileTypes == b.fileTypes;
}

bool Exists(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (f)
        fclose(f);
    return f != nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input = TempPath("AutoDelete.txt");
    const std::string output = TempPath("Written.txt");
    FILE* f = fopen(input.c_str(), "wb");
    if (!f)
        abort();
    fwrite(data, 1, size, f);
    fclose(f);
    remove(output.c_str());

    CDeletionTaskList list;
    list.LoadTasks(input);
    const std::vector<ProtectedFolder> guarded = {{"C:\\WINDOWS", "the Windows folder"}};
    for (const DeletionTask& task : list.Tasks())
        CheckTaskFolder(task.folder, guarded);

    list.SetModified(true);
    if (list.SaveTasks(output) == CDeletionTaskList::SaveResult::kWritten) {
        CDeletionTaskList again;
        if (!again.LoadTasks(output) || again.Tasks().size() != list.Tasks().size())
            abort();
        for (size_t i = 0; i < list.Tasks().size(); i++) {
            if (!Same(list.Tasks()[i], again.Tasks()[i]))
                abort();
        }
    } else if (Exists(output) || Exists(output + ".new") || !list.IsModified()) {
        abort();
    }
    return 0;
}
