#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace tavello {

// The saver keeps at most this many pictures, indexed 0 to 999.
inline constexpr std::int16_t kPictureStoreSize = 1000;

// How the next picture is chosen, from the RandomOrder setting read strictly as a number.
enum class OrderMode {
    Random,     // 1
    ListOrder,  // 0
    Fixed,      // any other number: the index never moves
};

// nullopt when the text is not one number (the empty text included): the picture change fails.
std::optional<OrderMode> ReadOrderMode(const QString& randomOrder);

// A pseudo-random generator that is re-seeded from the time of day before every draw.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual void Reseed() = 0;
    // Uniform over [0, 1).
    virtual float Draw() = 0;
};

// Seeds from the wall clock in milliseconds. A clock that has not moved since the last re-seed
// leaves the generator running on, so the same draw is never produced twice by re-seeding.
class ClockSeededRandom final : public RandomSource {
  public:
    // salt sets apart the draws of shows in other processes that re-seed in the same millisecond
    // (one per monitor).
    explicit ClockSeededRandom(std::uint64_t salt = 0) : salt_(salt) {}
    void Reseed() override;
    float Draw() override;

  private:
    std::uint64_t state_ = 0x853c49e6748fea9bULL;
    std::int64_t lastSeed_ = -1;
    std::uint64_t salt_ = 0;
};

// A random index from 0 to count - 1 that differs from current; count must be at least 2.
// Returned as single precision, as the caller stores it by rounding.
float RAN(std::int16_t current, std::int16_t count, RandomSource& random);

// The same rule over a list of any length (the pictures of folder entries); count at least 2.
std::int32_t RandomIndex(std::int32_t current, std::int32_t count, RandomSource& random);

// The list-order step: the next index, wrapping to 0 when it reaches count.
std::int16_t NextInListOrder(std::int16_t index, std::int16_t count);

}  // namespace tavello
