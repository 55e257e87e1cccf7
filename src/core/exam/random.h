#pragma once
// The program's one random source: a 32-bit linear congruential generator. It is created once by
// the shell and handed to whatever draws (question selection, choice building); nothing keeps a
// hidden generator of its own.

#include <cstdint>
#include <optional>
#include <string_view>

namespace rekal {

class RandomGenerator {
  public:
    static constexpr std::uint32_t kMultiplier = 22695477u;
    static constexpr std::uint32_t kIncrement = 1u;
    static constexpr int kMaxValue = 32767;

    RandomGenerator() = default;
    explicit RandomGenerator(std::uint32_t seedValue) { seed(seedValue); }

    // Start-up seeding: the state takes the seed, then the generator advances once.
    void seed(std::uint32_t seedValue) {
        state_ = seedValue;
        step();
    }

    // The next value, 0 to 32767: bits 16 to 30 of the new state.
    int next() {
        step();
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

    // A value 0 to n - 1 (n > 0). Up to 32768 it is exactly next() mod n; above that two values are
    // combined into 30 bits so that every member of a large set can be drawn.
    int below(int n) {
        if (n <= kMaxValue + 1) return next() % n;
        std::uint32_t high = static_cast<std::uint32_t>(next());
        std::uint32_t low = static_cast<std::uint32_t>(next());
        return static_cast<int>(((high << 15) | low) % static_cast<std::uint32_t>(n));
    }

    // Moves on n values at once, as n calls of next() would.
    void discard(std::uint64_t n) {
        std::uint32_t mul = 1, add = 0;
        std::uint32_t m = kMultiplier, c = kIncrement;
        for (; n != 0; n >>= 1) {
            if (n & 1) {
                mul *= m;
                add = add * m + c;
            }
            c *= m + 1;
            m *= m;
        }
        state_ = state_ * mul + add;
    }

    std::uint32_t state() const { return state_; }
    void setState(std::uint32_t state) { state_ = state; }

  private:
    void step() { state_ = state_ * kMultiplier + kIncrement; }

    std::uint32_t state_ = 1;
};

// A seed written as a decimal number, 0 to 4294967295 (the generator's whole state); none for any
// other text.
inline std::optional<std::uint32_t> parseSeed(std::string_view text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

} // namespace rekal
