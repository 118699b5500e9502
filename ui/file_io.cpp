#include "ui/file_io.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <vector>

namespace tallyhorn {
namespace {

// A handle closed when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  // Closes now; false when closing failed (the last writes may be lost).
  bool Close() {
    if (!Valid()) return true;
    const bool closed = CloseHandle(handle_) != FALSE;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

// "Could not ACTION PATH: REASON"
std::string Failure(std::string_view action, const std::wstring& path, DWORD error) {
  std::string text = "Could not ";
  text += action;
  text += ' ';
  text += Utf8Of(path);
  text += ": ";
  text += SystemErrorText(error);
  return text;
}

// The folder part of a path, with its last separator ("C:\plans\"), or ""
// for a bare name.
std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// What comes between a file's name and the process number in the names of
// its temporary files.
constexpr std::wstring_view kTempInfix = L".~save-";

/*
 * Removes the temporary files of path's pattern whose process no longer
 * runs: a save that was killed between making its file and renaming it
 * leaves one behind. A file of a live process (another instance saving the
 * same file, or this one) is left alone; so is one whose name does not
 * parse. Failures are of no consequence: the file stays for the next save.
 */
void RemoveStaleTempFiles(const std::wstring& path) {
  const std::wstring folder = FolderOf(path);
  const std::wstring prefix = path.substr(folder.size()) + std::wstring(kTempInfix);
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(AtomicWritePattern(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::wstring> stale;
  do {
    const std::wstring name = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || name.size() <= prefix.size() ||
        name.compare(0, prefix.size(), prefix) != 0) {
      continue;
    }
    DWORD pid = 0;
    std::size_t i = prefix.size();
    for (; i < name.size() && name[i] >= L'0' && name[i] <= L'9' && pid < 100'000'000; ++i) pid = pid * 10 + (name[i] - L'0');
    if (i == prefix.size() || i >= name.size() || name[i] != L'-') continue;
    if (pid == GetCurrentProcessId()) continue;
    bool alive = false;
    if (const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid); process != nullptr) {
      alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
      CloseHandle(process);
    } else {
      alive = GetLastError() == ERROR_ACCESS_DENIED;  // it runs, as someone else
    }
    if (!alive) stale.push_back(folder + name);
  } while (FindNextFileW(search, &found) != FALSE);
  FindClose(search);
  for (const std::wstring& file : stale) DeleteFileW(file.c_str());
}

// Writes all the bytes; the error code of the failure, or ERROR_SUCCESS.
DWORD WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), DWORD{1} << 24));
    DWORD written = 0;
    if (WriteFile(file, bytes.data(), chunk, &written, nullptr) == FALSE) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    bytes.remove_prefix(written);
  }
  return ERROR_SUCCESS;
}

}  // namespace

std::string Utf8Of(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::wstring WideOf(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

std::string SystemErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer != nullptr ? buffer : L"", length);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  if (text.empty()) return "error " + std::to_string(error) + ".";
  if (text.back() != L'.') text += L'.';
  return Utf8Of(text);
}

FileRead ReadWholeFile(const std::wstring& path) {
  FileRead read;
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    const DWORD error = GetLastError();
    read.missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    read.error = Failure("open", path, error);
    return read;
  }
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.Get(), &size) == FALSE) {
    read.error = Failure("read", path, GetLastError());
    return read;
  }
  if (static_cast<std::uint64_t>(size.QuadPart) > kLargestReadFile) {
    read.error = "Could not read " + Utf8Of(path) + ": it is larger than " + std::to_string(kLargestReadFile >> 20) +
                 " MB, far too large for a plan.";
    return read;
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  // The file may shrink or grow while it is read; what was there is taken,
  // up to the size limit.
  for (;;) {
    if (done == bytes.size()) {
      if (bytes.size() >= kLargestReadFile) break;
      bytes.resize(std::min<std::size_t>(bytes.size() + 65536, kLargestReadFile + 1));
    }
    DWORD got = 0;
    if (ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr) == FALSE) {
      read.error = Failure("read", path, GetLastError());
      return read;
    }
    if (got == 0) break;
    done += got;
  }
  if (done > kLargestReadFile) {
    read.error = "Could not read " + Utf8Of(path) + ": it is larger than " + std::to_string(kLargestReadFile >> 20) +
                 " MB, far too large for a plan.";
    return read;
  }
  bytes.resize(done);
  read.bytes = std::move(bytes);
  return read;
}

