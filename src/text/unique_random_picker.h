#pragma once

#include <cstdint>
#include <random>
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
    std::vector<int> pool_;
};

}  // namespace qm
