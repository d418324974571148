#include "common/DebugLog.h"

#include "common/PathSep.h"
#include "common/Utf8.h"

#include <cstdio>
#include <new>

CDebugLog::CDebugLog(const char* folder, const char* name, int fresh) : message(nullptr)
{
    bool hasFolder = folder && *folder;
    bool hasName = name && *name;
    path = hasFolder ? folder : ".";
    path += kPathSeparator;
    path += hasName ? name : "DebugLog.txt";
    if (fresh)
        RemoveFileUtf8(path.c_str());
    message = new (std::nothrow) char[kMessageSize];
    if (message)
        message[0] = '\0';
}

CDebugLog::~CDebugLog()
{
    delete[] message;
}
