// The bouncing sprites' motion and image, free of any engine: a program that
// draws the same scene with another library computes the very same positions
// and pixels from this header alone.
#ifndef VELMORA_EXAMPLES_SPRITES_BOUNCEMOTION_H
#define VELMORA_EXAMPLES_SPRITES_BOUNCEMOTION_H

#include <cmath>
#include <cstdint>
#include <vector>

constexpr int BOUNCE_SPRITE_SIZE = 32;  // pixels per side of a sprite and its image

// Top-left corner and velocity of one sprite, in pixels and pixels per second.
struct BounceBody {
    double x, y, vx, vy;
};

// Where sprite `index` starts in a field of `fieldW` x `fieldH` pixels: a fixed
// pseudo-random sequence, the same on every run.
inline BounceBody BounceStart(std::uint32_t index, int fieldW, int fieldH) {
    std::uint64_t state = 0x9E3779B97F4A7C15ull * (index + 1u);
    auto next = [&state]() {  // splitmix64, as a fraction in [0, 1)
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<double>((z ^ (z >> 31)) >> 11) / 9007199254740992.0;
    };
    BounceBody b;
    b.x = next() * (fieldW - BOUNCE_SPRITE_SIZE);
    b.y = next() * (fieldH - BOUNCE_SPRITE_SIZE);
    const double speed = 60.0 + next() * 180.0;
    const double angle = next() * 6.283185307179586;
    b.vx = speed * std::cos(angle);
    b.vy = speed * std::sin(angle);
    return b;
}

// Reflects one coordinate and its speed off the edges 0 and `max`.
inline void BounceReflect(double& at, double& speed, double max) {
    if (at < 0.0) {
        at = -at;
        speed = -speed;
    } else if (at > max) {
        at = 2.0 * max - at;
        speed = -speed;
    }
}

// Moves the body by `seconds` and reflects it off the field's edges.
inline void BounceStep(BounceBody& b, double seconds, int fieldW, int fieldH) {
    b.x += b.vx * seconds;
    b.y += b.vy * seconds;
    BounceReflect(b.x, b.vx, fieldW - BOUNCE_SPRITE_SIZE);
    BounceReflect(b.y, b.vy, fieldH - BOUNCE_SPRITE_SIZE);
}

// The sprites' image: a lit ball with a soft edge on a clear ground, RGBA bytes
// with straight (not premultiplied) alpha, rows top to bottom.
inline std::vector<unsigned char> BounceBallPixels() {
    const int n = BOUNCE_SPRITE_SIZE;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(n) * n * 4);
    const double centre = (n - 1) / 2.0;
    const double radius = n / 2.0 - 1.0;
    for (int row = 0; row < n; ++row) {
        for (int col = 0; col < n; ++col) {
            const double d = std::hypot(col - centre, row - centre);
            const double light = std::hypot(col - centre * 0.6, row - centre * 0.6) / (2.0 * radius);
            const double shade = std::fmax(0.35, 1.0 - light);
            const double cover = std::fmin(1.0, std::fmax(0.0, radius + 0.5 - d));
            unsigned char* p = &pixels[(static_cast<std::size_t>(row) * n + col) * 4];
            p[0] = static_cast<unsigned char>(std::lround(235.0 * shade + 20.0));
            p[1] = static_cast<unsigned char>(std::lround(150.0 * shade + 10.0));
            p[2] = static_cast<unsigned char>(std::lround(60.0 * shade + 30.0));
            p[3] = static_cast<unsigned char>(std::lround(255.0 * cover));
        }
    }
    return pixels;
}

#endif
