#include "tests/files/temp_folder.h"

#include <algorithm>

namespace tallyhorn {
namespace {

// Removes a folder and all it holds, read-only files too.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found) != FALSE);
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  static int made = 0;
  path_ = std::wstring(temp, length) + L"tallyhorn-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(++made);
  RemoveTree(path_);
  CreateDirectoryW(path_.c_str(), nullptr);
  SetEnvironmentVariableW(L"TALLYHORN_DATA_DIR", path_.c_str());
}

TempFolder::~TempFolder() {
  SetEnvironmentVariableW(L"TALLYHORN_DATA_DIR", nullptr);
  RemoveTree(path_);
}

std::vector<std::wstring> TempFolder::Files(const std::wstring& pattern) const {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((path_ + L"\\" + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.emplace_back(found.cFileName);
  } while (FindNextFileW(search, &found) != FALSE);
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

void WritePlainly(const std::wstring& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (file != INVALID_HANDLE_VALUE) {
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
}

}  // namespace tallyhorn
