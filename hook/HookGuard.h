// The one guard of the library's entry points: the message hook, the
// replaced window procedures, DllMain and every export. They run on the
// shell's threads (or the program's), where nothing thrown may get out.
#pragma once

#include "common/Log.h"

// Calls body and answers what it answers. When body throws, the failure is
// logged as "Unexpected failure in <where>" and fallback() is answered
// instead (the shell's own procedure, a neutral value, or nothing).
template <typename Body, typename Fallback>
auto CallGuarded(const char* where, Body&& body, Fallback&& fallback) -> decltype(body())
{
    try {
        return body();
    } catch (...) {
        LogWarningFormat("Unexpected failure in %s", where);
    }
    return fallback();
}
