#pragma once

#include <map>
#include <string>

// Reads a Tiled map made by CTiledExport (and edited and saved by Tiled) back
// into the level files of the start-up directory. Everything is read and
// checked before anything is written: what a level cannot represent (rotation,
// ellipses and other shapes, properties of the wrong type, objects a layer
// does not take) is refused with the object's name and id.
class CTiledImport {
public:
    // False, with a message, when the map is refused or a file cannot be
    // written; then no level file has changed. Messages call the map `shownName`.
    static bool Read(const std::string& mapName, const std::string& shownName, std::string& message);
};
