#include "resources/CFont.h"

#include <mutex>

#include "config/Paths.h"
#include "log/Log.h"
#include "platform/FilePath.h"
#include "resources/TextRenderer.h"

CFont::CFont(std::string requestedName, int pointSize) : font(nullptr), fileName(), size(0) {
    const std::string path = NativePath(MakeAbsolutePath(requestedName));
    std::string reason;
    {
        std::lock_guard<std::recursive_mutex> lock(TextLock());
        font = TTF_OpenFont(path.c_str(), pointSize);
        if (font == nullptr) {
            reason = SDL_GetError();
        }
    }
    if (font == nullptr) {
        LogWrite(LOG_ERROR, "Failed to load font file " + requestedName + ", SDL reports: " + reason,
                 "class CFont");
    }
    fileName = requestedName;
    size = pointSize;
}

CFont::~CFont() {
    std::lock_guard<std::recursive_mutex> lock(TextLock());
    if (font != nullptr) {
        TTF_CloseFont(font);
        font = nullptr;
    }
}

std::string CFont::GetFileName() {
    return fileName;
}

bool CFont::MeasureText(const std::string& text, int& w, int& h) {
    w = 0;
    h = 0;
    std::lock_guard<std::recursive_mutex> lock(TextLock());
    if (font == nullptr) {
        return false;
    }
    int measuredW = 0;
    int measuredH = 0;
    if (TTF_SizeText(font, text.c_str(), &measuredW, &measuredH) != 0) {
        return false;
    }
    w = measuredW;
    h = measuredH;
    return true;
}
