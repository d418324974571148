#pragma once
// The folders a test program finds itself in: the tests' folder (where the
// test program lies) and the program folder above it.
#include <windows.h>

#include <string>

// Each test file has its own copies: the program has a ProgramFolder() of its own.
namespace {

std::string TestFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string ProgramFolder()
{
    const std::string tests = TestFolder();
    return tests.substr(0, tests.find_last_of('\\'));
}

}  // namespace
