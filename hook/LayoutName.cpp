#include "hook/LayoutName.h"

#include <cstring>

bool IsPlainFileName(const char* name, unsigned limit) {
  if (!name || !*name) return false;
  const size_t length = strnlen(name, limit);
  if (length >= limit) return false;
  if (strpbrk(name, "\\/:") != nullptr) return false;
  if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) return false;
  for (const char* p = name; *p; ++p) {
    if (static_cast<unsigned char>(*p) < 32) return false;
  }
  return true;
}

void BaseNameWithoutExtension(const char* path, char* out, unsigned size) {
  if (!out || size == 0) return;
  out[0] = '\0';
  if (!path) return;
  const char* start = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/') start = p + 1;
  }
  size_t length = strlen(start);
  if (const char* dot = strrchr(start, '.')) length = static_cast<size_t>(dot - start);
  if (length >= size) length = size - 1;
  memcpy(out, start, length);
  out[length] = '\0';
}
