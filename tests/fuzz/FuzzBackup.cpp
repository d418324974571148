// Arbitrary bytes as Backup.txt. Reading must never overrun; every
// configuration read goes through the rules (folder checks, the search for a
// dropped path, the argument texts) without harm; and what was read is
// written back whole or not at all: either the new file reads as the same
// commands and configurations, or no file (and no temporary file) is left.
#include "backup/BackupConfigList.h"
#include "backup/BackupRules.h"

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
        char pattern[] = "/tmp/fuzz-backup-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made)
            abort();
        path = made;
    }
    ~WorkFolder()
    {
        for (const char* name : {"Backup.txt", "Written.txt", "Written.txt.new"})
            remove((path + "/" + name).c_str());
        rmdir(path.c_str());
    }
};

std::string TempPath(const char* name)
{
    static const WorkFolder folder;
    return folder.path + "/" + name;
}

bool Same(const BackupConfig& a, const BackupConfig& b)
{
    return a.source == b.source && a.target == b.target && a.name == b.name &&
        a.includeSubfolders == b.includeSubfolders && a.excludeFileTypes == b.excludeFileTypes &&
        a.fileTypes == b.fileTypes;
}

bool Same(const BackupCommands& a, const BackupCommands& b)
{
    return a.custom == b.custom && a.customProgram == b.customProgram && a.customArguments == b.customArguments &&
        a.postProgram == b.postProgram && a.postArguments == b.postArguments && a.removeCopies == b.removeCopies;
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
    const std::string input = TempPath("Backup.txt");
    const std::string output = TempPath("Written.txt");
    FILE* f = fopen(input.c_str(), "wb");
    if (!f)
        abort();
    fwrite(data, 1, size, f);
    fclose(f);
    remove(output.c_str());

    CBackupConfigList list;
    list.LoadConfigs(input);
    const BackupCommands& commands = list.Commands();
    for (const BackupConfig& config : list.Configs()) {
        ConfigProblem(config);
        std::string target;
        const std::string dropped = config.source + "\\a.txt";
        if (FindConfig(list.Configs(), dropped, &target) < 0 && !config.source.empty() &&
            config.source.back() != '\\')
            abort();  // a file inside a source always finds a configuration
        CustomArguments(commands, config, dropped, target);
        PostArguments(commands, config, dropped, target, true);
        std::string text = commands.postArguments + config.name;
        ApplyConditionalSection(text, config.name, false);
    }

    list.SetModified(true);
    if (list.SaveConfigs(output) == CBackupConfigList::SaveResult::kWritten) {
        CBackupConfigList again;
        if (!again.LoadConfigs(output) || again.Configs().size() != list.Configs().size() ||
            !Same(again.Commands(), commands))
            abort();
        for (size_t i = 0; i < list.Configs().size(); i++) {
            if (!Same(list.Configs()[i], again.Configs()[i]))
                abort();
        }
    } else if (Exists(output) || Exists(output + ".new") || !list.IsModified()) {
        abort();
    }
    return 0;
}
