// Velmora sprites: a rectangle drawn as one textured quad, its texture cut into a
// grid of equally sized frame cells that can be animated.
//
// Drawing in a sprite manager: the manager adds the quads of the engine's own
// image sprites (this class, CImageSpriteEx, CLabelSprite) to a CSpriteBatch and
// draws runs of them with one GL call, in list order. A class derived from them
// is drawn through its own Render, after what the batch holds, unless it says
// that it draws exactly as its base does:
//
//   class CBall : public CImageSprite {   // overrides Update only
//       bool DrawsAsBase() const override { return typeid(*this) == typeid(CBall); }
//   };
//
// Render called directly (a sprite outside a manager) draws at once, as always.
#ifndef VELMORA_SPRITES_CIMAGESPRITE_H
#define VELMORA_SPRITES_CIMAGESPRITE_H

#include "sprites/CSprite.h"

class CTexture;

class CImageSprite : public CSprite {
public:
    double width;           // pixels, never negative
    double height;          // pixels, never negative
    int frameWidth;         // texture pixels of one cell; 0 = no grid yet
    int frameHeight;        // texture pixels of one cell; 0 = no grid yet
    bool depthTest;         // Render encloses Draw in GL_DEPTH_TEST
    bool visible;           // Render draws nothing when false
    int firstFrame;         // animation range, inclusive
    int lastFrame;          // animation range, inclusive
    double animationSpeed;  // frames per second, never negative
    double frame;           // current frame; its integer part is the cell shown
    bool animating;         // Update advances frame only when set
    double texU0;           // texture coordinates of the current cell:
    double texV0;           //   left, top,
    double texU1;           //   right,
    double texV1;           //   bottom
    CTexture* texture;      // not owned (the texture manager's)

    explicit CImageSprite(CSprite* parent = nullptr);
    ~CImageSprite() override;

    void Render(SDL_Surface* screen) override;
    void Update(double seconds) override;
    SpriteQuad* GetCorners(SpriteQuad& out) override;
    // The quad Draw emits.
    bool GetDrawnExtent(SpriteExtent& out) override;
    // What Render draws, when DrawsAsBase; false otherwise.
    bool AddToBatch(CSpriteBatch& batch) override;

    // One textured quad; a cell drawn one to one (size = cell size) at whole pixels.
    virtual void Draw(SDL_Surface* screen);
    // Runs at the end of every Update.
    virtual void OnUpdate(double seconds);
    // Runs each time the animation wraps.
    virtual void OnAnimationLoop();
    virtual double GetWidth();
    virtual void SetWidth(double w);
    virtual double GetHeight();
    virtual void SetHeight(double h);
    virtual int GetFrameHeight();
    virtual void SetFrameHeight(int n);
    virtual int GetFrameWidth();
    virtual void SetFrameWidth(int n);
    virtual int GetFirstFrame();
    virtual void SetFirstFrame(int n);
    virtual int GetLastFrame();
    virtual void SetLastFrame(int n);
    virtual double GetAnimationSpeed();
    virtual void SetAnimationSpeed(double s);
    virtual double GetFrame();
    virtual void SetFrame(double f);
    virtual bool IsAnimating();
    virtual void SetAnimating(bool b);
    virtual CTexture* GetTexture();
    // Resets the grid to one cell covering the whole image.
    virtual void SetTexture(CTexture* t);
    // Local rectangle, truncated. Returns &out.
    virtual SpriteRect* GetRect(SpriteRect& out);
    // World rectangle, truncated. Returns &out.
    virtual SpriteRect* GetWorldRect(SpriteRect& out);
    virtual void Move(double dx, double dy);
    virtual void SetPosition(double px, double py);
    virtual void Resize(double dw, double dh);
    virtual void SetSize(double w, double h);
    // Whether Render and Draw are those of the engine class this sprite derives
    // from, so that a batch may draw it in their place. The engine's classes
    // answer by their exact type: a further derived class is drawn through its own
    // Render unless it overrides this (and then neither Render nor Draw).
    virtual bool DrawsAsBase() const;

    // Whole cells of the grid that fit into the texture; 0 without a usable grid.
    int GetFrameCount();
    // Recomputes texU0..texV1 from the grid and the current frame.
    void UpdateTextureRect();

protected:
    // The image's quad as Draw emits it, added to the batch; nothing without a
    // valid texture.
    void AddImageQuad(CSpriteBatch& batch);

private:
    // World rectangle and depth of the quad Draw emits: one-to-one cells snapped
    // to whole pixels. Returns whether the cell is drawn one to one.
    bool DrawnRect(double& left, double& top, double& right, double& bottom, double& depth);
};

#endif
