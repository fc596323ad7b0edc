// The sprite benchmark's Allegro 5.2 runner, as Allegro's documentation draws
// many sprites of one bitmap: al_draw_bitmap between al_hold_bitmap_drawing calls.
//
//   velmora-sprite-benchmark-allegro count warmup frames
#include <allegro5/allegro.h>
#include <allegro5/allegro_opengl.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "BenchmarkRun.h"
#include "BounceMotion.h"

int main(int argc, char** argv) {
    BenchmarkRun run;
    if (!BenchmarkParseRun(argc, argv, 1, run)) {
        std::fprintf(stderr, "usage: velmora-sprite-benchmark-allegro count warmup frames\n"
                             "Run by velmora-sprite-benchmark; prints the median milliseconds of a frame.\n");
        return 1;
    }
    if (!al_init()) {
        return 1;
    }
    al_set_new_display_flags(ALLEGRO_WINDOWED | ALLEGRO_OPENGL);
    al_set_new_display_option(ALLEGRO_VSYNC, 2, ALLEGRO_SUGGEST);
    ALLEGRO_DISPLAY* display = al_create_display(BENCHMARK_WIDTH, BENCHMARK_HEIGHT);
    if (display == nullptr) {
        return 1;
    }
    ALLEGRO_BITMAP* ball = al_create_bitmap(BOUNCE_SPRITE_SIZE, BOUNCE_SPRITE_SIZE);
    ALLEGRO_LOCKED_REGION* region =
        al_lock_bitmap(ball, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_WRITEONLY);
    if (ball == nullptr || region == nullptr) {
        return 1;
    }
    // Allegro blends premultiplied colours by default, as its image loader gives them.
    const std::vector<unsigned char> pixels = BounceBallPixels();
    for (int row = 0; row < BOUNCE_SPRITE_SIZE; ++row) {
        unsigned char* out = static_cast<unsigned char*>(region->data) + row * region->pitch;
        for (int col = 0; col < BOUNCE_SPRITE_SIZE; ++col) {
            const unsigned char* p = &pixels[(row * BOUNCE_SPRITE_SIZE + col) * 4];
            for (int c = 0; c < 3; ++c) {
                out[col * 4 + c] = static_cast<unsigned char>((p[c] * p[3] + 127) / 255);
            }
            out[col * 4 + 3] = p[3];
        }
    }
    al_unlock_bitmap(ball);

    std::vector<BounceBody> bodies;
    for (int i = 0; i < run.count; ++i) {
        bodies.push_back(BounceStart(static_cast<std::uint32_t>(i), BENCHMARK_WIDTH, BENCHMARK_HEIGHT));
    }
    BenchmarkMeasure(run, [&] {
        for (BounceBody& b : bodies) {
            BounceStep(b, BENCHMARK_STEP, BENCHMARK_WIDTH, BENCHMARK_HEIGHT);
        }
        al_clear_to_color(al_map_rgb(0, 0, 0));
        al_hold_bitmap_drawing(true);
        for (const BounceBody& b : bodies) {
            al_draw_bitmap(ball, static_cast<float>(b.x), static_cast<float>(b.y), 0);
        }
        al_hold_bitmap_drawing(false);
        al_flip_display();
        glFinish();
    });
    al_destroy_bitmap(ball);
    al_destroy_display(display);
    return 0;
}
