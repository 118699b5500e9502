// A fresh folder for one test, removed with everything in it afterwards, and
// the data folder pointed at it, so no test touches the real %APPDATA%.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

namespace tallyhorn {

class TempFolder {
 public:
  TempFolder();   // makes %TEMP%\tallyhorn-test-PID-N and sets TALLYHORN_DATA_DIR to it
  ~TempFolder();  // removes it and unsets the variable

  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
  // The names of the files in the folder matching the wildcard, sorted.
  std::vector<std::wstring> Files(const std::wstring& pattern = L"*") const;

 private:
  std::wstring path_;
};

// Writes bytes to a file plainly (to set up a test, not atomically).
void WritePlainly(const std::wstring& path, const std::string& bytes);

}  // namespace tallyhorn
