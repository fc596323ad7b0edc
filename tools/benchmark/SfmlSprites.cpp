// The sprite benchmark's SFML 2.5 runner, as SFML's documentation draws many
// sprites: one sf::Sprite drawn at a time, or one sf::VertexArray of quads.
//
//   velmora-sprite-benchmark-sfml sprites|vertex-array count warmup frames
#include <SFML/Graphics.hpp>
#include <SFML/OpenGL.hpp>

#include <cstdio>
#include <cstring>
#include <vector>

#include "BenchmarkRun.h"
#include "BounceMotion.h"

int main(int argc, char** argv) {
    BenchmarkRun run;
    const bool vertexArray = argc > 1 && std::strcmp(argv[1], "vertex-array") == 0;
    if (argc < 2 || (!vertexArray && std::strcmp(argv[1], "sprites") != 0) || !BenchmarkParseRun(argc, argv, 2, run)) {
        std::fprintf(stderr, "usage: velmora-sprite-benchmark-sfml sprites|vertex-array count warmup frames\n"
                             "Run by velmora-sprite-benchmark; prints the median milliseconds of a frame.\n");
        return 1;
    }
    sf::RenderWindow window(sf::VideoMode(BENCHMARK_WIDTH, BENCHMARK_HEIGHT), "SFML sprites",
                            sf::Style::Titlebar | sf::Style::Close);
    window.setVerticalSyncEnabled(false);
    sf::Texture texture;
    if (!texture.create(BOUNCE_SPRITE_SIZE, BOUNCE_SPRITE_SIZE)) {
        return 1;
    }
    texture.update(BounceBallPixels().data());

    std::vector<BounceBody> bodies;
    for (int i = 0; i < run.count; ++i) {
        bodies.push_back(BounceStart(static_cast<std::uint32_t>(i), BENCHMARK_WIDTH, BENCHMARK_HEIGHT));
    }
    std::vector<sf::Sprite> sprites(vertexArray ? 0 : bodies.size(), sf::Sprite(texture));
    sf::VertexArray quads(sf::Quads, vertexArray ? bodies.size() * 4 : 0);
    const float side = BOUNCE_SPRITE_SIZE;
    for (std::size_t i = 0; vertexArray && i < bodies.size(); ++i) {
        quads[i * 4 + 0].texCoords = {0, 0};
        quads[i * 4 + 1].texCoords = {side, 0};
        quads[i * 4 + 2].texCoords = {side, side};
        quads[i * 4 + 3].texCoords = {0, side};
    }
    BenchmarkMeasure(run, [&] {
        sf::Event event;
        while (window.pollEvent(event)) {
        }
        for (std::size_t i = 0; i < bodies.size(); ++i) {
            BounceBody& b = bodies[i];
            BounceStep(b, BENCHMARK_STEP, BENCHMARK_WIDTH, BENCHMARK_HEIGHT);
            const float x = static_cast<float>(b.x);
            const float y = static_cast<float>(b.y);
            if (vertexArray) {
                quads[i * 4 + 0].position = {x, y};
                quads[i * 4 + 1].position = {x + side, y};
                quads[i * 4 + 2].position = {x + side, y + side};
                quads[i * 4 + 3].position = {x, y + side};
            } else {
                sprites[i].setPosition(x, y);
            }
        }
        window.clear();
        if (vertexArray) {
            window.draw(quads, &texture);
        } else {
            for (const sf::Sprite& sprite : sprites) {
                window.draw(sprite);
            }
        }
        window.display();
        glFinish();
    });
    return 0;
}
