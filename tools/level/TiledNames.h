#pragma once

// Names the Tiled map uses beside the level's own keys, shared by export and import.
namespace TiledNames {
constexpr const char* ORIGIN_X = "originX";      // map: level X of the map's left edge
constexpr const char* ORIGIN_Y = "originY";      // map: level Y of the map's top edge
constexpr const char* SCRIPT_LAYER = "script";   // map property prefix: "script [evil] t0"
constexpr const char* BLOCK = "block";           // point object: the block it belongs to
constexpr const char* TEXTURE = "texture";       // tileset tile: the stored image name
constexpr const char* PLAYER = "player";         // the spawn point object
constexpr const char* POINT_SUFFIX = " point";   // name of a block's point object
} // namespace TiledNames
