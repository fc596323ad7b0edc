#include "resources/CTexture.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "config/Paths.h"
#include "log/Log.h"
#include "platform/FilePath.h"
#include "platform/FileRead.h"
#include "resources/ImageDecode.h"
#include "resources/PixelBudget.h"

namespace {

const char* const CLASS_NAME = "class CTexture";

// Decodes the image file of the stored name `name`, or gives null and the reason.
// The file is read here and decoded from memory: a pipe or device is refused at
// once, an absurd declared size before any pixel is allocated, and no name
// reaches SDL's error formatting. The decoder is the one the bytes show, whatever
// the name's extension says.
SDL_Surface* ReadImage(const std::string& name, std::string& reason) {
    std::string bytes;
    if (!PlatformReadFile(NativePath(MakeAbsolutePath(name)), bytes, reason)) {
        return nullptr;
    }
    return ImageDecode(bytes, reason);
}

}  // namespace

GLint CTexture::EdgeWrapMode() {
    // GL_CLAMP with linear filtering blends the border colour into the outermost
    // texels, which shows as a dark seam between touching tiles; clamping to the
    // edge texel (GL 1.2) does not. Both contexts share one driver, so asking
    // once is enough.
    static const GLint mode = [] {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        int major = 0;
        int minor = 0;
        if (version == nullptr || std::sscanf(version, "%d.%d", &major, &minor) != 2) {
            return static_cast<GLint>(GL_CLAMP);
        }
        return static_cast<GLint>(major > 1 || (major == 1 && minor >= 2) ? GL_CLAMP_TO_EDGE : GL_CLAMP);
    }();
    return mode;
}

CTexture::CTexture(std::string requestedName, bool readOnlyTexture)
    : valid(true),
      readOnly(readOnlyTexture),
      textureId(0),
      pixelFormat(0),
      bytesPerPixel(0),
      width(0),
      height(0),
      fileName(),
      surface(nullptr),
      filterSet(false),
      wrapSet(false),
      realPath(),
      pixels() {
    glGenTextures(1, &textureId);
    pixels = std::make_shared<SharedPixels>(textureId);
    Load(requestedName);
    // Parameters belong to the texture object, so a later Load into the same
    // name keeps them.
    if (!filterSet) {
        glBindTexture(GL_TEXTURE_2D, textureId);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        filterSet = true;
    }
    if (!wrapSet) {
        glBindTexture(GL_TEXTURE_2D, textureId);
        const GLint wrap = EdgeWrapMode();
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        wrapSet = true;
    }
}

CTexture::CTexture(std::string requestedName, const CTexture& sameFile)
    : valid(sameFile.valid),
      readOnly(true),
      textureId(sameFile.textureId),
      pixelFormat(sameFile.pixelFormat),
      bytesPerPixel(sameFile.bytesPerPixel),
      width(sameFile.width),
      height(sameFile.height),
      fileName(requestedName),
      surface(nullptr),
      filterSet(sameFile.filterSet),
      wrapSet(sameFile.wrapSet),
      realPath(sameFile.realPath),
      pixels(sameFile.pixels) {
    // The lines a load of this name writes, without the work.
    LogWrite(LOG_STATUS, "Texture " + requestedName + " loaded successfully.", CLASS_NAME);
    if ((width & (width - 1)) != 0 || (height & (height - 1)) != 0) {
        LogWrite(LOG_WARNING, "Texture measurements are not a power of 2.", CLASS_NAME);
    }
}

CTexture::SharedPixels::~SharedPixels() {
    glDeleteTextures(1, &textureId);
    PixelBudgetRelease(bytes);
}

CTexture::~CTexture() {
    pixels.reset();
    if (surface != nullptr) {
        SDL_FreeSurface(surface);
    }
    LogWrite(LOG_STATUS, "Texture " + fileName + " unloaded successfully.", CLASS_NAME);
}

