// Velmora resources: one image file as an OpenGL texture.
#ifndef VELMORA_RESOURCES_CTEXTURE_H
#define VELMORA_RESOURCES_CTEXTURE_H

#include <cstdint>
#include <memory>
#include <string>

#include <GL/gl.h>
#include <SDL/SDL.h>

class CTexture {
public:
    // Makes the GL texture name, loads `fileName` into it and sets linear filtering
    // and EdgeWrapMode's wrapping. Needs a current GL context.
    CTexture(std::string fileName, bool readOnly);
    // A read-only texture of `fileName` that shows the pixels of `sameFile`, a
    // valid texture of the same file under another name: nothing is decoded or
    // uploaded again, and the GL texture lives until the last of them goes.
    CTexture(std::string fileName, const CTexture& sameFile);
    ~CTexture();

    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;

    // Reads the image file and uploads it into textureId. Its pixels count against
    // the pixel budget (PixelBudget.h): past it the texture is not valid.
    void Load(std::string fileName);
    // Uploads the held surface into textureId.
    void Update();

    // GL_CLAMP_TO_EDGE where the GL has it (1.2 and later), GL_CLAMP otherwise:
    // tiles that touch show no seam. Needs a current GL context on first call.
    static GLint EdgeWrapMode();

    bool valid;             // read and truecolor; sprites draw only valid textures
    bool readOnly;          // surface dropped after upload
    GLuint textureId;       // owned GL texture name
    GLenum pixelFormat;     // GL_RGBA, GL_BGRA, GL_RGB or GL_BGR; 0 until uploaded
    int bytesPerPixel;      // 3 or 4 for a usable image
    int width;              // pixels
    int height;             // pixels
    std::string fileName;   // cache key of the last successful load; empty until then
    SDL_Surface* surface;   // owned; null while read-only
    bool filterSet;         // min/mag filters applied to textureId
    bool wrapSet;           // wrap modes applied to textureId
    std::string realPath;   // the file reached by the last successful load (PlatformRealPath)

private:
    // The GL texture and the budget its pixels take, held by every texture that shows them.
    struct SharedPixels {
        explicit SharedPixels(GLuint id) : textureId(id), bytes(0) {}
        ~SharedPixels();
        SharedPixels(const SharedPixels&) = delete;
        SharedPixels& operator=(const SharedPixels&) = delete;
        GLuint textureId;
        std::uint64_t bytes;  // reserved in the pixel budget
    };
    std::shared_ptr<SharedPixels> pixels;
};

#endif
