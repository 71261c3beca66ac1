// SPDX-License-Identifier: MIT
// Memory, diagnostics and program-location services every subsystem leans on.
#pragma once

#include <cstddef>
#include <string>

namespace tolmere {

// Returns a block of `size` bytes (allocated with new[]); when memory is exhausted
// writes a line to the diagnostic log and ends the program with kExitOutOfMemory.
char* AllocOrExit(std::size_t size);

// Releases a block from AllocOrExit, if any, and sets the pointer to null.
void FreeAndClear(char*& block);

// Makes any failed operator new end the program like AllocOrExit does. Programs call
// this once at start; libraries never do.
void InstallOutOfMemoryExit();

// While one lives on a thread, a failed operator new there throws std::bad_alloc
// instead of ending the program: a load that runs out of memory can fail alone and
// leave the tables in memory, edits and all, as they were.
class CAllocationMayFail {
public:
    CAllocationMayFail();
    ~CAllocationMayFail();
    CAllocationMayFail(const CAllocationMayFail&) = delete;
    CAllocationMayFail& operator=(const CAllocationMayFail&) = delete;
};

// Appends the text and CR LF to the file named by the TOLMERE_LOG environment
// variable; writes nowhere when it is unset or empty.
void DiagLog(const std::string& text);

// An unrecoverable data error: logged, printed to stderr, and the program ends with
// kExitFatalError.
[[noreturn]] void FatalError(const std::string& text);

// Directory of the running program file, ending with '/'. Empty when unknown.
const std::string& ModuleDir();

// The name of the entry of `dir` that is `name` without regard to case (the exact
// name first, as game folders copied from Windows spell names either way); empty
// when there is none.
std::string EntryIgnoringCase(const std::string& dir, const std::string& name);

} // namespace tolmere
