#include "saver/PictureOrder.h"

#include "settings/Numbers.h"

#include <QDateTime>
#include <cmath>

namespace tavello {

std::optional<OrderMode> ReadOrderMode(const QString& randomOrder) {
    const std::optional<double> value = StrictNumber(randomOrder);
    if (!value) return std::nullopt;
    if (*value == 1) return OrderMode::Random;
    if (*value == 0) return OrderMode::ListOrder;
    return OrderMode::Fixed;
}

void ClockSeededRandom::Reseed() {
    const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
    if (now == lastSeed_) return;
    lastSeed_ = now;
    state_ = static_cast<std::uint64_t>(now) ^ (salt_ * 0xd1b54a32d192ed03ULL);
}

float ClockSeededRandom::Draw() {
    // splitmix64: consecutive clock seeds still give unrelated draws.
    state_ += 0x9e3779b97f4a7c15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    z ^= z >> 31;
    // The top 24 bits make an exact single-precision fraction below 1.
    return static_cast<float>(z >> 40) * 0x1.0p-24f;
}

float RAN(std::int16_t current, std::int16_t count, RandomSource& random) {
    return static_cast<float>(RandomIndex(current, count, random));
}

std::int32_t RandomIndex(std::int32_t current, std::int32_t count, RandomSource& random) {
    // A generator that keeps answering the current index must not hang the show: after this
    // many refusals the draw picks among the other indices directly.
    constexpr int kAttempts = 64;
    const float countF = static_cast<float>(count);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        random.Reseed();
        float candidate = std::floor(countF * random.Draw());
        if (candidate > countF - 1) candidate = countF - 1;  // a draw rounded up to 1
        if (candidate != static_cast<float>(current)) return static_cast<std::int32_t>(candidate);
    }
    random.Reseed();
    const std::int32_t others = count - 1;
    auto step = static_cast<std::int32_t>(std::floor(static_cast<float>(others) * random.Draw()));
    if (step >= others) step = others - 1;
    return ((current + 1 + step) % count + count) % count;
}

std::int16_t NextInListOrder(std::int16_t index, std::int16_t count) {
    const int next = index + 1;
    return next == count ? std::int16_t{0} : static_cast<std::int16_t>(next);
}

}  // namespace tavello