void CTexture::Load(std::string requestedName) {
    // A surface still held from an earlier load would leak when replaced.
    if (surface != nullptr) {
        SDL_FreeSurface(surface);
        surface = nullptr;
    }
    std::string reason;
    surface = ReadImage(requestedName, reason);
    if (surface == nullptr) {
        valid = false;
        LogWrite(LOG_ERROR, "Failed to load texture from " + requestedName + ", SDL reports: \n" + reason,
                 CLASS_NAME);
        return;
    }
    // Counted as the GL holds them, whatever the file's own format: 4 bytes a pixel
    // at most. A load into the same texture gives back what the last one took.
    const std::uint64_t held = pixels->bytes;
    PixelBudgetRelease(held);
    pixels->bytes = 0;
    const std::uint64_t bytes = static_cast<std::uint64_t>(surface->w) * static_cast<std::uint64_t>(surface->h) *
                                std::max<std::uint64_t>(surface->format->BytesPerPixel, 1);
    if (!PixelBudgetReserve(bytes)) {
        // Whatever the texture showed before stays, and stays counted.
        pixels->bytes = PixelBudgetReserve(held) ? held : 0;
        SDL_FreeSurface(surface);
        surface = nullptr;
        valid = false;
        LogWrite(LOG_ERROR, "Failed to load texture from " + requestedName + ", SDL reports: \n" +
                                PixelBudgetRefusal(bytes),
                 CLASS_NAME);
        return;
    }
    pixels->bytes = bytes;
    LogWrite(LOG_STATUS, "Texture " + requestedName + " loaded successfully.", CLASS_NAME);
    fileName = requestedName;
    realPath = PlatformRealPath(NativePath(MakeAbsolutePath(requestedName)));
    Update();
    if (!valid) {
        // Never drawn: its pixels are not held against the budget either.
        PixelBudgetRelease(pixels->bytes);
        pixels->bytes = 0;
    }
    if (readOnly) {
        SDL_FreeSurface(surface);
        surface = nullptr;
    }
}

void CTexture::Update() {
    if (surface == nullptr) {
        LogWrite(LOG_WARNING, "Tried to update read-only texture. Ignoring.", CLASS_NAME);
        return;
    }
    const int w = surface->w;
    const int h = surface->h;
    if ((w & (w - 1)) != 0 || (h & (h - 1)) != 0) {
        LogWrite(LOG_WARNING, "Texture measurements are not a power of 2.", CLASS_NAME);
    }
    width = w;
    height = h;
    bytesPerPixel = surface->format->BytesPerPixel;
    const Uint32 redMask = surface->format->Rmask;
    if (bytesPerPixel == 4) {
        pixelFormat = (redMask == 0x000000FF) ? GL_RGBA : GL_BGRA;
    } else if (bytesPerPixel == 3) {
        pixelFormat = (redMask == 0x000000FF) ? GL_RGB : GL_BGR;
    } else {
        LogWrite(LOG_WARNING, "The image is not truecolor. This will cause problems.", CLASS_NAME);
        valid = false;
        // Never drawn, and its pixels have no GL layout: nothing is uploaded.
        return;
    }
    // Beyond what this GL can hold the upload would fail or, on some drivers,
    // allocate without bound; such a texture is never drawn.
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (w > largest || h > largest) {
        LogWrite(LOG_WARNING, "Texture measurements exceed the largest texture of this GL.", CLASS_NAME);
        valid = false;
        return;
    }
    // SDL pads rows to 4 bytes, which is GL's default unpack alignment.
    const bool mustLock = SDL_MUSTLOCK(surface);
    if (mustLock) {
        SDL_LockSurface(surface);
    }
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexImage2D(GL_TEXTURE_2D, 0, bytesPerPixel, width, height, 0, pixelFormat, GL_UNSIGNED_BYTE,
                 surface->pixels);
    if (mustLock) {
        SDL_UnlockSurface(surface);
    }
}
