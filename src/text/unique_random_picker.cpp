#include "text/unique_random_picker.h"

namespace qm {

std::mt19937& random_engine() {
    // Seeded once: reseeding from a coarse clock at every draw would hand out
    // the same number to draws made within one clock tick.
    static std::mt19937 engine{std::random_device{}()};
    return engine;
}

void seed_random(std::uint32_t seed) { random_engine().seed(seed); }

int random_between(int low, int high) {
    if (high <= low) return low;
    return std::uniform_int_distribution<int>(low, high)(random_engine());
}

int UniqueRandomPicker::slot(long long i) const {
    if (!dense_.empty()) return dense_[static_cast<size_t>(i)];
    auto it = moved_.find(i);
    return it != moved_.end() ? it->second : static_cast<int>(low_ + i);
}

int UniqueRandomPicker::draw(int low, int high) {
    if (remaining_ == 0) {
        if (high < low) return low;
        low_ = low;
        remaining_ = static_cast<long long>(high) - low + 1;
        moved_.clear();
        dense_.clear();
        if (remaining_ <= kDenseRange)
            for (long long i = 0; i < remaining_; ++i) dense_.push_back(static_cast<int>(low_ + i));
    }
    // Uniform among the numbers not yet drawn in this cycle; the last slot's
    // number takes the place of the one drawn.
    const long long k = std::uniform_int_distribution<long long>(0, remaining_ - 1)(random_engine());
    const int number = slot(k);
    const long long last = remaining_ - 1;
    if (!dense_.empty()) {
        dense_[static_cast<size_t>(k)] = dense_[static_cast<size_t>(last)];
        dense_.pop_back();
    } else {
        if (k != last) moved_[k] = slot(last);
        moved_.erase(last);
    }
    --remaining_;
    return number;
}

void UniqueRandomPicker::reset() {
    remaining_ = 0;
    moved_.clear();
    dense_.clear();
}

}  // namespace qm
