#include "tools/level/CTiledExport.h"

#include <SDL/SDL_image.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include <pugixml.hpp>

#include "config/Ini.h"
#include "config/NumberText.h"
#include "config/Paths.h"
#include "game/LevelLoader.h"
#include "game/level/CIniScan.h"
#include "game/level/LevelDescription.h"
#include "platform/FilePath.h"
#include "tools/level/ScanAll.h"
#include "tools/level/TiledNames.h"

namespace {

// Level text (Latin-1, or UTF-8 already in a file with a byte-order mark) as XML's UTF-8.
std::string Utf8(const std::string& text, bool wide)
{
    if (wide) return text;
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            out += c;
        else
            out += std::string{static_cast<char>(0xC0 | (byte >> 6)), static_cast<char>(0x80 | (byte & 0x3F))};
    }
    return out;
}

const char* TypeName(const LevelKey* key)
{
    if (!key) return "string";
    switch (key->type) {
    case LevelKeyType::Int: return "int";
    case LevelKeyType::Double: return "float";
    case LevelKeyType::Bool: return "bool";
    default: return "string";
    }
}

// A property as Tiled writes it; a number that does not read as its type stays
// text, so nothing a designer wrote is lost (the checker tells about it).
void AddProperty(pugi::xml_node properties, const std::string& name, const std::string& value, const LevelKey* key)
{
    pugi::xml_node property = properties.append_child("property");
    property.append_attribute("name") = name.c_str();
    std::string type = TypeName(key), shown = value;
    if (type == "int" && StringToInt(value, 1) != StringToInt(value, 2)) shown = std::to_string(StringToInt(value, 0));
    if (type == "float" && !std::isnan(StringToDouble(value, NAN))) shown = NumberToString(StringToDouble(value, 0));
    if (type == "bool") shown = value == "1" ? "true" : "false";
    const bool faithful = (type == "int" && shown == value) || (type == "float" && !std::isnan(StringToDouble(value, NAN)) &&
                                                                   StringToDouble(shown, 0) == StringToDouble(value, 0)) ||
                          (type == "bool" && (value == "1" || value == "0")) || type == "string";
    if (!faithful) {
        type = "string";
        shown = value;
    }
    if (type != "string") property.append_attribute("type") = type.c_str();
    property.append_attribute("value") = shown.c_str();
}

struct Block {
    std::string section;
    const CIniScan::Section* keys;
};

class Writer {
public:
    explicit Writer(const std::string& outName) : outName(outName) {}
    bool Run(std::string& message);

private:
    int TileOf(const std::string& texture);
    void Layer(const LevelBlockKind& kind, const std::vector<CIniScan::Section>& sections, bool wide);
    pugi::xml_node Object(pugi::xml_node layer, const std::string& name, double x, double y);
    std::string Value(const CIniScan::Section& section, const char* key, bool wide) const;

    std::string outName;
    pugi::xml_document document;
    pugi::xml_node map, tileset;
    std::map<std::string, int> tiles; // lower-case stored name: tile id
    std::map<int, std::pair<int, int>> tileSizes;
    int nextId = 1, nextLayerId = 1;
    double originX = 0, originY = 0;
    double right = 0, bottom = 0;
};

std::string Writer::Value(const CIniScan::Section& section, const char* key, bool wide) const
{
    for (const CIniScan::Entry& entry : section.entries)
        if (entry.hasValue && CIniScan::Lower(entry.key) == CIniScan::Lower(key)) return Utf8(entry.value, wide);
    return "";
}

int Writer::TileOf(const std::string& texture)
{
    const std::string lower = CIniScan::Lower(texture);
    auto found = tiles.find(lower);
    if (found != tiles.end()) return found->second;
    const int id = static_cast<int>(tiles.size());
    tiles.emplace(lower, id);
    pugi::xml_node tile = tileset.append_child("tile");
    tile.append_attribute("id") = id;
    pugi::xml_node property = tile.append_child("properties").append_child("property");
    property.append_attribute("name") = TiledNames::TEXTURE;
    property.append_attribute("value") = texture.c_str();
    // The image as Tiled finds it from the map's folder; its size as SDL_image reads it.
    const std::string file = NativePath(MakeAbsolutePath(texture));
    std::error_code error;
    std::filesystem::path shown = std::filesystem::proximate(
        file, std::filesystem::absolute(outName, error).parent_path(), error);
    int w = 1, h = 1;
    if (SDL_Surface* image = IMG_Load(file.c_str())) {
        w = image->w;
        h = image->h;
        SDL_FreeSurface(image);
    }
    tileSizes[id] = {w, h};
    pugi::xml_node image = tile.append_child("image");
    image.append_attribute("width") = w;
    image.append_attribute("height") = h;
    image.append_attribute("source") = (error ? file : shown.generic_string()).c_str();
    return id;
}

pugi::xml_node Writer::Object(pugi::xml_node layer, const std::string& name, double x, double y)
{
    pugi::xml_node object = layer.append_child("object");
    object.append_attribute("id") = nextId++;
    object.append_attribute("name") = name.c_str();
    object.append_attribute("x") = NumberToString(x - originX).c_str();
    object.append_attribute("y") = NumberToString(y - originY).c_str();
    return object;
}

