#include "toolkit/RowScaler.h"

#include <algorithm>
#include <cmath>

namespace tavello {

namespace {
constexpr int kChannels = 4;
}

RowScaler::RowScaler(QSize source, QSize target, bool alpha)
    : source_(source), target_(target), alpha_(alpha) {
    const bool fits =
        !target.isEmpty() && target.width() <= source.width() && target.height() <= source.height();
    if (!fits) return;
    image_ = QImage(target, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image_.isNull()) return;
    columns_ = Splits(source.width(), target.width());
    rows_ = Splits(source.height(), target.height());
    const size_t width = size_t(target.width()) * kChannels;
    line_.assign(width, 0);
    current_.assign(width, 0);
    next_.assign(width, 0);
}

// Source pixel i covers [i·target, (i+1)·target) and target pixel t covers [t·source,
// (t+1)·source), in units of 1/(source·target) of the whole side: a source pixel, never wider than
// a target pixel, falls in one target pixel or across the edge of two.
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

void RowScaler::spreadRow(const uint8_t* rgba) {
    std::fill(line_.begin(), line_.end(), 0.0f);
    for (int x = 0; x < source_.width(); ++x) {
        const uint8_t* pixel = rgba + size_t(x) * kChannels;
        const float a = alpha_ ? pixel[3] : 255.0f;
        const float scale = a / 255.0f;
        const float values[kChannels] = {pixel[0] * scale, pixel[1] * scale, pixel[2] * scale, a};
        const Split& split = columns_[size_t(x)];
        float* to = line_.data() + size_t(split.to) * kChannels;
        for (int c = 0; c < kChannels; ++c) to[c] += values[c] * split.first;
        if (split.second > 0) {
            for (int c = 0; c < kChannels; ++c) to[kChannels + c] += values[c] * split.second;
        }
    }
}

void RowScaler::addRow(const uint8_t* rgba) {
    if (!valid() || sourceRow_ >= source_.height()) return;
    spreadRow(rgba);
    const Split& split = rows_[size_t(sourceRow_++)];
    while (targetRow_ < split.to) flushRow();
    for (size_t i = 0; i < line_.size(); ++i) {
        current_[i] += line_[i] * split.first;
        next_[i] += line_[i] * split.second;
    }
    if (sourceRow_ == source_.height()) {
        while (targetRow_ < target_.height()) flushRow();
    }
}

// Writes the finished target row and moves on to the next.
void RowScaler::flushRow() {
    auto* out = reinterpret_cast<QRgb*>(image_.scanLine(targetRow_));
    for (int x = 0; x < target_.width(); ++x) {
        const float* v = current_.data() + size_t(x) * kChannels;
        const int a = std::clamp(int(std::lround(v[3])), 0, 255);
        const auto channel = [a](float value) { return std::clamp(int(std::lround(value)), 0, a); };
        out[x] = qRgba(channel(v[0]), channel(v[1]), channel(v[2]), alpha_ ? a : 255);
    }
    current_.swap(next_);
    std::fill(next_.begin(), next_.end(), 0.0f);
    ++targetRow_;
}

QImage RowScaler::take() {
    if (sourceRow_ != source_.height()) return QImage();
    return std::move(image_);
}

}  // namespace tavello
