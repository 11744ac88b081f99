#pragma once
// The reporter's start-up and shut-down, its temporary folder and the
// take-over of a restart.
//
// Start-up runs in every process: it takes over a pending restart, clears the
// temporary folder and records the start time, then looks for the settings
// of the reporter's module. Without settings the reporter stays inactive: no
// thread, no hook, no reserve, and shut-down does nothing. With settings it
// joins the thread-information list; with "Enabled" it also keeps a memory
// reserve for reporting when memory runs out.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ModuleTable;

namespace zor {

class IZEModuleSettings;

// Runs once (a counter makes later calls return); shut-down runs on the last
// of as many calls; nothing escapes it.
void ReporterStartup();
void ReporterShutdown();
// Adds the reporter's start-up and shut-down steps to the program's table.
void AddReporterModules(ModuleTable& table);

// The state start-up leaves.
int64_t StartTime();                                 // monotonic milliseconds; 0 before start-up
uint32_t ProcessMainThread();                        // the main thread as the reporter sees it
bool ServesProcess();                                // the reporter sits in the executable
using ExceptionTimeList = std::array<uint64_t, 10>;  // seconds since 1601, newest first
ExceptionTimeList ExceptionTimes();
void SetExceptionTimes(const ExceptionTimeList& times);
// Whether the memory reserve is held (active mode only).
bool HaveMemoryReserve();
struct MemoryRegion {
  const void* address;
  size_t size;
};
// The regions of the reserve: four of 4 MiB address space never touched,
// four of 512 KiB populated memory; all without access.
std::vector<MemoryRegion> MemoryReserveRegions();

// $TMPDIR (else /tmp), with "/" added, then the executable's name without
// extension and ".zorExcept/"; both folders are created when missing.
std::string ReportTempFolder();
// Deletes the regular files in the folder (not recursively; what cannot be
// deleted stays), then removes the folder when that leaves it empty.
void ClearReportTempFolder();

// The restart record: the shared memory object "/zorExceptRestart$" and the
// new process's id in lowercase hexadecimal, 88 bytes.
struct RestartRecord {
  uint32_t oldProcessId = 0;
  uint32_t oldStartTime = 0;  // the old instance's start time (ProcessStartTime)
  ExceptionTimeList times{};
};
static_assert(sizeof(RestartRecord) == 88);
std::string RestartRecordName(uint32_t newProcessId);
// Writes the record for the new process (the restart does this before the
// new instance runs its start-up); false when it cannot.
bool WriteRestartRecord(uint32_t newProcessId, const RestartRecord& record);
// Reads and unlinks the own record: waits until the old instance has ended,
// but only while the process of that id has the recorded start time, then
// adopts its exception times. True when a record was there.
bool TakeOverRestart();
// The low 32 bits of the process's start time (field 22 of its stat file);
// nothing when the process does not exist.
std::optional<uint32_t> ProcessStartTime(uint32_t processId);

// A module's calibration record is looked up and ignored: code ranges come
// from the ELF program headers. True when a record of the right size is
// there.
bool CalibrateModule(const std::string& moduleName);
// No runtime packages exist here.
const void* FindRuntimePackage(const void* candidate, const std::string& name, int version,
                               const std::string& exportName);

}  // namespace zor
