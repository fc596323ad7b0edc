// quillfen-level-map: draws a whole level into one PNG with the engine's own
// drawing code, in Mesa's off-screen GL, and marks what a designer otherwise
// reads from coordinates: the level box, spawn and respawn points, platform
// paths and where each trap throws the player.

#include <GL/osmesa.h>
#include <SDL/SDL_ttf.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "config/Ini.h"
#include "config/NumberText.h"
#include "config/Paths.h"
#include "game/CPlayer.h"
#include "game/LevelLoader.h"
#include "game/level/LevelDescription.h"
#include "game/blocks/CCheckPointBlock.h"
#include "game/blocks/CEndBlock.h"
#include "game/blocks/CEvilBlock.h"
#include "game/blocks/CGameBlock.h"
#include "game/blocks/CPlatform.h"
#include "log/Log.h"
#include "platform/FileWrite.h"
#include "resources/CFontFactory.h"
#include "resources/CTextureManager.h"
#include "sprites/CSpriteManager.h"
#include "tools/PngWriter.h"
#include "tools/level/LevelGuide.h"

namespace {

const char* const HELP =
    "Usage: quillfen-level-map [FOLDER] OUT.png [--scale S]\n"
    "For level designers: draws the whole level in FOLDER (default: the current\n"
    "folder) into the PNG file OUT.png, as the game draws it (textures, captions,\n"
    "depth order), S screen pixels per level pixel (default 0.25, at most 4).\n"
    "Marked on top: the level box (white frame), the spawn point (green cross),\n"
    "each checkpoint's respawn point (yellow cross), each platform's path (cyan\n"
    "line and frame at its far end) and each trap's throw (red line and frame).\n"
    "Needs no display. Prints the game's ERROR lines for what it cannot load (an\n"
    "image or font the map then leaves out), then the picture's size and the level\n"
    "area it shows. Exit status 1 when the picture cannot be written.\n";

// The map shows at most this many pixels a side, whatever the scale.
const int MAX_MAP_SIDE = 16384;
// Far coordinates are clipped to the blocks' reach plus this margin.
const double MARGIN = 64.0;

struct Box {
    double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
    void Add(double x, double y)
    {
        if (!std::isfinite(x) || !std::isfinite(y)) return;
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
    bool Empty() const { return left > right; }
};

struct Marks {
    Box levelBox;
    double spawnX = 0, spawnY = 0;
    std::vector<std::pair<double, double>> respawns;
    struct Path {
        double x0, y0, x1, y1, w, h;
    };
    std::vector<Path> platforms, throws;
};

template <class Block>
std::vector<Block*> LoadBlocks(CSpriteManager& scene, CFontFactory& fonts, const std::string& file)
{
    std::vector<Block*> blocks;
    const int count = std::min(IniReadInt("main", "count", 0, file), LEVEL_BLOCK_LIMIT);
    for (int i = 0; i < count; ++i) {
        Block* block = new Block(&scene);
        if constexpr (std::is_same_v<Block, CGameBlock>) block->MarkAsScenery();
        block->fontFactory = &fonts;
        block->LoadFromIni(file, NumberToString(i));
        scene.AddSprite(block);
        blocks.push_back(block);
    }
    return blocks;
}

void Cross(double x, double y, double size)
{
    glBegin(GL_LINES);
    glVertex2d(x - size, y - size);
    glVertex2d(x + size, y + size);
    glVertex2d(x - size, y + size);
    glVertex2d(x + size, y - size);
    glEnd();
}

void Frame(double x, double y, double w, double h)
{
    glBegin(GL_LINE_LOOP);
    glVertex2d(x, y);
    glVertex2d(x + w, y);
    glVertex2d(x + w, y + h);
    glVertex2d(x, y + h);
    glEnd();
}

void DrawMarks(const Marks& marks, double scale)
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glLineWidth(2.0f);
    const double cross = 12.0 / scale;
    glColor4ub(255, 255, 255, 255);
    Frame(marks.levelBox.left, marks.levelBox.top, marks.levelBox.right - marks.levelBox.left,
          marks.levelBox.bottom - marks.levelBox.top);
    // A path: a line between the block's middles, and the block's outline at its far end.
    auto drawPath = [](const auto& path, GLubyte r, GLubyte g, GLubyte b) {
        glColor4ub(r, g, b, 255);
        glBegin(GL_LINES);
        glVertex2d(path.x0 + path.w / 2, path.y0 + path.h / 2);
        glVertex2d(path.x1 + path.w / 2, path.y1 + path.h / 2);
        glEnd();
        Frame(path.x1, path.y1, path.w, path.h);
    };
    for (const auto& path : marks.platforms) drawPath(path, 0, 230, 255);
    for (const auto& path : marks.throws) drawPath(path, 255, 40, 40);
    glColor4ub(255, 230, 0, 255);
    for (const auto& point : marks.respawns) Cross(point.first, point.second, cross);
    glColor4ub(0, 255, 60, 255);
    Cross(marks.spawnX, marks.spawnY, cross * 1.5);
    glColor4ub(255, 255, 255, 255);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_TEXTURE_2D);
}

