#include "sprites/CSpriteBatch.h"

CSpriteBatch::CSpriteBatch()
    : vertices(),
      whites(),
      count(0),
      heldTexture(0),
      heldDepthTest(false),
      heldNearest(false),
      pixelExact(false),
      arraysOn(false),
      depthOn(false),
      drawCalls(0) {}

CSpriteBatch::~CSpriteBatch() = default;

void CSpriteBatch::Draw() {
    if (!arraysOn) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        arraysOn = true;
    }
    // Only on a change: consecutive runs that differ by texture alone keep it.
    if (heldDepthTest != depthOn) {
        if (heldDepthTest) {
            glEnable(GL_DEPTH_TEST);
        } else {
            glDisable(GL_DEPTH_TEST);
        }
        depthOn = heldDepthTest;
    }
    glBindTexture(GL_TEXTURE_2D, heldTexture);
    // Set anew every time: growing the vector moves it.
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &vertices[0].u);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &vertices[0].x);
    // Filters belong to the texture object: set for this draw, then put back.
    GLint minFilter = GL_NEAREST;
    GLint magFilter = GL_NEAREST;
    if (heldNearest) {
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        if (minFilter != GL_NEAREST) {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        }
        if (magFilter != GL_NEAREST) {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        }
    }
    // Under a white current colour the quads carry it in an array of their own:
    // the same colour, but Mesa's software renderer shades such a draw with less
    // work than one that reads the current colour. The current colour is left
    // as it was (an array leaves it undefined).
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    const bool white = colour[0] == 1.0f && colour[1] == 1.0f && colour[2] == 1.0f && colour[3] == 1.0f;
    if (white) {
        if (whites.size() < count) {
            whites.assign(vertices.size(), 0xFFFFFFFFu);
        }
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_UNSIGNED_BYTE, 0, whites.data());
    }
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(count));
    if (white) {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4fv(colour);
    }
    if (minFilter != GL_NEAREST) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    }
    if (magFilter != GL_NEAREST) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    }
    ++drawCalls;
    count = 0;
}

void CSpriteBatch::Flush() {
    if (count != 0) {
        Draw();
    }
    if (depthOn) {
        glDisable(GL_DEPTH_TEST);
        depthOn = false;
    }
    if (arraysOn) {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        arraysOn = false;
    }
}