void Writer::Layer(const LevelBlockKind& kind, const std::vector<CIniScan::Section>& sections, bool wide)
{
    pugi::xml_node layer = map.append_child("objectgroup");
    layer.append_attribute("id") = nextLayerId++;
    layer.append_attribute("name") = kind.layer;
    // Drawn in section order, as the game's scene keeps blocks of one depth.
    layer.append_attribute("draworder") = "index";
    pugi::xml_node layerProperties = layer.append_child("properties");
    const bool isStatic = &kind == &LevelBlockKinds().front();
    const int count = std::min(IniReadInt(LEVEL_MAIN_SECTION, "count", 0, *kind.file), LEVEL_BLOCK_LIMIT);
    std::set<std::string> seen;
    for (const CIniScan::Section& section : sections) {
        const std::string lower = CIniScan::Lower(section.name);
        if (!seen.insert(lower).second) continue; // a repeated section is never read
        const std::string number = NumberToString(StringToDouble(section.name, -1));
        const long index = number == section.name ? std::lround(StringToDouble(section.name, -1)) : -1;
        std::set<std::string> keysSeen;
        if (index >= 0 && index < count) {
            // A block: its geometry, then every other key as a property.
            const double x = StringToDouble(Value(section, "X", wide), 0), y = StringToDouble(Value(section, "Y", wide), 0);
            const bool caption = Value(section, "hasCaption", wide) == "1";
            const double w = caption ? std::max(0.0, StringToDouble(Value(section, "width", wide), 0)) : 0;
            const double h = caption ? std::max(0.0, StringToDouble(Value(section, "height", wide), 0)) : 0;
            const std::string texture = Value(section, "texture", wide);
            const bool textured = Value(section, "hasTexture", wide) == "1" && !texture.empty();
            pugi::xml_node object = Object(layer, section.name, x, y + (textured ? h : 0));
            if (textured) object.append_attribute("gid") = TileOf(texture) + 1;
            object.append_attribute("width") = NumberToString(w).c_str();
            object.append_attribute("height") = NumberToString(h).c_str();
            right = std::max(right, x + w - originX);
            bottom = std::max(bottom, y + h - originY);
            // Keys the object's place, size or point stands for are no properties:
            // a designer moves the object, not a number beside it.
            keysSeen = {"x", "y"};
            for (const char* side : {"width", "height"})
                if (caption && StringToDouble(Value(section, side, wide), -1) >= 0) keysSeen.insert(side);
            if (kind.pointX) keysSeen.insert({CIniScan::Lower(kind.pointX), CIniScan::Lower(kind.pointY)});
            pugi::xml_node properties = object.append_child("properties");
            for (const CIniScan::Entry& entry : section.entries) {
                if (!entry.hasValue || entry.key.empty() || !keysSeen.insert(CIniScan::Lower(entry.key)).second) continue;
                const LevelKey* key = FindLevelKey(kind.keys, entry.key);
                AddProperty(properties, Utf8(entry.key, wide), Utf8(entry.value, wide), key);
            }
            if (kind.pointX) {
                pugi::xml_node point = Object(layer, section.name + TiledNames::POINT_SUFFIX,
                                              StringToInt(Value(section, kind.pointX, wide), 0),
                                              StringToInt(Value(section, kind.pointY, wide), 0));
                point.append_child("point");
                pugi::xml_node tie = point.append_child("properties").append_child("property");
                tie.append_attribute("name") = TiledNames::BLOCK;
                tie.append_attribute("type") = "object";
                tie.append_attribute("value") = object.attribute("id").as_int();
            }
        } else if (isStatic && lower == LEVEL_PLAYER_SECTION) {
            pugi::xml_node point = Object(layer, TiledNames::PLAYER, ReadLevelPlayerKey("spawnX"), ReadLevelPlayerKey("spawnY"));
            point.append_child("point");
            pugi::xml_node properties = point.append_child("properties");
            keysSeen = {"spawnx", "spawny"};
            for (const CIniScan::Entry& entry : section.entries)
                if (entry.hasValue && !entry.key.empty() && keysSeen.insert(CIniScan::Lower(entry.key)).second)
                    AddProperty(properties, Utf8(entry.key, wide), Utf8(entry.value, wide),
                                FindLevelKey(LevelPlayerKeys(), entry.key));
        } else {
            // [main] and sections no block owns travel as the layer's properties.
            for (const CIniScan::Entry& entry : section.entries) {
                if (!entry.hasValue || entry.key.empty() || !keysSeen.insert(CIniScan::Lower(entry.key)).second) continue;
                if (lower == LEVEL_MAIN_SECTION && CIniScan::Lower(entry.key) == "count") continue; // the objects count
                AddProperty(layerProperties, "[" + Utf8(section.name, wide) + "] " + Utf8(entry.key, wide),
                            Utf8(entry.value, wide), nullptr);
            }
        }
    }
    if (!layerProperties.first_child()) layer.remove_child(layerProperties);
}

