// Velmora resources: the cache of textures by file name.
#ifndef VELMORA_RESOURCES_CTEXTUREMANAGER_H
#define VELMORA_RESOURCES_CTEXTUREMANAGER_H

#include <string>
#include <vector>

#include "resources/CTexture.h"

class CTextureManager {
public:
    CTextureManager();
    ~CTextureManager();

    CTextureManager(const CTextureManager&) = delete;
    CTextureManager& operator=(const CTextureManager&) = delete;

    // The texture of `fileName` (any letter case), loaded on first request; a name
    // that reaches a file already loaded read-only shares its pixels. Never
    // null: an unreadable file gives a texture with valid false, and is tried anew
    // on the next request. readOnly false makes a read-only texture hold its pixels
    // again; reload replaces the cached texture in its slot (old pointers dangle).
    CTexture* GetTexture(std::string fileName, bool readOnly, bool reload);
    // Index in textures of the first texture loaded under `key`, or -1.
    int FindTexture(std::string key);
    // A valid texture of the file that `key` reaches under another name, or null.
    const CTexture* FindSameFile(const std::string& key);
    // Destroys every texture; pointers handed out before dangle afterwards.
    void UnloadAll();

    std::vector<CTexture*> textures;  // owned, in order of first request
};

#endif
