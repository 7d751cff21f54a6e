#pragma once

#include "toolkit/Picture.h"

#include <QString>
#include <functional>
#include <optional>

namespace tavello {

// How the show will place a picture, so that whoever decodes it can decode it straight at the
// size it will have on the screen: the picture-size text, the screen's size and the
// magnification scale, as the fit rule takes them.
struct ShowFit {
    QString picSize;
    double screenW = 0;
    double screenH = 0;
    double scale = 1;
};

// Pictures decoded for the show away from its thread. Every answer comes later on the GUI thread,
// never from inside the call that asked; nothing here is ever waited for.
class PictureSource {
  public:
    using Done = std::function<void(std::optional<LoadedPicture>)>;
    virtual ~PictureSource() = default;

    // Decodes path (an empty path: the empty picture) at the size `fit` gives it, and calls done
    // with it, or with nothing when it cannot be shown. A newer Request replaces an unanswered
    // one, whose done is then never called.
    virtual void Request(const QString& path, const ShowFit& fit, Done done) = 0;
    // Starts decoding path ahead, so that a Request for it soon after is answered at once.
    virtual void Prefetch(const QString& path, const ShowFit& fit) = 0;
    // Drops what is asked and prepared; no done is called after this.
    virtual void Cancel() = 0;
};

}  // namespace tavello