bool Writer::Run(std::string& message)
{
    std::vector<std::vector<CIniScan::Section>> scans(LevelBlockKinds().size());
    std::vector<char> wide(scans.size());
    const auto& kinds = LevelBlockKinds();
    // The map's top-left corner: the level box's or the blocks' far corner, so that
    // Tiled, which draws from 0,0, shows the whole level.
    originX = std::min(0, ReadLevelPlayerKey("minX"));
    originY = std::min(0, ReadLevelPlayerKey("minY"));
    for (size_t i = 0; i < kinds.size(); ++i) {
        std::string reason;
        bool isWide = false;
        if (!ScanAll(*kinds[i].file, scans[i], isWide, reason) && reason != "no such file") {
            message = *kinds[i].file + ": " + reason;
            return false;
        }
        wide[i] = isWide;
        for (const CIniScan::Section& section : scans[i]) {
            for (const CIniScan::Entry& entry : section.entries) {
                const std::string key = CIniScan::Lower(entry.key);
                if (key == "x") originX = std::min(originX, std::floor(StringToDouble(entry.value, 0)));
                if (key == "y") originY = std::min(originY, std::floor(StringToDouble(entry.value, 0)));
            }
        }
    }
    originX = std::max(originX, -1e9);
    originY = std::max(originY, -1e9);

    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    map = document.append_child("map");
    for (const char* attribute : {"version", "tiledversion", "orientation", "renderorder"})
        map.append_attribute(attribute);
    map.attribute("version") = "1.8";
    map.attribute("tiledversion") = "1.8.2";
    map.attribute("orientation") = "orthogonal";
    map.attribute("renderorder") = "right-down";
    pugi::xml_node mapProperties = map.append_child("properties");
    AddProperty(mapProperties, TiledNames::ORIGIN_X, NumberToString(originX), FindLevelKey(LevelMainKeys(), "count"));
    AddProperty(mapProperties, TiledNames::ORIGIN_Y, NumberToString(originY), FindLevelKey(LevelMainKeys(), "count"));
    std::vector<CIniScan::Section> script;
    std::string reason;
    bool scriptWide = false;
    if (ScanAll(ASSETS_FILE_1, script, scriptWide, reason)) {
        for (const CIniScan::Section& section : script) {
            std::set<std::string> keysSeen;
            for (const CIniScan::Entry& entry : section.entries)
                if (entry.hasValue && !entry.key.empty() && keysSeen.insert(CIniScan::Lower(entry.key)).second)
                    AddProperty(mapProperties,
                                std::string(TiledNames::SCRIPT_LAYER) + " [" + Utf8(section.name, scriptWide) + "] " +
                                    Utf8(entry.key, scriptWide),
                                Utf8(entry.value, scriptWide), nullptr);
        }
    }
    tileset = map.append_child("tileset");
    tileset.append_attribute("firstgid") = 1;
    tileset.append_attribute("name") = "images";
    for (size_t i = 0; i < kinds.size(); ++i) {
        IniHoldFile(*kinds[i].file);
        Layer(kinds[i], scans[i], wide[i]);
        IniReleaseFile();
    }
    int tileW = 1, tileH = 1;
    for (const auto& size : tileSizes) {
        tileW = std::max(tileW, size.second.first);
        tileH = std::max(tileH, size.second.second);
    }
    tileset.append_attribute("tilewidth") = tileW;
    tileset.append_attribute("tileheight") = tileH;
    tileset.append_attribute("tilecount") = static_cast<int>(tiles.size());
    tileset.append_attribute("columns") = 0;
    pugi::xml_node grid = tileset.prepend_child("grid");
    grid.append_attribute("orientation") = "orthogonal";
    grid.append_attribute("width") = 1;
    grid.append_attribute("height") = 1;
    // The map's size in 64-pixel cells, to the far corner of the farthest block.
    const int cell = 64;
    const int maxX = ReadLevelPlayerKey("maxX"), maxY = ReadLevelPlayerKey("maxY");
    right = std::max(right, std::min(1e9, maxX - originX));
    bottom = std::max(bottom, std::min(1e9, maxY - originY));
    const auto cells = [](double extent) { return static_cast<int>(std::min(1e6, std::max(1.0, std::ceil(extent / 64)))); };
    map.insert_attribute_after("width", map.attribute("renderorder")) = cells(right);
    map.insert_attribute_after("height", map.attribute("width")) = cells(bottom);
    map.insert_attribute_after("tilewidth", map.attribute("height")) = cell;
    map.insert_attribute_after("tileheight", map.attribute("tilewidth")) = cell;
    map.insert_attribute_after("infinite", map.attribute("tileheight")) = 0;
    map.insert_attribute_after("nextlayerid", map.attribute("infinite")) = nextLayerId;
    map.insert_attribute_after("nextobjectid", map.attribute("nextlayerid")) = nextId;
    if (!document.save_file(NativePath(outName).c_str(), " ")) {
        message = "cannot write " + outName;
        return false;
    }
    return true;
}

} // namespace

bool CTiledExport::Write(const std::string& outName, std::string& message)
{
    return Writer(outName).Run(message);
}
