#pragma once
#include <cstdio>
class CKeyedTextFile {
 public:
  explicit CKeyedTextFile(const char* path);
  virtual ~CKeyedTextFile();
  bool Exists();
  bool Create();
  bool Write(const char* key, const char* value);
  bool WriteInt(const char* key, int n);
  bool WriteLong(const char* key, long n);
  bool Find(const char* key, char* valueOut, bool fromStart);
  bool Replace(const char* key, const char* value);
  static bool GetField(const char* source, int index, char* out);
};
