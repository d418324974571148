#include "common/DebugLog.h"
CDebugLog::CDebugLog(const char*, const char*, bool) {}
CDebugLog::~CDebugLog() {}
