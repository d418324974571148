// The library's two exports. They run on the program's thread and only
// start, tell or stop the engine's own thread.
#include "cbt/DervaneHookCBT.h"

#include <cstring>
#include <string>

#include "cbt/RespondEngine.h"
#include "common/Log.h"

namespace {
// Never destroyed: stopping waits for the engine's thread, which must not
// happen while the loader unloads the library.
CRespondEngine& Engine()
{
    static CRespondEngine* engine = new CRespondEngine;
    return *engine;
}
}  // namespace

HOOKCBT_API void HOOKCBT_AttachDLL(HWND mainWindow, char* folder)
{
    try {
        if (!mainWindow && !folder) {
            Engine().Stop();
            return;
        }
        // UTF-8: a folder of MAX_PATH UTF-16 units may take three times as many bytes.
        if (!folder || !*folder || strlen(folder) >= 3 * MAX_PATH) {
            LogWarning("The auto-respond engine was given no usable program folder");
            return;
        }
        std::string path(folder);
        while (path.size() > 1 && (path.back() == '\\' || path.back() == '/'))
            path.pop_back();
        LogSetPath(path.c_str(), "ErrorLog.txt", 0);
        if (!Engine().Start(mainWindow, path))
            LogWarning("The auto-respond engine could not start");
    } catch (...) {
        LogWarning("Unexpected failure in HOOKCBT_AttachDLL");
    }
}

HOOKCBT_API void HOOKCBT_RespondListUpdated()
{
    try {
        Engine().RulesChanged();
    } catch (...) {
        LogWarning("Unexpected failure in HOOKCBT_RespondListUpdated");
    }
}