int Fail(const std::string& text)
{
    std::fprintf(stderr, "quillfen-level-map: %s\n", text.c_str());
    return 1;
}

} // namespace

// Mesa's off-screen library keeps a few hundred bytes of its own until exit;
// the leak checker of sanitized builds is told so here.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libOSMesa.so\n";
}

int main(int argc, char** argv)
{
    std::vector<std::string> names;
    double scale = 0.25;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(HELP, stdout);
            std::printf("The guide to the level files: %s\n", LevelGuidePlace().c_str());
            return 0;
        }
        if (arg == "--scale" && i + 1 < argc) {
            scale = StringToDouble(argv[++i], -1.0);
            if (!(scale > 0.0 && scale <= 4.0)) return Fail("--scale takes a number above 0 and at most 4");
        } else if (!arg.empty() && arg[0] == '-') {
            std::fputs(HELP, stderr);
            return 2;
        } else {
            names.push_back(arg);
        }
    }
    if (names.empty() || names.size() > 2) {
        std::fputs(HELP, stderr);
        return 2;
    }
    char* absolute = realpath(names.size() == 2 ? names[0].c_str() : ".", nullptr);
    std::string out = names.back();
    if (out[0] != '/') {
        char here[4096];
        if (getcwd(here, sizeof here)) out = std::string(here) + "/" + out;
    }
    if (!absolute || chdir(absolute) != 0) {
        free(absolute);
        return Fail("cannot enter " + names[0] + ": " + std::strerror(errno));
    }
    free(absolute);
    SetStartupDirectoryForTesting(GetWorkingDirectory());
    // What the game would refuse to load is said as the game says it.
    LogSetLevel(LOG_ERROR);
    LogEnable();
    TTF_Init();

    // A small context first: the engine's textures are made while loading.
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
    if (!context) return Fail("Mesa's off-screen GL cannot be started");
    int tile = 2048;
    std::vector<unsigned char> buffer(static_cast<size_t>(tile) * tile * 4);
    if (!OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, tile, tile))
        return Fail("Mesa's off-screen GL cannot draw");
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    tile = std::max(64, std::min({tile, static_cast<int>(viewport[0]), static_cast<int>(viewport[1])}));

    int status = 0;
    {
        CFontFactory fonts;
        CSpriteManager scene;
        Marks marks;
        CPlayer* player = new CPlayer(&scene);
        player->SetTexture(scene.textureManager->GetTexture(PLAYER_IMAGE, true, false));
        player->SetWidth(52.0);
        player->SetHeight(64.0);
        player->SetFrameWidth(52);
        player->SetFrameHeight(64);
        player->spawnX = ReadLevelPlayerKey("spawnX");
        player->spawnY = ReadLevelPlayerKey("spawnY");
        player->spawnZ = ReadLevelPlayerKey("spawnZ");
        player->Respawn();
        scene.AddSprite(player);
        marks.spawnX = player->spawnX + 26.0;
        marks.spawnY = player->spawnY + 32.0;
        marks.levelBox.left = ReadLevelPlayerKey("minX");
        marks.levelBox.top = ReadLevelPlayerKey("minY");
        marks.levelBox.right = ReadLevelPlayerKey("maxX");
        marks.levelBox.bottom = ReadLevelPlayerKey("maxY");

        LoadBlocks<CGameBlock>(scene, fonts, LEVEL_STATIC_FILE);
        for (CCheckPointBlock* block : LoadBlocks<CCheckPointBlock>(scene, fonts, LEVEL_CHECK_FILE))
            marks.respawns.emplace_back(block->spawnX + 26.0, block->spawnY + 32.0);
        for (CPlatform* block : LoadBlocks<CPlatform>(scene, fonts, LEVEL_PLATFORM_FILE))
            marks.platforms.push_back(
                {double(block->startX), double(block->startY), double(block->endX), double(block->endY),
                 block->GetWidth(), block->GetHeight()});
        for (CEvilBlock* block : LoadBlocks<CEvilBlock>(scene, fonts, ASSETS_FILE_0))
            marks.throws.push_back({double(block->startX), double(block->startY), double(block->endX),
                                    double(block->endY), block->GetWidth(), block->GetHeight()});
        LoadBlocks<CEndBlock>(scene, fonts, LEVEL_FINISH_FILE);

        // What the map shows: everything drawn or marked, cut to the level box.
        Box area;
        for (CSprite* sprite : scene.activeSprites) {
            CImageSprite* image = dynamic_cast<CImageSprite*>(sprite);
            const double w = image ? image->GetWidth() : 0.0, h = image ? image->GetHeight() : 0.0;
            area.Add(sprite->x, sprite->y);
            area.Add(sprite->x + w, sprite->y + h);
        }
        for (const auto& path : marks.platforms) area.Add(path.x1 + path.w, path.y1 + path.h);
        for (const auto& path : marks.throws) area.Add(path.x1 + path.w, path.y1 + path.h);
        area.left = std::max(area.left, marks.levelBox.left) - MARGIN;
        area.top = std::max(area.top, marks.levelBox.top) - MARGIN;
        area.right = std::min(area.right, marks.levelBox.right) + MARGIN;
        area.bottom = std::min(area.bottom, marks.levelBox.bottom) + MARGIN;
        if (area.Empty()) area = Box{-MARGIN, -MARGIN, MARGIN, MARGIN};
        const double largest = std::max(area.right - area.left, area.bottom - area.top);
        if (largest * scale > MAX_MAP_SIDE) scale = MAX_MAP_SIDE / largest;
        const int width = std::max(1, static_cast<int>(std::ceil((area.right - area.left) * scale)));
        const int height = std::max(1, static_cast<int>(std::ceil((area.bottom - area.top) * scale)));

        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.01f);
        PngImage map;
        map.width = width;
        map.height = height;
        map.channels = 3;
        map.pixels.resize(static_cast<size_t>(width) * height * 3);
        // The level is drawn tile by tile: no GL draws a viewport of any size.
        for (int ty = 0; ty < height; ty += tile)
            for (int tx = 0; tx < width; tx += tile) {
                glViewport(0, 0, tile, tile);
                glClearColor(0.1f, 0.1f, 0.12f, 1.0f);
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                glMatrixMode(GL_PROJECTION);
                glLoadIdentity();
                const double left = area.left + tx / scale, top = area.top + ty / scale;
                glOrtho(left, left + tile / scale, top + tile / scale, top, -1, 1);
                glMatrixMode(GL_MODELVIEW);
                glLoadIdentity();
                scene.Render(nullptr);
                glMatrixMode(GL_MODELVIEW);
                glLoadIdentity();
                DrawMarks(marks, scale);
                glFinish();
                // Mesa's buffer holds the bottom row first.
                for (int y = 0; y < tile && ty + y < height; ++y)
                    for (int x = 0; x < tile && tx + x < width; ++x) {
                        const unsigned char* from = &buffer[(static_cast<size_t>(tile - 1 - y) * tile + x) * 4];
                        unsigned char* to = &map.pixels[(static_cast<size_t>(ty + y) * width + tx + x) * 3];
                        std::copy(from, from + 3, to);
                    }
            }
        // Only a regular file is written, and only a file written to its last byte
        // is announced: a full disk or a link under the name fails the run.
        const std::vector<unsigned char> png = EncodePng(map);
        std::string error = "the picture cannot be encoded";
        if (png.empty() || !PlatformWriteFile(out, png.data(), png.size(), error)) {
            status = Fail("cannot write " + names.back() + ": " + error);
        } else {
            std::printf("%s: %d x %d pixels, level area %.0f,%.0f to %.0f,%.0f at scale %g\n", names.back().c_str(),
                        width, height, area.left, area.top, area.right, area.bottom, scale);
        }
    }
    // Unbound first: Mesa frees the context's framebuffer only then.
    OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
    OSMesaDestroyContext(context);
    TTF_Quit();
    return status;
}
