// Velmora sprites: draws many textured quads with few GL calls. Quads are held
// in the order they are added and drawn by one glDrawArrays per run of quads that
// share a texture and the depth test (OpenGL 1.1 vertex arrays).
//
// Rules:
// - What is held is drawn by Flush, in the order added. Flush before any GL call
//   of your own that draws or changes the state the quads rely on; the sprite
//   manager does that before every sprite it does not batch.
// - A quad adds nothing but its texture and the depth test: the current colour,
//   blending and alpha test apply, as in CImageSprite::Draw (a white current
//   colour is passed as an array of its own, which Mesa draws faster). After Flush the
//   depth test is off, as after CImageSprite::Render.
// - A quad added as exact (its texels fall one to one on whole pixels) is
//   sampled nearest while SetPixelExact(true) says that the view maps a unit to
//   a pixel: the same pixels as linear filtering there, for less work in a
//   software renderer. The texture's own filters are restored after the draw.
// - Which sprites are batched is each sprite's say (CSprite::AddToBatch, and
//   CImageSprite::DrawsAsBase for the engine's image sprites): a class that draws
//   through its own Render is drawn by it, in list order, after a flush.
//
//   CSpriteBatch batch;
//   for (CSprite* s : sprites) {
//       if (!s->AddToBatch(batch)) { batch.Flush(); s->Render(screen); }
//   }
//   batch.Flush();
#ifndef VELMORA_SPRITES_CSPRITEBATCH_H
#define VELMORA_SPRITES_CSPRITEBATCH_H

#include <GL/gl.h>

#include <cstddef>
#include <limits>
#include <vector>

#include "sprites/SpriteGeometry.h"

class CSpriteBatch {
public:
    CSpriteBatch();
    ~CSpriteBatch();

    CSpriteBatch(const CSpriteBatch&) = delete;
    CSpriteBatch& operator=(const CSpriteBatch&) = delete;

    // One quad with the corners p0..p3 (world pixels) at depth z, its texture
    // coordinates in the order of CImageSprite::Draw: (u0, v1) at p0, (u1, v1)
    // at p1, (u1, v0) at p2, (u0, v0) at p3.
    void AddQuad(GLuint texture, bool depthTest, const SpriteQuad& corners, double z, double u0, double v0,
                 double u1, double v1) {
        Vertex* v = Reserve(texture, depthTest, false);
        const GLfloat fz = ToFloat(z);
        const GLfloat fu0 = ToFloat(u0), fv0 = ToFloat(v0), fu1 = ToFloat(u1), fv1 = ToFloat(v1);
        v[0] = {fu0, fv1, ToFloat(corners.p0.x), ToFloat(corners.p0.y), fz};
        v[1] = {fu1, fv1, ToFloat(corners.p1.x), ToFloat(corners.p1.y), fz};
        v[2] = {fu1, fv0, ToFloat(corners.p2.x), ToFloat(corners.p2.y), fz};
        v[3] = {fu0, fv0, ToFloat(corners.p3.x), ToFloat(corners.p3.y), fz};
    }
    // An upright quad from (left, top) to (right, bottom): p0 is the bottom-left
    // corner. `exact`: one texel per pixel, the corners on whole pixels.
    void AddRect(GLuint texture, bool depthTest, bool exact, double left, double top, double right, double bottom,
                 double z, double u0, double v0, double u1, double v1) {
        Vertex* v = Reserve(texture, depthTest, exact && pixelExact);
        const GLfloat l = ToFloat(left), t = ToFloat(top), r = ToFloat(right), b = ToFloat(bottom);
        const GLfloat fz = ToFloat(z);
        const GLfloat fu0 = ToFloat(u0), fv0 = ToFloat(v0), fu1 = ToFloat(u1), fv1 = ToFloat(v1);
        v[0] = {fu0, fv1, l, b, fz};
        v[1] = {fu1, fv1, r, b, fz};
        v[2] = {fu1, fv0, r, t, fz};
        v[3] = {fu0, fv0, l, t, fz};
    }

    // Whether the view maps one unit to one pixel at whole-pixel offsets (false
    // at first). Takes effect for the quads added after it.
    void SetPixelExact(bool exact) { pixelExact = exact; }
    // Draws what is held and empties the batch; leaves GL_DEPTH_TEST off and the
    // client arrays disabled. Nothing held: no GL call.
    void Flush();
    // Quads held now.
    std::size_t Size() const { return count / 4; }
    // glDrawArrays calls made since construction.
    std::size_t DrawCalls() const { return drawCalls; }

private:
    // As the GL converts glVertex3d's doubles, but a value beyond the float range
    // becomes an infinity by rule rather than by undefined behaviour.
    static GLfloat ToFloat(double d) {
        constexpr double largest = std::numeric_limits<GLfloat>::max();
        if (d > largest) {
            return std::numeric_limits<GLfloat>::infinity();
        }
        if (d < -largest) {
            return -std::numeric_limits<GLfloat>::infinity();
        }
        return static_cast<GLfloat>(d);
    }
    struct Vertex {
        GLfloat u, v, x, y, z;
    };
    // Room for one more quad of this state; a change of state draws what is held first.
    Vertex* Reserve(GLuint texture, bool depthTest, bool nearest) {
        if (count != 0 && (texture != heldTexture || depthTest != heldDepthTest || nearest != heldNearest)) {
            Draw();
        }
        heldTexture = texture;
        heldDepthTest = depthTest;
        heldNearest = nearest;
        if (count + 4 > vertices.size()) {
            vertices.resize(vertices.empty() ? 1024 : vertices.size() * 2);
        }
        Vertex* v = &vertices[count];
        count += 4;
        return v;
    }
    // Draws the held run, leaving the arrays enabled and the depth test as the run needs.
    void Draw();

    std::vector<Vertex> vertices;  // grown, never shrunk: a frame allocates nothing
    std::vector<GLuint> whites;    // opaque white RGBA bytes, one per vertex, for a white current colour
    std::size_t count;             // vertices held
    GLuint heldTexture;            // of the held run
    bool heldDepthTest;            // of the held run
    bool heldNearest;              // of the held run: sampled nearest
    bool pixelExact;               // see SetPixelExact
    bool arraysOn;                 // client arrays enabled by Draw since the last Flush
    bool depthOn;                  // GL_DEPTH_TEST enabled by Draw since the last Flush
    std::size_t drawCalls;
};

#endif
