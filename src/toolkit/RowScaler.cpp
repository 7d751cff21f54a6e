#include "toolkit/RowScaler.h"

#include <algorithm>
#include <cstring>

namespace tavello {

namespace {

constexpr int kRgba = 4;

// Channels worked on together: written as fixed blocks, the loops below become vector code.
constexpr size_t kBlock = 16;

using Pixel = float __attribute__((vector_size(16)));

void AddRow(uint32_t* __restrict sums, const uint8_t* __restrict row, size_t count) {
    size_t i = 0;
    for (; i + kBlock <= count; i += kBlock) {
        for (size_t j = 0; j < kBlock; ++j) sums[i + j] += row[i + j];
    }
    for (; i < count; ++i) sums[i] += row[i];
}

void AddShares(float* __restrict first, float* __restrict second, const uint8_t* __restrict row,
               size_t count, float firstShare, float secondShare) {
    size_t i = 0;
    for (; i + kBlock <= count; i += kBlock) {
        for (size_t j = 0; j < kBlock; ++j) {
            const float value = row[i + j];
            first[i + j] += value * firstShare;
            second[i + j] += value * secondShare;
        }
    }
    for (; i < count; ++i) {
        first[i] += float(row[i]) * firstShare;
        second[i] += float(row[i]) * secondShare;
    }
}

void Combine(float* __restrict line, const uint32_t* __restrict sums, const float* __restrict edge,
             size_t count, float share) {
    size_t i = 0;
    for (; i + kBlock <= count; i += kBlock) {
        for (size_t j = 0; j < kBlock; ++j) line[i + j] = float(sums[i + j]) * share + edge[i + j];
    }
    for (; i < count; ++i) line[i] = float(sums[i]) * share + edge[i];
}

// The channels of pixel `x`; for RGB rows the fourth is the next pixel's red, never used.
inline Pixel PixelAt(const float* line, int x, int channels) {
    Pixel pixel;
    std::memcpy(&pixel, line + size_t(x) * size_t(channels), sizeof pixel);
    return pixel;
}

// A channel's average rounded into 0…`most`.
inline int Rounded(float value, int most) {
    return std::min(int(std::max(value, 0.0f) + 0.5f), most);
}

}  // namespace

RowScaler::RowScaler(QSize source, QSize target, bool alpha, Rows rows)
    : source_(source), target_(target), alpha_(alpha), channels_(rows == Rows::Rgb ? 3 : kRgba) {
    const bool fits = !target.isEmpty() && target.width() <= source.width() &&
                      target.height() <= source.height() && !(alpha && rows == Rows::Rgb);
    if (!fits) return;
    image_ = QImage(target, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image_.isNull()) return;
    columns_ = Spans(source.width(), target.width());
    rows_ = Splits(source.height(), target.height());
    wholeShare_ = float(double(target.width()) / source.width());
    wholeRowShare_ = float(double(target.height()) / source.height());
    const size_t channels = size_t(source.width()) * size_t(channels_);
    if (alpha) premul_.assign(channels, 0);
    whole_.assign(channels, 0);
    edge_.assign(channels, 0);
    nextEdge_.assign(channels, 0);
    line_.assign(channels + 1, 0);  // the last RGB pixel is read as four channels
}

qint64 RowScaler::WorkingBytes(int width, int height) {
    // Four rows of sums in 32-bit channels, the premultiplied row, and a span per column.
    const qint64 columns = qint64(width) * qint64(4 * kRgba * 4 + kRgba + sizeof(Span));
    return columns + qint64(height) * qint64(sizeof(Split));
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
    for (size_t i = 0; i < premul_.size(); i += kRgba) {
        const unsigned a = rgba[i + 3];
        for (int c = 0; c < 3; ++c) out[i + c] = uint8_t((rgba[i + c] * a + 127) / 255);
        out[i + 3] = uint8_t(a);
    }
    return out;
}

void RowScaler::addRow(const uint8_t* pixels) {
    if (!valid() || sourceRow_ >= source_.height()) return;
    const uint8_t* row = alpha_ ? premultiplied(pixels) : pixels;
    const Split& split = rows_[size_t(sourceRow_++)];
    while (targetRow_ < split.to) flushRow();
    if (split.second > 0) {
        // A row across the edge of two target rows counts towards each with its share.
        AddShares(edge_.data(), nextEdge_.data(), row, edge_.size(), split.first, split.second);
    } else {
        // Any other lies wholly inside one, with the same share as every such row: only added.
        AddRow(whole_.data(), row, whole_.size());
    }
    if (sourceRow_ == source_.height()) {
        while (targetRow_ < target_.height()) flushRow();
    }
}

// Reduces the finished target row's sums to the target's width, writes it and moves on to the
// next.
void RowScaler::flushRow() {
    Combine(line_.data(), whole_.data(), edge_.data(), whole_.size(), wholeRowShare_);
    const Pixel wholeColumn = Pixel{} + wholeShare_;
    auto* out = reinterpret_cast<QRgb*>(image_.scanLine(targetRow_));
    for (size_t t = 0; t < columns_.size(); ++t) {
        const Span& span = columns_[t];
        Pixel inside{};
        for (int i = span.first + 1; i < span.last; ++i)
            inside += PixelAt(line_.data(), i, channels_);
        const Pixel v = inside * wholeColumn +
                        PixelAt(line_.data(), span.first, channels_) * span.firstShare +
                        PixelAt(line_.data(), span.last, channels_) * span.lastShare;
        const int a = alpha_ ? Rounded(v[3], 255) : 255;
        out[t] = qRgba(Rounded(v[0], a), Rounded(v[1], a), Rounded(v[2], a), a);
    }
    std::fill(whole_.begin(), whole_.end(), 0);
    edge_.swap(nextEdge_);
    std::fill(nextEdge_.begin(), nextEdge_.end(), 0.0f);
    ++targetRow_;
}

QImage RowScaler::take() {
    if (sourceRow_ != source_.height()) return QImage();
    return std::move(image_);
}

}  // namespace tavello
