#include "sprites/CSpriteGrid.h"

#include <algorithm>
#include <cmath>

CSpriteGrid::CSpriteGrid()
    : cells(), extents(), everywhere(), indexOf(), idOf(), freeIds(), mark(), queryNumber(0) {}

std::uint64_t CSpriteGrid::Key(std::int64_t cx, std::int64_t cy) {
    return (static_cast<std::uint64_t>(cx) << 32) ^ (static_cast<std::uint64_t>(cy) & 0xFFFFFFFFu);
}

// In doubles: the product of two spans near the reach overflows any integer.
double CSpriteGrid::CellCount(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    return (static_cast<double>(x1 - x0) + 1.0) * (static_cast<double>(y1 - y0) + 1.0);
}

bool CSpriteGrid::Cells(const SpriteExtent& box, std::int64_t& x0, std::int64_t& y0, std::int64_t& x1,
                        std::int64_t& y1) {
    // Written so that NaN fails the test too.
    if (!(box.minX >= -REACH && box.maxX <= REACH && box.minY >= -REACH && box.maxY <= REACH)) {
        return false;
    }
    x0 = static_cast<std::int64_t>(std::floor(box.minX / CELL));
    y0 = static_cast<std::int64_t>(std::floor(box.minY / CELL));
    x1 = static_cast<std::int64_t>(std::floor(box.maxX / CELL));
    y1 = static_cast<std::int64_t>(std::floor(box.maxY / CELL));
    return true;
}

void CSpriteGrid::Insert(std::uint32_t index, const SpriteExtent& extent) {
    std::uint32_t id;
    if (freeIds.empty()) {
        id = static_cast<std::uint32_t>(extents.size());
        extents.emplace_back();
        indexOf.push_back(NONE);
        mark.push_back(0);
    } else {
        id = freeIds.back();
        freeIds.pop_back();
    }
    if (idOf.size() <= index) {
        idOf.resize(index + 1, NONE);
    }
    idOf[index] = id;
    indexOf[id] = index;
    extents[id] = extent;
    std::int64_t x0, y0, x1, y1;
    if (!InCells(extent, x0, y0, x1, y1)) {
        everywhere.push_back(id);
        return;
    }
    for (std::int64_t cy = y0; cy <= y1; ++cy) {
        for (std::int64_t cx = x0; cx <= x1; ++cx) {
            cells[Key(cx, cy)].push_back(id);
        }
    }
}

bool CSpriteGrid::InCells(const SpriteExtent& extent, std::int64_t& x0, std::int64_t& y0, std::int64_t& x1,
                          std::int64_t& y1) {
    return Cells(extent, x0, y0, x1, y1) && CellCount(x0, y0, x1, y1) <= MAX_CELLS;
}

void CSpriteGrid::Remove(std::uint32_t index) {
    if (index < idOf.size() && idOf[index] != NONE) {
        RemoveId(idOf[index]);
        idOf[index] = NONE;
    }
}

void CSpriteGrid::RemoveId(std::uint32_t id) {
    // Order within a cell does not matter: queries return no order.
    auto drop = [id](std::vector<std::uint32_t>& list) {
        const auto at = std::find(list.begin(), list.end(), id);
        if (at != list.end()) {
            *at = list.back();
            list.pop_back();
        }
    };
    std::int64_t x0, y0, x1, y1;
    if (!InCells(extents[id], x0, y0, x1, y1)) {
        drop(everywhere);
    } else {
        for (std::int64_t cy = y0; cy <= y1; ++cy) {
            for (std::int64_t cx = x0; cx <= x1; ++cx) {
                const auto cell = cells.find(Key(cx, cy));
                if (cell != cells.end()) {
                    drop(cell->second);
                    if (cell->second.empty()) {
                        cells.erase(cell);
                    }
                }
            }
        }
    }
    indexOf[id] = NONE;
    freeIds.push_back(id);
}

void CSpriteGrid::CloseGaps(const std::vector<std::uint32_t>& removed) {
    if (removed.empty() || removed.front() >= idOf.size()) {
        return;
    }
    std::size_t kept = removed.front();
    std::size_t next = 0;  // into removed
    for (std::size_t index = removed.front(); index < idOf.size(); ++index) {
        if (next < removed.size() && removed[next] == index) {
            ++next;
            if (idOf[index] != NONE) {
                RemoveId(idOf[index]);
            }
            continue;
        }
        const std::uint32_t id = idOf[index];
        idOf[kept] = id;
        if (id != NONE) {
            indexOf[id] = static_cast<std::uint32_t>(kept);
        }
        ++kept;
    }
    idOf.resize(kept);
}

void CSpriteGrid::Query(const SpriteExtent& box, std::vector<std::uint32_t>& out) const {
    for (std::uint32_t id : everywhere) {
        out.push_back(indexOf[id]);
    }
    QueryCells(box, nullptr, out);
}

void CSpriteGrid::QueryOutside(const SpriteExtent& box, const SpriteExtent* covered,
                               std::vector<std::uint32_t>& out) const {
    QueryCells(box, covered, out);
}

void CSpriteGrid::QueryCells(const SpriteExtent& box, const SpriteExtent* skip,
                             std::vector<std::uint32_t>& out) const {
    // Met by the box and, with `skip`, not by that one.
    auto wanted = [&](std::uint32_t k) {
        return ExtentsMeet(extents[k], box) && (skip == nullptr || !ExtentsMeet(extents[k], *skip));
    };
    if (cells.empty()) {
        return;
    }
    std::int64_t x0, y0, x1, y1;
    if (!Cells(box, x0, y0, x1, y1) || CellCount(x0, y0, x1, y1) > static_cast<double>(cells.size())) {
        // Larger than the filled part of the grid: every cell is cheaper.
        if (++queryNumber == 0) {
            std::fill(mark.begin(), mark.end(), 0);
            queryNumber = 1;
        }
        for (const auto& cell : cells) {
            for (std::uint32_t k : cell.second) {
                if (mark[k] != queryNumber && wanted(k)) {
                    mark[k] = queryNumber;
                    out.push_back(indexOf[k]);
                }
            }
        }
        return;
    }
    if (++queryNumber == 0) {
        std::fill(mark.begin(), mark.end(), 0);
        queryNumber = 1;
    }
    for (std::int64_t cy = y0; cy <= y1; ++cy) {
        for (std::int64_t cx = x0; cx <= x1; ++cx) {
            const auto found = cells.find(Key(cx, cy));
            if (found == cells.end()) {
                continue;
            }
            for (std::uint32_t k : found->second) {
                if (mark[k] != queryNumber && wanted(k)) {
                    mark[k] = queryNumber;
                    out.push_back(indexOf[k]);
                }
            }
        }
    }
}

void CSpriteGrid::Clear() {
    cells.clear();
    extents.clear();
    everywhere.clear();
    indexOf.clear();
    idOf.clear();
    freeIds.clear();
    mark.clear();
    queryNumber = 0;
}
