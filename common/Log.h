#pragma once
void LogSetPath(const char* folder, const char* name, bool fresh);
void LogFreePath();
void LogWarning(const char* text);
void LogWarningFormat(const char* format, const char* text);
void LogFatal(const char* text);
int LogWrite(int level);
