// Velmora sprites: a uniform grid of sprite indices by their extents, built as
// sprites arrive. Finds what lies in a box at the cost of the cells it covers,
// not of every sprite: the scenery of a large level is found by the view and by
// the sprites that move. Cells hold ids of their own, so that closing the gaps
// of removed sprites renumbers a flat table, not every cell.
#ifndef VELMORA_SPRITES_CSPRITEGRID_H
#define VELMORA_SPRITES_CSPRITEGRID_H

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "sprites/SpriteGeometry.h"

class CSpriteGrid {
public:
    CSpriteGrid();

    // Files `index` under every cell its extent covers. An extent that is not
    // finite, lies beyond the grid's reach or covers very many cells goes to a
    // list that every query returns.
    void Insert(std::uint32_t index, const SpriteExtent& extent);
    // Appends every index whose extent meets `box`, each once, in no order.
    void Query(const SpriteExtent& box, std::vector<std::uint32_t>& out) const;
    // Appends every index filed under cells (not those found everywhere) whose
    // extent meets `box` but not `covered` (null: no such condition), each once:
    // what a box grown from `covered` adds, at the cost of its cells.
    void QueryOutside(const SpriteExtent& box, const SpriteExtent* covered, std::vector<std::uint32_t>& out) const;
    // Takes `index` out; nothing when it is not filed.
    void Remove(std::uint32_t index);
    // Takes out the indices `removed` (ascending) and moves every index above
    // them down by the number of those below it.
    void CloseGaps(const std::vector<std::uint32_t>& removed);
    void Clear();

private:
    static constexpr double CELL = 128.0;           // pixels per side
    static constexpr double REACH = 1.0e12;         // beyond this, cell numbers lose meaning
    static constexpr double MAX_CELLS = 256.0;  // a larger extent is listed as everywhere

    static double CellCount(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1);
    void QueryCells(const SpriteExtent& box, const SpriteExtent* skip, std::vector<std::uint32_t>& out) const;
    static std::uint64_t Key(std::int64_t cx, std::int64_t cy);
    static constexpr std::uint32_t NONE = 0xFFFFFFFFu;
    void RemoveId(std::uint32_t id);
    // Whether an extent is filed under cells (else found by every query).
    static bool InCells(const SpriteExtent& extent, std::int64_t& x0, std::int64_t& y0, std::int64_t& x1,
                        std::int64_t& y1);
    // The cells an extent covers; false when it lies beyond the reach.
    static bool Cells(const SpriteExtent& box, std::int64_t& x0, std::int64_t& y0, std::int64_t& x1,
                      std::int64_t& y1);

    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> cells;  // ids
    std::vector<SpriteExtent> extents;       // by id; read by queries
    std::vector<std::uint32_t> everywhere;   // ids found by every query
    std::vector<std::uint32_t> indexOf;      // by id: the sprite index, NONE for a free id
    std::vector<std::uint32_t> idOf;         // by sprite index: its id, NONE when not filed
    std::vector<std::uint32_t> freeIds;
    mutable std::vector<std::uint32_t> mark;  // by id: query number that last returned it
    mutable std::uint32_t queryNumber;
};

#endif
