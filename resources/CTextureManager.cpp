#include "resources/CTextureManager.h"

#include <memory>

#include "config/Paths.h"
#include "log/Log.h"
#include "platform/FilePath.h"
#include "resources/CacheKey.h"

namespace {
const char* const CLASS_NAME = "class CTextureManager";
}  // namespace

CTextureManager::CTextureManager() {
    LogWrite(LOG_STATUS, "Instance initialized.", CLASS_NAME);
}

CTextureManager::~CTextureManager() {
    UnloadAll();
    LogWrite(LOG_STATUS, "Instance removed.", CLASS_NAME);
}

CTexture* CTextureManager::GetTexture(std::string fileName, bool readOnly, bool reload) {
    const std::string key = CacheKey(fileName);
    const int index = FindTexture(key);
    if (index < 0) {
        // Another spelling of a file already shown (other separators, "." or "..",
        // a link) shares its pixels rather than decoding them again.
        const CTexture* sameFile = readOnly ? FindSameFile(key) : nullptr;
        std::unique_ptr<CTexture> texture(sameFile != nullptr ? new CTexture(key, *sameFile)
                                                              : new CTexture(key, readOnly));
        textures.push_back(texture.get());
        return texture.release();
    }
    if (reload) {
        delete textures[index];
        textures[index] = nullptr;
        textures[index] = new CTexture(key, readOnly);
        return textures[index];
    }
    CTexture* texture = textures[index];
    if (readOnly || !texture->readOnly) {
        return texture;
    }
    LogWrite(LOG_WARNING, "Reloading read-only texture " + key + "for write access.", CLASS_NAME);
    texture->readOnly = false;
    texture->Load(key);
    return texture;
}

int CTextureManager::FindTexture(std::string key) {
    for (size_t i = 0; i < textures.size(); ++i) {
        if (textures[i] != nullptr && textures[i]->fileName == key) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const CTexture* CTextureManager::FindSameFile(const std::string& key) {
    const std::string realPath = PlatformRealPath(NativePath(MakeAbsolutePath(key)));
    if (realPath.empty()) {
        return nullptr;
    }
    for (const CTexture* texture : textures) {
        if (texture != nullptr && texture->valid && texture->realPath == realPath) {
            return texture;
        }
    }
    return nullptr;
}

void CTextureManager::UnloadAll() {
    while (!textures.empty()) {
        delete textures.front();
        textures.erase(textures.begin());
    }
    LogWrite(LOG_STATUS, "All textures unloaded.", CLASS_NAME);
}
