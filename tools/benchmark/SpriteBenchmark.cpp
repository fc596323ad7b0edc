// For engine developers and for anyone choosing a library: what a frame of N
// moving 32 x 32 textured sprites costs with Velmora (the sprites example's
// code), with SFML 2.5 (sf::Sprite one at a time, and one sf::VertexArray) and
// with Allegro 5.2 (held bitmap drawing), drawn the same way in the same window.
//
//   velmora-sprite-benchmark [frames [repeats]]   the table; 20 measured frames a run, 3 runs
//   velmora-sprite-benchmark --smoke      one tiny Velmora run, for the tests
//
// Every figure comes from a process of its own (each library opens its own
// window): the peers are the programs velmora-sprite-benchmark-sfml and
// velmora-sprite-benchmark-allegro beside this one, built with
// -DVELMORA_BENCHMARK_PEERS=ON (tools/benchmark/setup.sh).
#include <GL/gl.h>
#include <SDL.h>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchmarkRun.h"
#include "BouncingScene.h"
#include "engine/CGameBase.h"
#include "platform/DriverModules.h"
#include "resources/CTexture.h"
#include "sprites/CSpriteManager.h"

namespace {

// Runs the Velmora frame the example runs: update, collision pass, draw.
int RunVelmora(const BenchmarkRun& run) {
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/velmora-sprites.XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return 1;
    }
    const fs::path folder = pattern;
    const std::string image = (folder / "ball.png").string();
    // Before the window opens: no waiting for the display's refresh.
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 0);
    }
    int status = 1;
    {
        // As the example opens it: without a depth buffer.
        CGameBase engine(BENCHMARK_WIDTH, BENCHMARK_HEIGHT, false, true, false, false);
        // The GL driver is loaded now: keep it mapped for the sanitizers' leak check.
        PlatformPinDriverModules();
        CSpriteManager scene;
        if (BounceWritePng(image) && BounceAddSprites(scene, image, run.count, BENCHMARK_WIDTH, BENCHMARK_HEIGHT)->valid) {
            BenchmarkMeasure(run, [&] {
                SDL_Event event;
                while (SDL_PollEvent(&event)) {
                }
                scene.Update(BENCHMARK_STEP);
                scene.CheckCollisions();
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                glLoadIdentity();
                scene.Render(engine.screen);
                SDL_GL_SwapBuffers();
                glFinish();
            });
            status = 0;
        }
    }
    std::error_code error;
    fs::remove_all(folder, error);
    return status;
}

struct Peer {
    const char* name;
    std::string command;  // without the run's numbers; empty when not built
};

// The median frame of one run in milliseconds, or NAN when the run failed.
double Measure(const Peer& peer, int count, int frames) {
    const std::string command = peer.command + " " + std::to_string(count) + " 5 " + std::to_string(frames) +
                                " 2>/dev/null";
    FILE* out = popen(command.c_str(), "r");
    if (out == nullptr) {
        return NAN;
    }
    double ms = NAN;
    char line[128];
    while (std::fgets(line, sizeof line, out) != nullptr) {
        double value = 0;
        if (std::sscanf(line, "%lf", &value) == 1) {
            ms = value;
        }
    }
    return pclose(out) == 0 ? ms : NAN;
}

