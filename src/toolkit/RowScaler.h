#pragma once

// Scales a picture down while its rows come from the decoder, so that no full-size copy of it is
// ever held: each target pixel is the average of the source area it covers (a box filter with
// exact fractional edges). Rows come as 8-bit RGBA, not premultiplied, or as 8-bit RGB.

#include <QImage>
#include <QSize>

#include <cstdint>
#include <vector>

namespace tavello {

class RowScaler {
  public:
    enum class Rows { Rgba, Rgb };

    // `target` must fit within `source` on both sides. With `alpha` the result is premultiplied
    // ARGB32 (from RGBA rows only), otherwise RGB32, an RGBA row's alpha ignored. Null result
    // when the target cannot be allocated.
    RowScaler(QSize source, QSize target, bool alpha, Rows rows = Rows::Rgba);

    // The memory it works in besides the target, for a picture `width` pixels wide and `height`
    // high.
    static qint64 WorkingBytes(int width, int height);

    // Whether the target was allocated and the sizes make sense.
    bool valid() const { return !image_.isNull(); }

    // The next source row, `source.width()` pixels as the constructor was told. Rows past the last
    // are ignored.
    void addRow(const uint8_t* pixels);

    // The scaled picture once every source row has come; null before that.
    QImage take();

  private:
    // The source pixels a target column covers: the first and last, partly covered, with their
    // shares, and the whole ones between them, each with the same share.
    struct Span {
        int first = 0;
        int last = 0;
        float firstShare = 0;
        float lastShare = 0;
    };
    // How a source row falls into the target rows.
    struct Split {
        int to = 0;        // the first target row it falls in
        float first = 0;   // the share of it that falls there
        float second = 0;  // the share that falls into the next
    };
    static std::vector<Span> Spans(int source, int target);
    static std::vector<Split> Splits(int source, int target);
    const uint8_t* premultiplied(const uint8_t* rgba);
    void flushRow();

    QSize source_;
    QSize target_;
    bool alpha_;
    int channels_;
    QImage image_;
    std::vector<Span> columns_;
    std::vector<Split> rows_;
    float wholeShare_ = 0;         // the share of a source column wholly inside a target column
    float wholeRowShare_ = 0;      // the share of a source row wholly inside a target row
    std::vector<uint8_t> premul_;  // the current source row premultiplied, with transparency
    // The target row being filled, still at the source's width: the sum of the rows wholly inside
    // it, and the shares of those across its edges. Then the shares of those across the next's.
    std::vector<uint32_t> whole_;
    std::vector<float> edge_;
    std::vector<float> nextEdge_;
    std::vector<float> line_;  // the finished target row at the source's width
    int sourceRow_ = 0;
    int targetRow_ = 0;
};

}  // namespace tavello
