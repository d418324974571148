// Arbitrary bytes as AutoDelete.txt. Reading must never overrun, every task
// read must pass the folder checks without harm, and a list read is written
// back whole or not at all: either the new file reads as the same tasks, or
// no file (and no temporary file) is left.
#include "autodelete/DeletionTaskList.h"
#include "files/TaskFolderCheck.h"
#include "tests/fuzz/FuzzWorkFolder.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool Same(const DeletionTask& a, const DeletionTask& b)
{
    return a.folder == b.folder && a.includeSubfolders == b.includeSubfolders &&
        a.excludeFileTypes == b.excludeFileTypes && a.deleteEmptySubfolders == b.deleteEmptySubfolders &&
        a.olderThanDays == b.olderThanDays && a.fileTypes == b.fileTypes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input = FuzzWork("autodelete").WriteInput("AutoDelete.txt", data, size);
    const std::string output = FuzzWork("autodelete").File("Written.txt");
    remove(output.c_str());

    CDeletionTaskList list;
    list.Load(input);
    const std::vector<ProtectedFolder> guarded = {{"C:\\WINDOWS", "the Windows folder"}};
    for (const DeletionTask& task : list.Tasks())
        CheckTaskFolder(task.folder, guarded);

    list.SetModified(true);
    if (list.Save(output) == ListSaveResult::kWritten) {
        CDeletionTaskList again;
        if (!again.Load(output) || again.Count() != list.Count())
            abort();
        for (size_t i = 0; i < list.Tasks().size(); i++) {
            if (!Same(list.Tasks()[i], again.Tasks()[i]))
                abort();
        }
    } else if (FuzzFileExists(output) || FuzzFileExists(output + ".new") || !list.IsModified()) {
        abort();
    }
    return 0;
}
