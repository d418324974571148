#pragma once

#include <string>

// The debug log "DebugLog.txt": its path and a message buffer. The system
// makes the object (and with fresh set removes the last run's file) but
// writes nothing to it.
class CDebugLog {
public:
    static constexpr int kMessageSize = 1024;

    // folder and name joined; folder alone gives "folder\DebugLog.txt", name
    // alone ".\name", neither ".\DebugLog.txt" ('/' in place of '\' in the
    // native build). A null or empty string counts as missing.
    CDebugLog(const char* folder, const char* name, int fresh);
    virtual ~CDebugLog();
    CDebugLog(const CDebugLog&) = delete;
    CDebugLog& operator=(const CDebugLog&) = delete;

    const char* GetPath() const { return path.c_str(); }
    char* GetMessageBuffer() { return message; }

private:
    std::string path;
    char* message;  // owned, kMessageSize bytes
};
