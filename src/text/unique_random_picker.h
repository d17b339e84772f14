#pragma once

#include <cstdint>
#include <random>
#include <unordered_map>
#include <vector>

namespace qm {

// The one random source of the system, seeded once. Tests seed it for
// reproducible outcomes.
std::mt19937& random_engine();
void seed_random(std::uint32_t seed);
// Uniform in [low, high]; low when high < low.
int random_between(int low, int high);

// Hands out the numbers of a range in random order without repetition until
// all have been drawn; then a new cycle begins. The range is read only when
// the pool is refilled.
class UniqueRandomPicker {
public:
    UniqueRandomPicker() = default;
    UniqueRandomPicker(const UniqueRandomPicker&) = delete;
    UniqueRandomPicker& operator=(const UniqueRandomPicker&) = delete;

    // low when the pool is empty and high < low.
    int draw(int low, int high);
    void reset();

private:
    // The pool is the range with the drawn numbers swapped out: slot i holds
    // moved_[i] when present, else low_ + i. Memory grows with the draws made,
    // not with the range, so a range as wide as int costs nothing up front.
    // Ranges up to kDenseRange keep every slot in `dense_` instead, which
    // draws the same numbers without a hash lookup per draw.
    static constexpr long long kDenseRange = 1 << 16;
    int slot(long long i) const;
    long long low_ = 0;
    long long remaining_ = 0;
    std::unordered_map<long long, int> moved_;
    std::vector<int> dense_;
};

}  // namespace qm
