#include "sprites/CSpriteGrid.h"

#include <algorithm>
#include <cmath>
#include <iterator>

CSpriteGrid::CSpriteGrid() : cells(), extents(), everywhere(), mark(), queryNumber(0) {}

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
    if (extents.size() <= index) {
        extents.resize(index + 1);
        mark.resize(index + 1, 0);
    }
    extents[index] = extent;
    std::int64_t x0, y0, x1, y1;
    if (!InCells(extent, x0, y0, x1, y1)) {
        everywhere.push_back(index);
        return;
    }
    for (std::int64_t cy = y0; cy <= y1; ++cy) {
        for (std::int64_t cx = x0; cx <= x1; ++cx) {
            cells[Key(cx, cy)].push_back(index);
        }
    }
}

bool CSpriteGrid::InCells(const SpriteExtent& extent, std::int64_t& x0, std::int64_t& y0, std::int64_t& x1,
                          std::int64_t& y1) {
    return Cells(extent, x0, y0, x1, y1) && CellCount(x0, y0, x1, y1) <= MAX_CELLS;
}

void CSpriteGrid::Remove(std::uint32_t index) {
    // Order within a cell does not matter: queries return no order.
    auto drop = [index](std::vector<std::uint32_t>& list) {
        const auto at = std::find(list.begin(), list.end(), index);
        if (at != list.end()) {
            *at = list.back();
            list.pop_back();
        }
    };
    std::int64_t x0, y0, x1, y1;
    if (!InCells(extents[index], x0, y0, x1, y1)) {
        drop(everywhere);
        return;
    }
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

void CSpriteGrid::Renumber(const std::vector<std::uint32_t>& to) {
    auto renumber = [&to](std::vector<std::uint32_t>& list) {
        std::size_t kept = 0;
        for (std::uint32_t k : list) {
            if (to[k] != GONE) {
                list[kept++] = to[k];
            }
        }
        list.resize(kept);
    };
    for (auto cell = cells.begin(); cell != cells.end();) {
        renumber(cell->second);
        cell = cell->second.empty() ? cells.erase(cell) : std::next(cell);
    }
    renumber(everywhere);
    std::vector<SpriteExtent> moved(extents.size());
    std::size_t size = 0;
    for (std::size_t k = 0; k < extents.size() && k < to.size(); ++k) {
        if (to[k] != GONE) {
            moved[to[k]] = extents[k];
            size = std::max<std::size_t>(size, to[k] + 1);
        }
    }
    moved.resize(size);
    extents.swap(moved);
    mark.assign(extents.size(), 0);
    queryNumber = 0;
}

void CSpriteGrid::Query(const SpriteExtent& box, std::vector<std::uint32_t>& out) const {
    out.insert(out.end(), everywhere.begin(), everywhere.end());
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
                    out.push_back(k);
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
                    out.push_back(k);
                }
            }
        }
    }
}

void CSpriteGrid::Clear() {
    cells.clear();
    extents.clear();
    everywhere.clear();
    mark.clear();
    queryNumber = 0;
}
