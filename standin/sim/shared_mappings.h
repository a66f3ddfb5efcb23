// The service's shared memory: the server mutex, the mapping directory and
// the statistics mapping it names, and the faults tests play on them. The
// fault settings outlive a service restart; the objects do not. Callers
// hold SimLock.
#pragma once

#include <string>

bool CreateSharedMappings();
void CloseSharedMappings();

// The clock's tick: the counters of every present interface, written under
// the server mutex.
void UpdateSharedMappings();

enum class MappingFault { DirectoryInvalid, ViewInvalid, EntryRemoved };

// Sets or clears a fault and rewrites the mappings at once; false (with the
// reason in out) when the server mutex could not be had.
bool SetMappingFault(MappingFault fault, bool on, std::string& out);
bool ChangeViewIdentity(std::string& out);
// A directory entry that announces another size than the view has (0: the
// real one), and a view header that claims another number of interfaces.
bool SetAnnouncedViewSize(uint32_t size, std::string& out);
bool SetViewCount(bool given, uint32_t count, std::string& out);

// A thread takes the server mutex and ends without releasing it; the clock
// then leaves the mutex alone for a few seconds, as a crashed service would.
bool AbandonServerMutex(std::string& out);

std::string DescribeServerMutex();
std::string DescribeSharedMappings();
