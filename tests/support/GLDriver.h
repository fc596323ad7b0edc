#pragma once

// Keeps Mesa's driver loaded until the process ends: unloaded early, the
// allocations it keeps for the whole run would be reported as leaks that no
// suppression can name. Call before the first GL context is made.
void KeepGLDriverLoaded();