// The largest count whose frame stays within `budget` ms: doubling from 1000,
// then halving the gap until it is within a tenth.
int LargestWithin(const Peer& peer, double budget, int frames) {
    int good = 0;
    int bad = 1000;
    while (bad <= 4096000) {
        const double ms = Measure(peer, bad, frames);
        if (!(ms <= budget)) {
            break;
        }
        good = bad;
        bad *= 2;
    }
    if (good == 0 && !(Measure(peer, 1, frames) <= budget)) {
        return 0;
    }
    int low = std::max(good, 1);
    while (bad - low > low / 10) {
        const int middle = low + (bad - low) / 2;
        if (Measure(peer, middle, frames) <= budget) {
            low = middle;
        } else {
            bad = middle;
        }
    }
    return low;
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf(
            "usage: velmora-sprite-benchmark [frames [repeats] | --smoke]\n"
            "For engine developers and anyone choosing a library: the median milliseconds of a frame\n"
            "(move, draw, swap, glFinish; warm-up frames left out) of 1000, 10000 and 100000 moving\n"
            "32 x 32 textured sprites in an 800 x 600 window, and the largest count that keeps a frame\n"
            "within 16 ms, for Velmora (the sprites example), SFML 2.5 sf::Sprite and sf::VertexArray,\n"
            "and Allegro 5.2 held bitmap drawing. Each run is a process of its own; each count is run\n"
            "`repeats` times (default 3) by every library in turn and the median shown (default 20\n"
            "measured frames a run). The largest count is searched by doubling, then halving the gap.\n"
            "The peers are built with -DVELMORA_BENCHMARK_PEERS=ON (tools/benchmark/setup.sh); without\n"
            "them their rows say \"not built\". Needs a display (Xvfb will do). Prints figures; it is\n"
            "not a test.\n");
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--run") == 0) {
        BenchmarkRun run;
        return BenchmarkParseRun(argc, argv, 2, run) ? RunVelmora(run) : 1;
    }
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    if (argc > 1 && std::strcmp(argv[1], "--smoke") == 0) {
        const double ms = Measure({"Velmora", Quoted(self) + " --run"}, 10, 3);
        std::printf("Velmora, 10 sprites: %s\n", std::isnan(ms) ? "failed" : "ran");
        return std::isnan(ms) ? 1 : 0;
    }
    const int frames = argc > 1 ? std::atoi(argv[1]) : 20;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 3;
    if (frames < 1 || frames > 10000 || repeats < 1 || repeats > 100) {
        std::fprintf(stderr, "frames must be from 1 to 10000, repeats from 1 to 100\n");
        return 1;
    }
    // No waiting for the display's refresh in any library (Mesa's own switch too).
    setenv("vblank_mode", "0", 1);
    auto beside = [&self](const char* name) {
        const std::string path = (std::filesystem::path(self).parent_path() / name).string();
        return access(path.c_str(), X_OK) == 0 ? Quoted(path) : std::string();
    };
    const std::string sfml = beside("velmora-sprite-benchmark-sfml");
    const std::string allegro = beside("velmora-sprite-benchmark-allegro");
    const std::vector<Peer> peers = {{"Velmora", Quoted(self) + " --run"},
                                     {"SFML sf::Sprite", sfml.empty() ? "" : sfml + " sprites"},
                                     {"SFML sf::VertexArray", sfml.empty() ? "" : sfml + " vertex-array"},
                                     {"Allegro held drawing", allegro}};
    // The machine may be shared: every count is run by each library in turn,
    // `repeats` times, and the median of those runs is shown.
    const int counts[] = {1000, 10000, 100000};
    std::vector<std::vector<double>> runs(peers.size() * 3);
    for (int r = 0; r < repeats; ++r) {
        for (int c = 0; c < 3; ++c) {
            for (std::size_t p = 0; p < peers.size(); ++p) {
                if (!peers[p].command.empty()) {
                    runs[p * 3 + c].push_back(Measure(peers[p], counts[c], frames));
                }
            }
        }
    }
    std::printf("%-22s %10s %10s %10s %18s\n", "ms per frame", "1000", "10000", "100000", "largest N in 16 ms");
    for (std::size_t p = 0; p < peers.size(); ++p) {
        if (peers[p].command.empty()) {
            std::printf("%-22s %10s\n", peers[p].name, "not built");
            continue;
        }
        std::printf("%-22s", peers[p].name);
        for (int c = 0; c < 3; ++c) {
            std::vector<double>& ms = runs[p * 3 + c];
            std::sort(ms.begin(), ms.end());
            std::printf(" %10.2f", ms[ms.size() / 2]);
        }
        std::fflush(stdout);
        std::printf(" %18d\n", LargestWithin(peers[p], 16.0, frames));
        std::fflush(stdout);
    }
    return 0;
}
