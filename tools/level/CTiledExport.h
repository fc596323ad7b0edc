#pragma once

#include <string>

// Writes the level of the start-up directory as a Tiled map (TMX as Tiled 1.8
// writes it): one object layer per level file in loading order, one object per
// block named by its section, every key of the section as a typed property,
// textured blocks as tile objects of an image-collection tileset, the positions
// keys name as point objects tied to their block, [main], [player] and the trap
// script as properties.
class CTiledExport {
public:
    // False, with a message, when the map cannot be written.
    static bool Write(const std::string& outName, std::string& message);
};
