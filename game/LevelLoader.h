#pragma once

class CGameMain;

// A level file lists at most this many blocks; a larger "count" (a broken or
// hostile file) is cut to it with a warning instead of exhausting memory.
constexpr int LEVEL_BLOCK_LIMIT = 100000;

// The loader thread's routine; `game` is the CGameMain. Makes the game's
// loaderContext current, tells the game whether that worked, and if it did builds
// the level with LoadLevel and destroys the context. Returns 0.
int LoaderThreadProc(void* game);

// Builds the player, every block of the five level files (in that order in the
// scene) and the end label on the calling thread's GL context, then stores
// Paused: after that store everything it made belongs to the main thread.
// Needs the game's spriteManager; the context must share textures with the
// main one.
void LoadLevel(CGameMain* game);

// For tests: a smaller per-file block limit. Call before loading starts.
void SetLevelBlockLimitForTesting(int limit);
