// A process killed at a random moment while it saves a file over and over
// leaves the old file or the new one, whole, and at most its one temporary
// file, which the next save clears away.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "tests/files/save_contents.h"
#include "tests/files/temp_folder.h"
#include "ui/file_io.h"

namespace tallyhorn {
namespace {

std::wstring SaveLoopProgram() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder = self;
  folder.resize(folder.find_last_of(L'\\'));
  return folder + L"\\save_loop.exe";
}

TEST(KilledSave, LeavesTheOldFileOrTheNewOneWhole) {
  const TempFolder folder;
  const std::wstring path = folder / L"plan.txt";
  const std::string contents[2] = {SaveLoopContents(0), SaveLoopContents(1)};
  ASSERT_EQ(WriteFileAtomically(path, contents[0]), "");
  std::mt19937 random(17);
  int killedMidSave = 0;
  int found[2] = {0, 0};
  constexpr int kRounds = 40;
  for (int round = 0; round < kRounds; ++round) {
    const std::wstring eventName = L"TallyhornSaveLoop-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(round);
    const HANDLE started = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(started, nullptr);
    std::wstring command = L"\"" + SaveLoopProgram() + L"\" \"" + path + L"\" " + eventName;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    const HANDLE waitFor[2] = {started, process.hProcess};
    ASSERT_EQ(WaitForMultipleObjects(2, waitFor, FALSE, 30'000), WAIT_OBJECT_0) << "the saving program did not start saving";
    Sleep(random() % 25);
    TerminateProcess(process.hProcess, 9);
    WaitForSingleObject(process.hProcess, 30'000);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(started);
    ASSERT_EQ(exitCode, 9u) << "round " << round << ": the saving program ended by itself (a save failed)";

    const FileRead read = ReadWholeFile(path);
    ASSERT_TRUE(read.bytes.has_value()) << "round " << round << ": " << read.error;
    const bool old = *read.bytes == contents[0];
    ASSERT_TRUE(old || *read.bytes == contents[1]) << "round " << round << ": " << read.bytes->size() << " bytes, neither plan";
    ++found[old ? 0 : 1];
    const std::size_t temporary = folder.Files(L"plan.txt.~save-*.tmp").size();
    ASSERT_LE(temporary, 1u) << "round " << round;
    killedMidSave += static_cast<int>(temporary);
  }
  // The next save, of another process, clears the last killed one's
  // temporary file.
  ASSERT_EQ(WriteFileAtomically(path, contents[1]), "");
  EXPECT_EQ(folder.Files(), std::vector<std::wstring>{L"plan.txt"});
  std::printf("%d kills: %d left the old plan, %d the new; %d left a temporary file behind\n", kRounds, found[0], found[1],
              killedMidSave);
}

}  // namespace
}  // namespace tallyhorn
