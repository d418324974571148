// Arbitrary bytes as Backup.txt. Reading must never overrun; every
// configuration read goes through the rules (folder checks, the search for a
// dropped path, the argument texts) without harm; and what was read is
// written back whole or not at all: either the new file reads as the same
// commands and configurations, or no file (and no temporary file) is left.
#include "backup/BackupConfigList.h"
#include "backup/BackupRules.h"
#include "tests/fuzz/FuzzWorkFolder.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input = FuzzWork("backup").WriteInput("Backup.txt", data, size);
    const std::string output = FuzzWork("backup").File("Written.txt");
    remove(output.c_str());

    CBackupConfigList list;
    list.Load(input);
    const BackupCommands& commands = list.Commands();
    for (const BackupConfig& config : list.Configs()) {
        ConfigProblem(config);
        std::string target;
        const std::string dropped = config.source + "\\a.txt";
        if (FindConfig(list.Configs(), dropped, &target) < 0 && !config.source.empty() && config.source.back() != '\\')
            abort();  // a file inside a source always finds a configuration
        CustomArguments(commands, config, dropped, target);
        PostArguments(commands, config, dropped, target, true);
        std::string text = commands.postArguments + config.name;
        ApplyConditionalSection(text, config.name, false);
    }

    list.SetModified(true);
    if (list.Save(output) == ListSaveResult::kWritten) {
        CBackupConfigList again;
        if (!again.Load(output) || again.Count() != list.Count() || !Same(again.Commands(), commands))
            abort();
        for (size_t i = 0; i < list.Configs().size(); i++) {
            if (!Same(list.Configs()[i], again.Configs()[i]))
                abort();
        }
    } else if (FuzzFileExists(output) || FuzzFileExists(output + ".new") || !list.IsModified()) {
        abort();
    }
    return 0;
}
