// For engine developers: what one frame of a large level costs in the sprite
// manager, for the straightforward design (draw every sprite, test all pairs by
// the plain double loop) and for ours, measured side by side in the same run.
//
//   quillfen-scene-benchmark [frames | --pile]
//
// Needs a display (draws into a real GL window; Xvfb will do). Run it from the
// source folder: the load measure copies data/'s images and font.
#include <GL/gl.h>
#include <SDL.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/CGameBase.h"
#include "resources/CFont.h"
#include "resources/CTexture.h"
#include "sprites/CImageSprite.h"
#include "sprites/CLabelSprite.h"
#include "sprites/CSpriteManager.h"

namespace {

// Walks to and fro over the floor like the player, is pushed back onto it.
class CWalker : public CImageSprite {
public:
    CWalker() {
        SetCollisionGroups(COLLISION_ACTOR, COLLISION_ALL);
    }
    void OnCollision(CSprite* other) override {
        if (other->y > y) {
            y = other->y - GetHeight();
        }
    }
    void OnUpdate(double) override {
        x += step;
        y += 1.0;
        if (x > 700.0 || x < 0.0) {
            step = -step;
        }
    }
    double step = 3.0;
};

// Moves to and fro like a platform and reacts to the walker only.
class CMover : public CImageSprite {
public:
    CMover() {
        SetCollisionGroups(COLLISION_TRIGGER, COLLISION_ACTOR);
    }
    void OnUpdate(double) override {
        x += step;
        if (x > 700.0 || x < 0.0) {
            step = -step;
        }
    }
    double step = 4.0;
};

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The straightforward pass: every pair, in order, those that can react tested.
void PlainPass(std::vector<CSprite*>& sprites) {
    for (std::size_t i = 0; i < sprites.size(); ++i) {
        for (std::size_t j = i + 1; j < sprites.size(); ++j) {
            if (sprites[i]->CanCollideWith(*sprites[j]) && sprites[i]->CollidesWith(sprites[j])) {
                sprites[i]->OnCollision(sprites[j]);
                sprites[j]->OnCollision(sprites[i]);
            }
        }
    }
}

// A level of 64-pixel tiles, 100 to a row, every third captioned; a walker and
// eight movers. The camera shows the same top-left corner at every size.
void Build(CSpriteManager& scene, int blocks, CTexture* texture, CFont* font) {
    auto* walker = new CWalker();
    walker->SetTexture(texture);
    walker->SetSize(52, 64);
    walker->SetPosition(0, 436);
    scene.AddSprite(walker);
    for (int i = 0; i < 8; ++i) {
        auto* mover = new CMover();
        mover->SetTexture(texture);
        mover->SetSize(96, 16);
        mover->SetPosition(i * 80.0, 300.0);
        scene.AddSprite(mover);
    }
    for (int i = 0; i < blocks; ++i) {
        CImageSprite* block = i % 3 == 0 ? new CLabelSprite(nullptr, font) : new CImageSprite();
        block->MarkAsScenery();
        block->SetTexture(texture);
        block->SetSize(64, 64);
        block->SetPosition((i % 100) * 64.0, 500.0 + (i / 100) * 64.0);
        if (i % 3 == 0) {
            auto* label = static_cast<CLabelSprite*>(block);
            label->SetFontColor({255, 255, 255, 0});
            label->SetTextRect({0, 0, 64, 16});
            label->SetCaption("Block");
        }
        scene.AddSprite(block);
    }
    scene.y = -200.0;
}

struct Cost {
    double update, collide, draw;
};

Cost Measure(CSpriteManager& scene, bool plain, int frames) {
    scene.cullOffScreen = !plain;
    Clock::duration update{}, collide{}, draw{};
    for (int f = 0; f < frames; ++f) {
        const auto t0 = Clock::now();
        if (plain) {
            for (CSprite* sprite : scene.activeSprites) {
                sprite->Update(0.016);
            }
        } else {
            scene.Update(0.016);
        }
        const auto t1 = Clock::now();
        if (plain) {
            PlainPass(scene.activeSprites);
        } else {
            scene.CheckCollisions();
        }
        const auto t2 = Clock::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        scene.Render(nullptr);
        glFinish();
        const auto t3 = Clock::now();
        SDL_GL_SwapBuffers();
        update += t1 - t0;
        collide += t2 - t1;
        draw += t3 - t2;
    }
    return {Milliseconds(update) / frames, Milliseconds(collide) / frames, Milliseconds(draw) / frames};
}

// The first collision pass over a pile: `floors` still floors 64 pixels wide and
// `height` tall whose tops rise a pixel each, and a walker in the lowest that
// every floor in turn pushes up by a pixel.
double MeasurePile(int floors, double height, CTexture* texture) {
    CSpriteManager scene;
    auto* walker = new CWalker();
    walker->SetTexture(texture);
    walker->SetSize(52, 64);
    walker->SetPosition(0, floors - 63.0);
    scene.AddSprite(walker);
    for (int i = 0; i < floors; ++i) {
        auto* floor = new CImageSprite();
        floor->MarkAsScenery();
        floor->SetTexture(texture);
        floor->SetSize(64, height);
        floor->SetPosition(0, static_cast<double>(floors - i));
        scene.AddSprite(floor);
    }
    const auto start = Clock::now();
    scene.CheckCollisions();
    const double ms = Milliseconds(Clock::now() - start);
    if (walker->y != -63.0) {
        std::printf("pile: the walker ended at %g, not on the top floor\n", walker->y);
    }
    return ms;
}

void MeasurePiles(CTexture* texture) {
    // Short floors touch the walker a few at a time; tall ones all at once, filed
    // in the grid's cells (16000) or found by every query (100000).
    std::printf("%8s  %14s %14s %14s\n", "floors", "64 px tall ms", "16000 px ms", "100000 px ms");
    for (int floors : {16000, 64000, 100000}) {
        double ms[3];
        int k = 0;
        for (double height : {64.0, 16000.0, 100000.0}) {
            ms[k++] = MeasurePile(floors, height, texture);
        }
        std::printf("%8d  %14.1f %14.1f %14.1f\n", floors, ms[0], ms[1], ms[2]);
        std::fflush(stdout);
    }
}

// Loads a level of `blocks` blocks (every third captioned) in the real game, in
// a folder of its own with the shipped images and font, and quits on the pause
// screen (a recording presses BACKSPACE once the level is shown). Prints the
// seconds from start to exit and the peak resident memory.
void MeasureLoad(int blocks) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path game = fs::read_symlink("/proc/self/exe", error).parent_path().parent_path() / "quillfen";
    char pattern[] = "/tmp/quillfen-load.XXXXXX";
    if (error || !fs::exists(game) || !fs::is_directory("data/gfx") || mkdtemp(pattern) == nullptr) {
        std::printf("load: needs build/quillfen and the source folder's data/ (run from the source folder)\n");
        return;
    }
    const fs::path folder = pattern;
    fs::copy("data/gfx", folder / "gfx", fs::copy_options::recursive, error);
    fs::copy("data/fnt", folder / "fnt", fs::copy_options::recursive, error);
    fs::create_directory(folder / "lvl", error);
    {
        std::ofstream level(folder / "lvl" / "level_static.ini");
        level << "[main]\ncount=" << blocks << "\n";
        for (int i = 0; i < blocks; ++i) {
            level << "[" << i << "]\nX=" << (i % 316) * 64 << "\nY=" << 600 + (i / 316) * 64
                  << "\nhasTexture=1\ntexture=gfx\\stone.png\n";
            if (i % 3 == 0) {
                level << "hasCaption=1\nwidth=64\nheight=64\nfont=fnt\\Lucida Console.ttf\nfontSize=13\ncaption=Block "
                      << i << "\n";
            }
        }
        std::ofstream run(folder / "run.rec");
        run << "quillfen-recording 1\nseed 1\nf 16\nloaded 1\ne 2 1 22 8 0 0\ne 3 0 22 8 0 0\nf 16\n";
    }
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) == 0 && freopen("/dev/null", "w", stdout) != nullptr) {
            setenv("QUILLFEN_REPLAY", "run.rec", 1);
            execl(game.c_str(), game.c_str(), static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    const bool waited = child > 0 && wait4(child, &status, 0, &usage) == child;
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    fs::remove_all(folder, error);
    if (!waited || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("load: the game did not end cleanly\n");
        return;
    }
    std::printf("load %d blocks, every third captioned: %.2f s from start to the pause screen and exit, "
                "peak %.0f MB\n",
                blocks, seconds, usage.ru_maxrss / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf(
            "usage: quillfen-scene-benchmark [frames | --pile]\n"
            "For engine developers: the milliseconds per frame of the sprite manager's update,\n"
            "collision and draw passes (draw into a real GL window; run under Xvfb without a display)\n"
            "for levels of 1000, 10000 and 100000 blocks with the same blocks on screen: the\n"
            "straightforward design (draw every sprite, test every pair by the double loop) and\n"
            "ours, side by side with their ratio. Default 200 frames of ours; the straightforward\n"
            "design runs fewer frames at the larger sizes. Then the time and peak memory of the\n"
            "real game (build/quillfen) loading a 100000-block level to its pause screen.\n"
            "With --pile instead: the milliseconds of the first collision pass over piles of\n"
            "16000, 64000 and 100000 floors whose tops rise a pixel each (64, 16000 and 100000\n"
            "pixels tall), each pushing a walker up in turn.\n"
            "Prints figures; it is not a test.\n");
        return 0;
    }
    const bool pile = argc > 1 && std::strcmp(argv[1], "--pile") == 0;
    const int frames = argc > 1 && !pile ? std::atoi(argv[1]) : 200;
    if (frames < 1) {
        std::fprintf(stderr, "frames must be a positive number\n");
        return 1;
    }
    CGameBase engine(800, 600, false, true, false);
    const unsigned char white[4] = {255, 255, 255, 255};
    CTexture texture("benchmark tile", true);
    glBindTexture(GL_TEXTURE_2D, texture.textureId);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    texture.valid = true;
    texture.width = texture.height = 1;
    CFont font("data/fnt/Lucida Console.ttf", 12);
    if (pile) {
        MeasurePiles(&texture);
        return 0;
    }

    std::printf("%8s  %-6s %11s %11s %11s %11s\n", "blocks", "design", "update ms", "collide ms", "draw ms",
                "frame ms");
    for (int blocks : {1000, 10000, 100000}) {
        CSpriteManager scene;
        scene.ownsTextureManager = true;
        Build(scene, blocks, &texture, &font);
        // The double loop over 100,000 blocks takes a minute a frame: one frame is enough.
        const int plainFrames = std::max(1, frames * 1000 / blocks / 10);
        const Cost plain = Measure(scene, true, plainFrames);
        const Cost ours = Measure(scene, false, frames);
        const double plainFrame = plain.update + plain.collide + plain.draw;
        const double oursFrame = ours.update + ours.collide + ours.draw;
        std::printf("%8d  %-6s %11.3f %11.3f %11.3f %11.3f\n", blocks, "plain", plain.update, plain.collide,
                    plain.draw, plainFrame);
        std::printf("%8d  %-6s %11.3f %11.3f %11.3f %11.3f\n", blocks, "ours", ours.update, ours.collide, ours.draw,
                    oursFrame);
        std::printf("%8d  %-6s %11.1f %11.1f %11.1f %11.1f\n", blocks, "ratio", plain.update / ours.update,
                    plain.collide / ours.collide, plain.draw / ours.draw, plainFrame / oursFrame);
        std::fflush(stdout);
    }
    MeasureLoad(100000);
    return 0;
}
