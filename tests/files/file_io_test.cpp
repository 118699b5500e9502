// Whole-file reads and atomic saves: what is saved reads back byte for
// byte, a save that fails says why and leaves the old file and no temporary
// file, and temporary files of saves that were killed are cleared away.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/files/temp_folder.h"
#include "ui/file_io.h"

namespace tallyhorn {
namespace {

struct Contents {
  std::string name;
  std::string bytes;
};

std::ostream& operator<<(std::ostream& out, const Contents& c) { return out << c.name; }

class AtomicSave : public testing::TestWithParam<Contents> {};

// Saved to a new file and over an old one, longer and shorter, under a name
// that is not ASCII.
TEST_P(AtomicSave, ReadsBackByteForByte) {
  const TempFolder folder;
  const std::wstring path = folder / L"plan \u00e9\u2713.txt";
  const std::string& bytes = GetParam().bytes;
  for (const std::string& contents : {bytes, std::string("old") + bytes + "old", bytes}) {
    ASSERT_EQ(WriteFileAtomically(path, contents), "");
    const FileRead read = ReadWholeFile(path);
    ASSERT_TRUE(read.bytes.has_value()) << read.error;
    EXPECT_TRUE(*read.bytes == contents) << read.bytes->size() << " bytes read, " << contents.size() << " written";
  }
  EXPECT_EQ(folder.Files(), std::vector<std::wstring>{L"plan \u00e9\u2713.txt"});
}

INSTANTIATE_TEST_SUITE_P(Files, AtomicSave,
                         testing::Values(Contents{"Empty", ""}, Contents{"OneLine", "$1 Exacta: 1 / 2\r\n"},
                                         Contents{"Bytes", std::string("\0\r\n\xFF\xFE\x80 \n\r", 9)},
                                         Contents{"ThreeMegabytes", std::string(3 << 20, 'x') + "end"}),
                         [](const testing::TestParamInfo<Contents>& test) { return test.param.name; });

TEST(AtomicSave, SaysWhyItFailedAndLeavesTheOldFile) {
  const TempFolder folder;
  const std::wstring missingFolder = folder / L"no such folder\\plan.txt";
  const std::string noFolder = WriteFileAtomically(missingFolder, "new");
  EXPECT_TRUE(noFolder.starts_with("Could not save " + Utf8Of(missingFolder) + ": ")) << noFolder;

  // A folder where the file should be.
  const std::wstring taken = folder / L"taken";
  ASSERT_TRUE(CreateDirectoryW(taken.c_str(), nullptr));
  EXPECT_NE(WriteFileAtomically(taken, "new"), "");
  EXPECT_NE(GetFileAttributesW(taken.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

  // A read-only file is not replaced.
  const std::wstring locked = folder / L"locked.txt";
  WritePlainly(locked, "old");
  ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string readOnly = WriteFileAtomically(locked, "new");
  EXPECT_TRUE(readOnly.starts_with("Could not save " + Utf8Of(locked) + ": ")) << readOnly;
  EXPECT_EQ(ReadWholeFile(locked).bytes, "old");

  // A file another program holds open, not sharing it for deletion, cannot
  // be replaced while it does.
  const std::wstring held = folder / L"held.txt";
  WritePlainly(held, "old");
  const HANDLE holder = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const std::string inUse = WriteFileAtomically(held, "new");
  CloseHandle(holder);
  EXPECT_TRUE(inUse.starts_with("Could not save " + Utf8Of(held) + ": ")) << inUse;
  EXPECT_EQ(ReadWholeFile(held).bytes, "old");

  EXPECT_EQ(WriteFileAtomically(L"", "new"), "Could not save: no file name was given.");
  EXPECT_EQ(folder.Files(), (std::vector<std::wstring>{L"held.txt", L"locked.txt"}));  // no temporary file is left
}

TEST(WholeFileRead, SaysWhenTheFileIsMissingOrTooLarge) {
  const TempFolder folder;
  const FileRead missing = ReadWholeFile(folder / L"none.txt");
  EXPECT_FALSE(missing.bytes.has_value());
  EXPECT_TRUE(missing.missing);
  EXPECT_NE(missing.error, "");
  EXPECT_TRUE(ReadWholeFile(folder / L"none\\none.txt").missing);

  // One byte over the limit, as a sparse file.
  const std::wstring huge = folder / L"huge.txt";
  const HANDLE file = CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size{};
  size.QuadPart = static_cast<LONGLONG>(kLargestReadFile + 1);
  EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
  const FileRead tooLarge = ReadWholeFile(huge);
  EXPECT_FALSE(tooLarge.bytes.has_value());
  EXPECT_FALSE(tooLarge.missing);
  EXPECT_NE(tooLarge.error.find("larger than 64 MB"), std::string::npos) << tooLarge.error;
}

// The number of a process that has ended; its handle is kept open so the
// number is not given to another process meanwhile.
struct EndedProcess {
  DWORD pid = 0;
  HANDLE handle = nullptr;
};

EndedProcess StartAndEnd() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder = self;
  folder.resize(folder.find_last_of(L'\\'));
  std::wstring command = L"\"" + folder + L"\\save_loop.exe\"";  // with no arguments it ends at once
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) == FALSE) return {};
  WaitForSingleObject(process.hProcess, 30'000);
  CloseHandle(process.hThread);
  return {process.dwProcessId, process.hProcess};
}

TEST(AtomicSave, ClearsTheTemporaryFilesOfEndedProcessesOnly) {
  const TempFolder folder;
  const std::wstring path = folder / L"plan.txt";
  const EndedProcess ended = StartAndEnd();
  ASSERT_NE(ended.pid, 0u);
  const std::wstring ours = L"plan.txt.~save-" + std::to_wstring(GetCurrentProcessId()) + L"-999.tmp";
  const std::wstring stale = L"plan.txt.~save-" + std::to_wstring(ended.pid) + L"-1.tmp";
  const std::wstring otherFile = L"notes.txt.~save-" + std::to_wstring(ended.pid) + L"-1.tmp";
  const std::wstring odd = L"plan.txt.~save-x.tmp";
  for (const std::wstring& name : {ours, stale, otherFile, odd}) WritePlainly(folder / name, "half a pla");

  ASSERT_EQ(WriteFileAtomically(path, "plan"), "");
  CloseHandle(ended.handle);
  std::vector<std::wstring> expected{ours, odd, otherFile, L"plan.txt"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(folder.Files(), expected);
}

TEST(DataFolder, IsTheFolderTheVariableNamesMadeWhenMissing) {
  const TempFolder folder;
  const std::wstring nested = folder / L"a\\b\\c";
  SetEnvironmentVariableW(L"TALLYHORN_DATA_DIR", (nested + L"\\").c_str());
  EXPECT_EQ(TallyhornDataFolder(), nested);
  EXPECT_NE(GetFileAttributesW(nested.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

  // A file where the folder should be: there is no data folder.
  WritePlainly(folder / L"file", "x");
  SetEnvironmentVariableW(L"TALLYHORN_DATA_DIR", (folder / L"file").c_str());
  EXPECT_EQ(TallyhornDataFolder(), L"");
}

}  // namespace
}  // namespace tallyhorn