std::wstring AtomicWritePattern(const std::wstring& path) { return path + std::wstring(kTempInfix) + L"*.tmp"; }

std::string WriteFileAtomically(const std::wstring& path, std::string_view bytes) {
  if (path.empty() || path.back() == L'\\' || path.back() == L'/') return "Could not save: no file name was given.";
  // A file marked read-only is one the player means to keep as it is. The
  // rename would fail on it anyway on Windows, but not everywhere the
  // program runs (Wine replaces it), so the mark is honoured here.
  if (const DWORD attributes = GetFileAttributesW(path.c_str());
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return "Could not save " + Utf8Of(path) + ": the file is read-only.";
  }
  RemoveStaleTempFiles(path);

  // A name no other save uses: this process's number and a count, with a
  // fresh try if a file of that name is somehow there already.
  static std::atomic<std::uint32_t> counter{0};
  std::wstring temp;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
    temp = path + std::wstring(kTempInfix) + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L".tmp";
    // No sharing: while it is written, no other save's clean-up can delete it.
    created = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
      return Failure("save", path, GetLastError());
    }
  }
  if (created == INVALID_HANDLE_VALUE) return Failure("save", path, ERROR_FILE_EXISTS);
  FileHandle file(created);

  DWORD error = WriteAll(file.Get(), bytes);
  if (error == ERROR_SUCCESS && FlushFileBuffers(file.Get()) == FALSE) error = GetLastError();
  if (!file.Close() && error == ERROR_SUCCESS) error = GetLastError();
  // A virus scanner, an indexer or a backup may hold the old file open for
  // a moment; the rename is tried again a few times before it counts as
  // failed (a tenth of a second at most).
  for (int attempt = 0; error == ERROR_SUCCESS; ++attempt) {
    if (MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE) break;
    const DWORD moveError = GetLastError();
    const bool passing = moveError == ERROR_ACCESS_DENIED || moveError == ERROR_SHARING_VIOLATION || moveError == ERROR_LOCK_VIOLATION;
    if (!passing || attempt == 4) {
      error = moveError;
      break;
    }
    Sleep(25);
  }
  if (error != ERROR_SUCCESS) {
    DeleteFileW(temp.c_str());
    return Failure("save", path, error);
  }
  return {};
}

std::wstring TallyhornDataFolder() {
  std::wstring folder;
  std::vector<wchar_t> chosen(32768);
  const DWORD length = GetEnvironmentVariableW(L"TALLYHORN_DATA_DIR", chosen.data(), static_cast<DWORD>(chosen.size()));
  if (length > 0 && length < chosen.size()) {
    folder.assign(chosen.data(), length);
  } else {
    wchar_t* roaming = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &roaming)) && roaming != nullptr) {
      folder = roaming;
    }
    CoTaskMemFree(roaming);
    if (folder.empty()) {
      const DWORD appData = GetEnvironmentVariableW(L"APPDATA", chosen.data(), static_cast<DWORD>(chosen.size()));
      if (appData == 0 || appData >= chosen.size()) return {};
      folder.assign(chosen.data(), appData);
    }
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    folder += L"Tallyhorn";
  }
  while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  // Each missing folder of the path is made in turn, from the top.
  for (std::size_t at = folder.find_first_of(L"\\/", 1); ; at = folder.find_first_of(L"\\/", at + 1)) {
    const std::wstring step = folder.substr(0, at);
    if (!step.empty() && step.back() != L':') CreateDirectoryW(step.c_str(), nullptr);
    if (at == std::wstring::npos) break;
  }
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return {};
  return folder;
}

}  // namespace tallyhorn
