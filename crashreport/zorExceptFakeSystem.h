#pragma once
// A machine with fixed facts for exact report headers, and a fixed clock;
// both are installed while the fixture lives.
#include "crashreport/zorExceptKeys.h"
#include "crashreport/zorExceptSysInfo.h"

namespace zortest {

class FakeSystem : public zor::SystemInfo {
 public:
  std::string computer = "WORKSTATION7", client, user = "ada", owner,
              os = "Debian GNU/Linux 12 (bookworm) x64 build 6.1.0-18-amd64";
  std::string language = "English", systemUp = "3 days 4 hours ", programUp = "400 milliseconds";
  std::string processor = "Example CPU @ 2.40GHz", memory = "2048/7989 MB (free/total)", disk = "(/) 12.34 GB";
  std::string display = "1920x1080, 24 bit", allocated = "48.50 MB", commandLine, exe = "kestova-gui", module;
  std::string moduleTime = "2024-03-01 17:45", bde;
  bool admin = false;
  int processors = 4;
  uint32_t pid = 0x1a2c;
  uint64_t fileVersion = 0x0000000100000000;  // 0.1.0.0

  std::string ComputerName() override { return computer; }
  std::string TerminalClientName() override { return client; }
  std::string UserName() override { return user; }
  bool IsAdministrator() override { return admin; }
  std::string RegisteredOwner() override { return owner; }
  std::string OsVersionText() override { return os; }
  std::string OsLanguageText() override { return language; }
  std::string SystemUpTimeText() override { return systemUp; }
  std::string ProgramUpTimeText() override { return programUp; }
  std::string ProcessorName() override { return processor; }
  int ProcessorCount() override { return processors; }
  std::string PhysicalMemoryText() override { return memory; }
  std::string ResourcesText() override { return {}; }
  std::string FreeDiskSpaceText() override { return disk; }
  std::string DisplayModeText() override { return display; }
  uint32_t ProcessId() override { return pid; }
  std::string AllocatedMemoryText() override { return allocated; }
  std::string CommandLine() override { return commandLine; }
  std::string ExecutableName() override { return exe; }
  std::string CurrentModuleName() override { return module; }
  std::string ModuleDateTime() override { return moduleTime; }
  uint64_t ModuleFileVersion() override { return fileVersion; }
  std::string BdeVersion() override { return bde; }
};

// Installs a FakeSystem and the clock 2024-03-05 09:07:03.042 while it lives.
class FakeMachine {
 public:
  FakeMachine()
      : system_(std::make_shared<FakeSystem>()),
        previousSystem_(zor::SetSystemInfo(system_)),
        previousClock_(zor::SetPlaceholderClock([] { return zor::LocalTime{2024, 3, 5, 9, 7, 3, 42}; })) {}
  ~FakeMachine() {
    zor::SetSystemInfo(previousSystem_);
    zor::SetPlaceholderClock(previousClock_);
  }
  FakeMachine(const FakeMachine&) = delete;
  FakeMachine& operator=(const FakeMachine&) = delete;
  FakeSystem& System() { return *system_; }

 private:
  std::shared_ptr<FakeSystem> system_;
  std::shared_ptr<zor::SystemInfo> previousSystem_;
  zor::PlaceholderClock previousClock_;
};

}  // namespace zortest
