#include "resources/CFontFactory.h"

#include <memory>
#include <mutex>

#include "config/Paths.h"
#include "log/Log.h"
#include "platform/FilePath.h"
#include "resources/TextRenderer.h"
#include "resources/CacheKey.h"

namespace {
const char* const CLASS_NAME = "class CFontFactory";
}  // namespace

CFontFactory::CFontFactory() {
    LogWrite(LOG_STATUS, "Instance initialized. Did nothing. Great success!", CLASS_NAME);
}

CFontFactory::~CFontFactory() {
    RemoveAll();
    LogWrite(LOG_STATUS, "Instance removed.", CLASS_NAME);
}

CFont* CFontFactory::GetFont(std::string fileName, int size) {
    const std::string key = CacheKey(fileName);
    // The loader thread asks for fonts while the main thread draws; the text lock
    // is taken anyway to open a font, so it guards the cache as well.
    std::lock_guard<std::recursive_mutex> lock(TextLock());
    for (CFont* font : fonts) {
        if (font != nullptr && font->size == size && font->fileName == key) {
            return font;
        }
    }
    // Every size and every spelling of a file shares one copy of its bytes.
    const std::string realPath = PlatformRealPath(NativePath(MakeAbsolutePath(key)));
    std::shared_ptr<const std::string> bytes;
    for (CFont* font : fonts) {
        if (font != nullptr && (font->fileName == key || (!realPath.empty() && font->realPath == realPath)) &&
            (bytes = font->GetBytes()) != nullptr) {
            break;
        }
    }
    std::unique_ptr<CFont> font(new CFont(key, size, std::move(bytes)));
    font->realPath = realPath;
    fonts.push_back(font.get());
    return font.release();
}

void CFontFactory::RemoveAll() {
    {
        std::lock_guard<std::recursive_mutex> lock(TextLock());
        while (!fonts.empty()) {
            CFont* font = fonts.front();
            if (font != nullptr) {
                if (font->font != nullptr) {
                    TTF_CloseFont(font->font);
                    font->font = nullptr;
                }
                delete font;
            }
            fonts.erase(fonts.begin());
        }
    }
    LogWrite(LOG_STATUS, "All fonts removed. Why, WHY would you do that?!", CLASS_NAME);
}
