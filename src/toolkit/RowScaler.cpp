#include "toolkit/RowScaler.h"

#include <algorithm>
#include <cstring>

namespace tavello {

namespace {

constexpr int kChannels = 4;

using Sum = uint32_t __attribute__((vector_size(16)));
using Bytes = uint8_t __attribute__((vector_size(4)));

// The pixel's four bytes widened for adding up.
inline Sum Widened(const uint8_t* pixel) {
    Bytes bytes;
    std::memcpy(&bytes, pixel, sizeof bytes);
    return __builtin_convertvector(bytes, Sum);
}

inline RowScaler::Pixel Floats(Sum sum) {
    return __builtin_convertvector(sum, RowScaler::Pixel);
}

// A channel's average rounded into 0…`most`.
inline int Rounded(float value, int most) {
    return std::min(int(std::max(value, 0.0f) + 0.5f), most);
}

}  // namespace

RowScaler::RowScaler(QSize source, QSize target, bool alpha)
    : source_(source), target_(target), alpha_(alpha) {
    const bool fits =
        !target.isEmpty() && target.width() <= source.width() && target.height() <= source.height();
    if (!fits) return;
    image_ = QImage(target, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image_.isNull()) return;
    columns_ = Spans(source.width(), target.width());
    rows_ = Splits(source.height(), target.height());
    wholeShare_ = float(double(target.width()) / source.width());
    if (alpha) premul_.assign(size_t(source.width()) * kChannels, 0);
    current_.assign(size_t(target.width()), Pixel{});
    next_.assign(size_t(target.width()), Pixel{});
}

// Source pixel i covers [i·target, (i+1)·target) and target pixel t covers [t·source,
// (t+1)·source), in units of 1/(source·target) of the whole side.
std::vector<RowScaler::Span> RowScaler::Spans(int source, int target) {
    std::vector<Span> spans(static_cast<size_t>(target));
    const double unit = 1.0 / source;
    const auto share = [&](qint64 i, qint64 t) {
        const qint64 from = std::max(i * target, t * source);
        const qint64 to = std::min((i + 1) * target, (t + 1) * source);
        return float(double(to - from) * unit);
    };
    for (qint64 t = 0; t < target; ++t) {
        Span& span = spans[size_t(t)];
        const qint64 first = t * source / target;
        const qint64 last = ((t + 1) * source + target - 1) / target - 1;
        span.first = int(first);
        span.last = int(last);
        span.firstShare = share(first, t);
        span.lastShare = last > first ? share(last, t) : 0;
    }
    return spans;
}

// The same for rows: a source row, never higher than a target row, falls in one target row or
// across the edge of two.
std::vector<RowScaler::Split> RowScaler::Splits(int source, int target) {
    std::vector<Split> splits(static_cast<size_t>(source));
    const float unit = 1.0f / float(source);
    for (qint64 i = 0; i < source; ++i) {
        const qint64 start = i * target, end = start + target;
        const qint64 to = start / source;
        const qint64 edge = (to + 1) * source;
        Split& split = splits[size_t(i)];
        split.to = int(to);
        split.first = float(std::min(end, edge) - start) * unit;
        split.second = float(std::max<qint64>(end - edge, 0)) * unit;
    }
    return splits;
}

// The row with each colour multiplied by its opacity, rounded as Qt premultiplies.
const uint8_t* RowScaler::premultiplied(const uint8_t* rgba) {
    uint8_t* out = premul_.data();
    for (size_t i = 0; i < premul_.size(); i += kChannels) {
        const unsigned a = rgba[i + 3];
        for (int c = 0; c < 3; ++c) out[i + c] = uint8_t((rgba[i + c] * a + 127) / 255);
        out[i + 3] = uint8_t(a);
    }
    return out;
}

void RowScaler::addRow(const uint8_t* rgba) {
    if (!valid() || sourceRow_ >= source_.height()) return;
    const uint8_t* row = alpha_ ? premultiplied(rgba) : rgba;
    const Split& split = rows_[size_t(sourceRow_++)];
    while (targetRow_ < split.to) flushRow();
    const Pixel whole = Pixel{} + wholeShare_;
    const Pixel first = Pixel{} + split.first, second = Pixel{} + split.second;
    const bool spills = split.second > 0;
    for (size_t t = 0; t < columns_.size(); ++t) {
        const Span& span = columns_[t];
        Sum inside{};
        for (int i = span.first + 1; i < span.last; ++i) inside += Widened(row + i * kChannels);
        const Pixel value = Floats(inside) * whole +
                            Floats(Widened(row + span.first * kChannels)) * span.firstShare +
                            Floats(Widened(row + span.last * kChannels)) * span.lastShare;
        current_[t] += value * first;
        if (spills) next_[t] += value * second;
    }
    if (sourceRow_ == source_.height()) {
        while (targetRow_ < target_.height()) flushRow();
    }
}

// Writes the finished target row and moves on to the next.
void RowScaler::flushRow() {
    auto* out = reinterpret_cast<QRgb*>(image_.scanLine(targetRow_));
    for (int x = 0; x < target_.width(); ++x) {
        const Pixel v = current_[size_t(x)];
        const int a = alpha_ ? Rounded(v[3], 255) : 255;
        out[x] = qRgba(Rounded(v[0], a), Rounded(v[1], a), Rounded(v[2], a), a);
    }
    current_.swap(next_);
    std::fill(next_.begin(), next_.end(), Pixel{});
    ++targetRow_;
}

QImage RowScaler::take() {
    if (sourceRow_ != source_.height()) return QImage();
    return std::move(image_);
}

}  // namespace tavello
