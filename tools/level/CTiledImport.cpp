#include "tools/level/CTiledImport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

#include <pugixml.hpp>

#include "config/Ini.h"
#include "config/NumberText.h"
#include "config/Paths.h"
#include "game/LevelLoader.h"
#include "game/level/CIniScan.h"
#include "game/level/LevelDescription.h"
#include "platform/FilePath.h"
#include "platform/FileRead.h"
#include "platform/FileWrite.h"
#include "tools/level/ScanAll.h"
#include "tools/level/TiledNames.h"

namespace {

// A map larger than this is refused before it is parsed (the map of a
// 100,000-block level is some 60 MB; parsed, a map takes a few times its size).
const long long MAX_MAP_BYTES = 256LL << 20;
// Coordinates beyond this are no place in a level.
const double FAR = 1e9;

struct Key {
    std::string name, value;
};
using Keys = std::vector<Key>;

struct Section {
    std::string name;
    Keys keys;
};

struct Refusal {
    std::string text;
};

std::string Quote(const std::string& text) { return "'" + text + "'"; }

// XML's UTF-8 as the level's Latin-1; a character beyond U+00FF is refused.
bool Latin1(const std::string& text, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            out += text[i];
        } else if ((byte == 0xC2 || byte == 0xC3) && i + 1 < text.size()) {
            out += static_cast<char>(((byte & 3) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
        } else {
            return false;
        }
    }
    return true;
}

void Set(Keys& keys, const std::string& name, const std::string& value)
{
    for (Key& key : keys)
        if (CIniScan::Lower(key.name) == CIniScan::Lower(name)) {
            key.value = value;
            return;
        }
    keys.push_back({name, value});
}

const std::string* Get(const Keys& keys, const std::string& name)
{
    for (const Key& key : keys)
        if (CIniScan::Lower(key.name) == CIniScan::Lower(name)) return &key.value;
    return nullptr;
}

class Reader {
public:
    bool Run(const std::string& fileName, const std::string& shownName, std::string& message);

private:
    [[noreturn]] void Refuse(pugi::xml_node object, const std::string& layer, const std::string& why) const;
    Keys Properties(pugi::xml_node object, const std::string& layer, const std::vector<LevelKey>* known) const;
    double Number(pugi::xml_node object, const std::string& layer, const char* attribute) const;
    void ReadLayer(pugi::xml_node layer, size_t kindIndex);
    std::string Text(const std::vector<Section>& sections, const std::string& stored) const;

