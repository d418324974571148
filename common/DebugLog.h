#pragma once
class CDebugLog { public: CDebugLog(const char*, const char*, bool); virtual ~CDebugLog(); };
