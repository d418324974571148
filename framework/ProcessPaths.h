// Paths the system gives of the running process, whole: a path of MAX_PATH
// characters can take three times as many bytes in UTF-8.
#pragma once

#include <string>

// The process's current folder, empty when the system does not give it.
std::string CurrentFolder();