    std::string mapName;
    double originX = 0, originY = 0;
    std::map<long long, std::string> textures; // gid: stored image name
    struct File {
        std::vector<Section> others; // [main] keys but count, [player], sections no block owns
        std::vector<std::pair<std::string, Keys>> blocks; // name in the map, keys
    };
    std::vector<File> files;
    std::vector<Section> script;
};

void Reader::Refuse(pugi::xml_node object, const std::string& layer, const std::string& why) const
{
    throw Refusal{mapName + ": object " + Quote(object.attribute("name").as_string()) + " (id " +
                  object.attribute("id").as_string() + ") on layer " + Quote(layer) + ": " + why};
}

double Reader::Number(pugi::xml_node object, const std::string& layer, const char* attribute) const
{
    const double value = StringToDouble(object.attribute(attribute).as_string("0"), NAN);
    if (!std::isfinite(value) || std::fabs(value) > FAR)
        Refuse(object, layer, std::string(attribute) + "=" + Quote(object.attribute(attribute).as_string()) +
                                  " is no coordinate the game can use");
    return value;
}

Keys Reader::Properties(pugi::xml_node object, const std::string& layer, const std::vector<LevelKey>* known) const
{
    Keys keys;
    for (pugi::xml_node property : object.child("properties").children("property")) {
        const std::string name = property.attribute("name").as_string();
        const std::string type = property.attribute("type").as_string("string");
        std::string value = property.attribute("value") ? property.attribute("value").as_string() : property.text().as_string();
        const LevelKey* key = known ? FindLevelKey(*known, name) : nullptr;
        static const char* const types[] = {"int", "float", "bool", "string"};
        // A key the game reads as a number or a yes/no may also stay text that
        // does not read as one: the export keeps such a value as it was written.
        if (key && type != types[static_cast<int>(key->type)] && type != "string")
            Refuse(object, layer, "property " + Quote(name) + " is " + type + ", the game reads it as " +
                                      types[static_cast<int>(key->type)]);
        if (type == "bool") value = value == "true" ? "1" : "0";
        else if (type != "string" && type != "int" && type != "float")
            Refuse(object, layer, "property " + Quote(name) + " is of type " + type + ", which no level key has");
        std::string nameText, valueText;
        if (!Latin1(name, nameText) || !Latin1(value, valueText))
            Refuse(object, layer, "property " + Quote(name) + " holds a character beyond U+00FF");
        if (nameText.empty() || nameText.find_first_of("=[]\r\n") != std::string::npos ||
            valueText.find_first_of("\r\n") != std::string::npos)
            Refuse(object, layer, "property " + Quote(name) + " cannot be written as a line of a level file");
        keys.push_back({nameText, valueText});
    }
    return keys;
}

void Reader::ReadLayer(pugi::xml_node layer, size_t kindIndex)
{
    const LevelBlockKind& kind = LevelBlockKinds()[kindIndex];
    const std::string layerName = kind.layer;
    File& file = files[kindIndex];
    const double offsetX = StringToDouble(layer.attribute("offsetx").as_string("0"), NAN);
    const double offsetY = StringToDouble(layer.attribute("offsety").as_string("0"), NAN);
    if (!std::isfinite(offsetX) || !std::isfinite(offsetY) || std::fabs(offsetX) > FAR || std::fabs(offsetY) > FAR)
        throw Refusal{mapName + ": layer " + Quote(layerName) + " has an offset the game cannot use"};
    // Layer properties "[section] key": [main] and sections no block owns.
    for (pugi::xml_node property : layer.child("properties").children("property")) {
        const std::string name = property.attribute("name").as_string();
        const size_t close = name.find("] ");
        std::string section, key, value;
        if (name.empty() || name[0] != '[' || close == std::string::npos || !Latin1(name.substr(1, close - 1), section) ||
            !Latin1(name.substr(close + 2), key) || !Latin1(property.attribute("value").as_string(), value))
            throw Refusal{mapName + ": layer " + Quote(layerName) + ": property " + Quote(name) +
                          " is not a key of a level file ([section] key)"};
        auto found = std::find_if(file.others.begin(), file.others.end(),
                                  [&section](const Section& s) { return CIniScan::Lower(s.name) == CIniScan::Lower(section); });
        if (found == file.others.end()) found = file.others.insert(file.others.end(), Section{section, {}});
        found->keys.push_back({key, value});
    }
    struct Point {
        pugi::xml_node object;
        int block;
        double x, y;
    };
    std::vector<Point> points;
    std::map<int, size_t> blockOfId;
    size_t objects = 0;
    for (pugi::xml_node object : layer.children("object")) {
        if (++objects > 2 * static_cast<size_t>(LEVEL_BLOCK_LIMIT) + 1)
            throw Refusal{mapName + ": layer " + Quote(layerName) + " holds more than " +
                          std::to_string(LEVEL_BLOCK_LIMIT) + " blocks"};
        if (StringToDouble(object.attribute("rotation").as_string("0"), NAN) != 0.0)
            Refuse(object, layerName, "it is rotated; level blocks cannot be");
        for (const char* shape : {"ellipse", "polygon", "polyline", "text"})
            if (object.child(shape)) Refuse(object, layerName, std::string("it is a ") + shape + "; level blocks are rectangles");
        const double x = Number(object, layerName, "x") + offsetX + originX;
        double y = Number(object, layerName, "y") + offsetY + originY;
        if (object.child("point")) {
            const std::string name = object.attribute("name").as_string();
            if (name == TiledNames::PLAYER && kindIndex == 0) {
                Keys keys = Properties(object, layerName, &LevelPlayerKeys());
                Set(keys, "spawnX", std::to_string(static_cast<long long>(std::lround(x))));
                Set(keys, "spawnY", std::to_string(static_cast<long long>(std::lround(y))));
                file.others.insert(file.others.begin(), Section{LEVEL_PLAYER_SECTION, keys});
                continue;
            }
            pugi::xml_node tie = object.child("properties").find_child_by_attribute("property", "name", TiledNames::BLOCK);
            if (!kind.pointX || !tie)
                Refuse(object, layerName, "a point must be the player's or belong to a block (property 'block')");
            points.push_back({object, tie.attribute("value").as_int(), x, y});
            continue;
        }
        const double w = Number(object, layerName, "width"), h = Number(object, layerName, "height");
        if (w < 0 || h < 0) Refuse(object, layerName, "its size is negative");
        Keys keys = Properties(object, layerName, &kind.keys);
        if (object.attribute("gid")) {
            const unsigned long long gid = object.attribute("gid").as_ullong();
            if (gid > 0xFFFFFFFFull) Refuse(object, layerName, "its image is no tile of the map's image tileset");
            if (gid >> 29) Refuse(object, layerName, "its image is flipped; the game draws images as they are");
            const auto texture = textures.find(static_cast<long long>(gid));
            if (texture == textures.end()) Refuse(object, layerName, "its image is no tile of the map's image tileset");
            y -= h; // Tiled places a tile object by its bottom-left corner
            Set(keys, "hasTexture", "1");
            Set(keys, "texture", texture->second);
        }
        Set(keys, "X", NumberToString(x));
        Set(keys, "Y", NumberToString(y));
        // The size is read only with a caption; a block without one keeps its keys,
        // and so does one of no size, whose caption gives it its size.
        const std::string* caption = Get(keys, "hasCaption");
        if (((caption && *caption == "1") || Get(keys, "width") || Get(keys, "height")) && (w > 0 || h > 0)) {
            Set(keys, "width", NumberToString(w));
            Set(keys, "height", NumberToString(h));
        }
        blockOfId[object.attribute("id").as_int()] = file.blocks.size();
        file.blocks.push_back({object.attribute("name").as_string(), keys});
    }
    for (const Point& point : points) {
        const auto block = blockOfId.find(point.block);
        if (block == blockOfId.end())
            Refuse(point.object, layerName, "its block (id " + std::to_string(point.block) + ") is not on this layer");
        Keys& keys = file.blocks[block->second].second;
        Set(keys, kind.pointX, std::to_string(static_cast<long long>(std::lround(point.x))));
        Set(keys, kind.pointY, std::to_string(static_cast<long long>(std::lround(point.y))));
    }
    if (file.blocks.size() > static_cast<size_t>(LEVEL_BLOCK_LIMIT))
        throw Refusal{mapName + ": layer " + Quote(layerName) + " holds more than " +
                      std::to_string(LEVEL_BLOCK_LIMIT) + " blocks"};
    // Blocks keep the order of their sections; new ones follow, in the map's order.
    std::vector<std::pair<double, size_t>> order;
    for (size_t i = 0; i < file.blocks.size(); ++i) order.emplace_back(StringToDouble(file.blocks[i].first, 1e18), i);
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::pair<std::string, Keys>> sorted;
    sorted.reserve(order.size());
    for (const auto& entry : order) sorted.push_back(std::move(file.blocks[entry.second]));
    file.blocks = std::move(sorted);
}

// The section as the level file held it: its key order and the spelling of
// values that mean the same are kept.
Keys Keep(const Keys& keys, const CIniScan::Section* before, const std::vector<LevelKey>* known)
{
    if (!before) return keys;
    Keys kept;
    for (const CIniScan::Entry& entry : before->entries) {
        const std::string* now = Get(keys, entry.key);
        if (!now || Get(kept, entry.key)) continue;
        const LevelKey* key = known ? FindLevelKey(*known, entry.key) : nullptr;
        bool same = *now == entry.value;
        if (key && key->type == LevelKeyType::Int) same = StringToInt(*now, 0) == StringToInt(entry.value, 1);
        if (key && key->type == LevelKeyType::Double) same = StringToDouble(*now, 0) == StringToDouble(entry.value, 1);
        kept.push_back({entry.key, same ? entry.value : *now});
    }
    for (const Key& key : keys)
        if (!Get(kept, key.name)) kept.push_back(key);
    return kept;
}

std::string Lines(const std::string& section, const Keys& keys)
{
    std::string text = "[" + section + "]\n";
    for (const Key& key : keys) text += key.name + "=" + key.value + "\n";
    return text;
}

bool Reader::Run(const std::string& fileName, const std::string& name, std::string& message)
{
    mapName = name;
    const auto& kinds = LevelBlockKinds();
    files.assign(kinds.size(), File{});
    try {
        std::string bytes, reason;
        if (!PlatformReadFile(NativePath(fileName), bytes, reason, MAX_MAP_BYTES))
            throw Refusal{name + ": not read: " + reason};
        pugi::xml_document document;
        const pugi::xml_parse_result parsed = document.load_buffer(bytes.data(), bytes.size());
        if (!parsed)
            throw Refusal{name + ": not a map: " + parsed.description() + " at byte " + std::to_string(parsed.offset)};
        bytes.clear();
        const pugi::xml_node map = document.child("map");
        if (!map || std::string(map.attribute("orientation").as_string()) != "orthogonal")
            throw Refusal{name + ": not an orthogonal Tiled map"};
        for (pugi::xml_node property : map.child("properties").children("property")) {
            const std::string key = property.attribute("name").as_string();
            const double value = StringToDouble(property.attribute("value").as_string(), NAN);
            if (key == TiledNames::ORIGIN_X || key == TiledNames::ORIGIN_Y) {
                if (!std::isfinite(value) || std::fabs(value) > FAR) throw Refusal{name + ": " + key + " is no coordinate"};
                (key == TiledNames::ORIGIN_X ? originX : originY) = value;
                continue;
            }
            const std::string prefix = std::string(TiledNames::SCRIPT_LAYER) + " [";
            const size_t close = key.find("] ");
            std::string section, scriptKey, text;
            if (key.compare(0, prefix.size(), prefix) != 0 || close == std::string::npos ||
                !Latin1(key.substr(prefix.size(), close - prefix.size()), section) || !Latin1(key.substr(close + 2), scriptKey) ||
                !Latin1(property.attribute("value").as_string(), text) || text.find_first_of("\r\n") != std::string::npos)
                throw Refusal{name + ": map property " + Quote(key) + " is no line of the trap script (script [evil] KEY)"};
            auto found = std::find_if(script.begin(), script.end(), [&section](const Section& s) { return s.name == section; });
            if (found == script.end()) found = script.insert(script.end(), Section{section, {}});
            found->keys.push_back({scriptKey, text});
        }
        for (pugi::xml_node tileset : map.children("tileset")) {
            if (tileset.attribute("source")) throw Refusal{name + ": tilesets in files of their own are not read; embed it"};
            const long long first = tileset.attribute("firstgid").as_llong();
            for (pugi::xml_node tile : tileset.children("tile")) {
                pugi::xml_node property = tile.child("properties").find_child_by_attribute("property", "name", TiledNames::TEXTURE);
                std::string texture;
                if (property && Latin1(property.attribute("value").as_string(), texture))
                    textures[first + tile.attribute("id").as_llong()] = texture;
            }
        }
        std::set<size_t> seen;
        for (pugi::xml_node layer : map.children()) {
            const std::string kindName = layer.name();
            if (kindName == "properties" || kindName == "tileset" || kindName == "editorsettings") continue;
            const std::string layerName = layer.attribute("name").as_string();
            size_t index = kinds.size();
            for (size_t i = 0; i < kinds.size(); ++i)
                if (layerName == kinds[i].layer) index = i;
            if (kindName != "objectgroup" || index == kinds.size() || !seen.insert(index).second)
                throw Refusal{name + ": layer " + Quote(layerName) +
                              " is no level file (object layers level_static, level_check, level_platform, ets.0, level_finish, once each)"};
            ReadLayer(layer, index);
        }
    } catch (const Refusal& refusal) {
        message = refusal.text + "; nothing written";
        return false;
    }
    // Everything is known; the files are made, then written.
    std::vector<std::pair<std::string, std::string>> out;
    for (size_t i = 0; i < kinds.size(); ++i) {
        std::vector<CIniScan::Section> before;
        std::string reason;
        bool wide = false;
        ScanAll(*kinds[i].file, before, wide, reason);
        std::map<std::string, const CIniScan::Section*> sections; // the first of each name counts
        for (const CIniScan::Section& s : before) sections.emplace(CIniScan::Lower(s.name), &s);
        const auto old = [&sections](const std::string& section) -> const CIniScan::Section* {
            const auto found = sections.find(CIniScan::Lower(section));
            return found == sections.end() ? nullptr : found->second;
        };
        File& file = files[i];
        Keys main = {{"count", std::to_string(file.blocks.size())}};
        std::string others;
        for (const Section& section : file.others) {
            if (CIniScan::Lower(section.name) == LEVEL_MAIN_SECTION)
                main.insert(main.end(), section.keys.begin(), section.keys.end());
            else
                others += Lines(section.name, Keep(section.keys, old(section.name),
                                                   section.name == LEVEL_PLAYER_SECTION ? &LevelPlayerKeys() : nullptr));
        }
        std::string text = Lines(LEVEL_MAIN_SECTION, Keep(main, old(LEVEL_MAIN_SECTION), &LevelMainKeys())) + others;
        for (size_t b = 0; b < file.blocks.size(); ++b) {
            text += Lines(std::to_string(b), Keep(file.blocks[b].second, old(file.blocks[b].first), &kinds[i].keys));
            file.blocks[b].second.clear();
        }
        out.emplace_back(*kinds[i].file, std::move(text));
    }
    std::vector<CIniScan::Section> scriptBefore;
    std::string reason;
    bool wide = false;
    ScanAll(ASSETS_FILE_1, scriptBefore, wide, reason);
    std::string scriptText;
    for (const Section& section : script) {
        const CIniScan::Section* old = nullptr;
        for (const CIniScan::Section& s : scriptBefore)
            if (!old && CIniScan::Lower(s.name) == CIniScan::Lower(section.name)) old = &s;
        scriptText += Lines(section.name, Keep(section.keys, old, nullptr));
    }
    if (!script.empty()) out.emplace_back(ASSETS_FILE_1, scriptText);
    // Every file is written beside its place first, so that a failure leaves the level as it was.
    std::vector<std::string> written;
    const auto native = [](const std::string& stored) { return NativePath(StartupDirectory() + stored); };
    for (const auto& [stored, text] : out) {
        const std::string name = native(stored);
        std::error_code error;
        std::filesystem::create_directories(name.substr(0, name.rfind('/')), error);
        std::string reason;
        const bool done = PlatformWriteFile(name + ".new", text.data(), text.size(), reason);
        written.push_back(name + ".new");
        if (!done) {
            for (const std::string& temporary : written) std::remove(temporary.c_str());
            message = "cannot write " + stored + ": " + reason + "; nothing written";
            return false;
        }
    }
    for (const auto& file : out) std::rename((native(file.first) + ".new").c_str(), native(file.first).c_str());
    return true;
}

} // namespace

bool CTiledImport::Read(const std::string& mapName, const std::string& shownName, std::string& message)
{
    return Reader().Run(mapName, shownName, message);
}
