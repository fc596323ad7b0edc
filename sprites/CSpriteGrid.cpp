#include "sprites/CSpriteGrid.h"

#include <algorithm>
#include <cmath>

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
    if (!Cells(extent, x0, y0, x1, y1) || CellCount(x0, y0, x1, y1) > MAX_CELLS) {
        everywhere.push_back(index);
        return;
    }
    for (std::int64_t cy = y0; cy <= y1; ++cy) {
        for (std::int64_t cx = x0; cx <= x1; ++cx) {
            cells[Key(cx, cy)].push_back(index);
        }
    }
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
