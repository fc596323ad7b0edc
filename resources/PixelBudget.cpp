#include "resources/PixelBudget.h"

#include <atomic>

namespace {

std::atomic<std::uint64_t> inUse{0};
std::atomic<std::uint64_t> limit{PIXEL_BUDGET_BYTES};

}  // namespace

bool PixelBudgetReserve(std::uint64_t bytes) {
    std::uint64_t now = inUse.load();
    do {
        if (bytes > limit.load() || now > limit.load() - bytes) {
            return false;
        }
    } while (!inUse.compare_exchange_weak(now, now + bytes));
    return true;
}

void PixelBudgetRelease(std::uint64_t bytes) {
    inUse.fetch_sub(bytes);
}

std::uint64_t PixelBudgetInUse() {
    return inUse.load();
}

void PixelBudgetSetLimit(std::uint64_t bytes) {
    limit.store(bytes);
}

std::string PixelBudgetRefusal(std::uint64_t bytes) {
    return std::to_string(bytes) + " bytes of pixels would pass the budget of " +
           std::to_string(limit.load() >> 20) + " MiB for all images and captions together";
}
