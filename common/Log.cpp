#include "common/Log.h"
void LogSetPath(const char*, const char*, bool) {}
void LogFreePath() {}
void LogWarning(const char*) {}
void LogWarningFormat(const char*, const char*) {}
void LogFatal(const char*) {}
int LogWrite(int) { return 0; }
