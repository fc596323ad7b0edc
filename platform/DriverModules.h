#pragma once

// Keeps every loaded Mesa driver module mapped until the process ends.
//
// The GL library closes its driver modules at exit, before LeakSanitizer looks
// at the heap; their frames are gone by then and cannot be matched by name, so
// the allocations they never free would be reported as ours. Pinned modules stay
// mapped and their frames keep their names. Does nothing outside sanitizer builds.
// Returns how many modules were pinned.
int PlatformPinDriverModules();
