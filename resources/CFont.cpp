#include "resources/CFont.h"

#include <mutex>
#include <utility>

#include "config/Paths.h"
#include "log/Log.h"
#include "platform/FilePath.h"
#include "platform/FileRead.h"
#include "resources/TextRenderer.h"

namespace {

bool ReadFontFile(const std::string& name, std::shared_ptr<const std::string>& out, std::string& reason) {
    auto content = std::make_shared<std::string>();
    if (!PlatformReadFile(NativePath(MakeAbsolutePath(name)), *content, reason)) {
        return false;
    }
    out = std::move(content);
    return true;
}

}  // namespace

CFont::CFont(std::string requestedName, int pointSize, std::shared_ptr<const std::string> fileBytes)
    : font(nullptr), fileName(), size(0), realPath(), bytes(std::move(fileBytes)), source(nullptr) {
    std::string reason;
    // SDL_ttf copes with sizes of 0 and below.
    if (pointSize > MAX_FONT_SIZE) {
        reason = "point size " + std::to_string(pointSize) + " is above " + std::to_string(MAX_FONT_SIZE);
    } else if (bytes != nullptr || ReadFontFile(requestedName, bytes, reason)) {
        // SDL_ttf only ever sees memory: its own file opening would hand SDL's
        // message, which holds the name, to its error setter as a format.
        std::lock_guard<std::recursive_mutex> lock(TextLock());
        source = SDL_RWFromConstMem(bytes->data(), static_cast<int>(bytes->size()));
        if (source != nullptr) {
            font = TTF_OpenFontRW(source, 0, pointSize);
        }
        if (font == nullptr) {
            reason = SDL_GetError();
        }
    }
    if (font == nullptr) {
        ReleaseSource();
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
    ReleaseSource();
}

void CFont::ReleaseSource() {
    if (source != nullptr) {
        SDL_RWclose(source);
        source = nullptr;
    }
    bytes.reset();
}

std::shared_ptr<const std::string> CFont::GetBytes() const {
    return font != nullptr ? bytes : nullptr;
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
    std::string fitted = text;
    if (!FitText(font, fitted, measuredW, measuredH)) {
        return false;
    }
    w = measuredW;
    h = measuredH;
    return true;
}
