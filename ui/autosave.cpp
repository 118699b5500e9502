#include "ui/autosave.h"

#include <cstdio>

#include "calc/plan_file.h"
#include "ui/file_io.h"
#include "ui/unicode.h"

namespace tallyhorn {
namespace {

// "plan.damaged-20261211-031500.txt" beside the plan file, with "-2", "-3"
// ... after the time when that name is taken.
std::wstring DamagedName(const std::wstring& folder, int attempt) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t stamp[32];
  std::swprintf(stamp, sizeof stamp / sizeof stamp[0], L"%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond);
  std::wstring name = folder + L"\\plan.damaged-" + stamp;
  if (attempt > 1) name += L"-" + std::to_wstring(attempt);
  return name + L".txt";
}

/*
 * Moves the damaged plan file aside under a new name, or, when it cannot be
 * moved but its bytes were read, writes a copy of them there. Returns the
 * new path, or L"" when the file could not be kept.
 */
std::wstring KeepAside(const std::wstring& path, const std::string* bytes) {
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
  for (int attempt = 1; attempt <= 100; ++attempt) {
    const std::wstring aside = DamagedName(folder, attempt);
    if (MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE) return aside;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) continue;
    if (bytes == nullptr) return {};
    // Not movable (it may be open elsewhere): keep a copy of what was read.
    if (GetFileAttributesW(aside.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    return WriteFileAtomically(aside, *bytes).empty() ? aside : std::wstring();
  }
  return {};
}

std::string Count(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::wstring AutosavePath() {
  const std::wstring folder = TallyhornDataFolder();
  return folder.empty() ? std::wstring() : folder + L"\\plan.txt";
}

AutosaveLoad LoadAutosave() {
  AutosaveLoad load;
  const std::wstring path = AutosavePath();
  if (path.empty()) {
    load.message = "The plan cannot be kept between runs: there is no folder for it (%APPDATA%\\Tallyhorn could not be made).";
    return load;
  }
  FileRead read = ReadWholeFile(path);
  if (read.missing) return load;

  std::string problem;
  PlanFileReading reading;
  if (!read.bytes) {
    problem = read.error;
  } else {
    reading = ReadPlanFile(*read.bytes);
    if (reading.faults.empty() && !reading.utf32) {
      load.tickets = std::move(reading.tickets);
      return load;
    }
    problem = "The saved plan " + Utf8Of(path) + " is damaged";
    problem += reading.utf32 ? " (it is UTF-32 text, which is not read)."
                             : ": " + Count(reading.faults.size(), "line is not a ticket", "lines are not tickets") + ".";
    load.tickets = std::move(reading.tickets);
  }

  const std::wstring aside = KeepAside(path, read.bytes ? &*read.bytes : nullptr);
  std::string message = problem;
  if (!aside.empty()) {
    message += " The file as it was is kept as " + Utf8Of(aside) + ".";
  } else {
    message += " The file could not be kept under another name, and the next save replaces it.";
  }
  message += " " + Count(load.tickets.size(), "good ticket is", "good tickets are") + " loaded.";
  // The good tickets become the saved plan now, so they are there at the
  // next start even when nothing changes in this run.
  if (!aside.empty()) {
    if (const std::string failed = SaveAutosave(load.tickets); !failed.empty()) message += " " + failed;
  }
  if (!reading.faults.empty()) message += "\n" + PlanFaultMessage(reading);
  load.message = std::move(message);
  return load;
}

std::string SaveAutosave(std::span<const Ticket> tickets) {
  const std::wstring path = AutosavePath();
  if (path.empty()) return "Could not keep the plan: there is no folder for it (%APPDATA%\\Tallyhorn could not be made).";
  return WriteFileAtomically(path, PlanFileText(tickets));
}

}  // namespace tallyhorn
