#pragma once

// The small parts the show is made of besides its window: what it takes from outside, the numbers
// it reads from its settings, and the music's loop.

#include "music/APIModule.h"
#include "platform/Services.h"
#include "saver/PictureOrder.h"
#include "saver/ShowDesk.h"
#include "saver/ShowList.h"
#include "settings/SaverSettings.h"

#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

namespace tavello {

class PictureSource;
class ShowTimer;

// A show inside a screen-saver host's window rather than on a screen of its own. The host owns
// input, the cursor, locking and ending, so the window takes none of them, and a picture that
// cannot be shown is passed over instead of ending the show.
struct HostedShow {
    Qt::WindowFlags windowFlags = Qt::Window | Qt::FramelessWindowHint;
    // Headline size and magnification factor: a window smaller than its monitor shows the full
    // screen's show scaled down.
    double sizeScale = 1;
    // List order starts this many pictures further on (the monitor's number on a wide desk).
    std::int16_t firstPicture = 0;
    // Shown as a folder entry when the picture list is empty: the folder the host names for
    // picture-using hacks (empty when it names none).
    QString imageFolder;
};

// Everything the saver window takes from outside, so tests can run the show on a fake clock.
struct SaverDeps {
    Services services;
    std::int16_t passwordFlag = 0;
    ShowTimer* timer = nullptr;
    RandomSource* random = nullptr;
    QSize screenTwips;                  // the screen's size in twips
    QString settingsPath;               // the settings file to read at load
    std::optional<HostedShow> hosted;   // in a host's window; screenTwips is then the window's size
    FolderScan scanFolder;              // lists a folder entry's pictures; empty: the real scan
    DeskFactory desk;                   // where a show of its own stands (not in a host's window)
    PictureSource* pictures = nullptr;  // decodes the pictures (the show's loader); required
};

// The numbers the show takes from its settings, read once when it loads; the settings themselves
// stay texts.
struct ShowParams {
    double intervalMs = 0;           // Speed × 1000
    std::optional<OrderMode> order;  // nullopt: every picture change fails
    QString picSize;                 // the size setting as stored, read by the fit
    static ShowParams From(const SaverSettings& settings);
};

// The song of the show: started with it, started again at a picture change once it has ended,
// stopped at the end.
class MusicLoop {
  public:
    explicit MusicLoop(MciService& mci) : music_(mci) {}
    void Start(const QString& file);
    void RestartIfFinished();
    void Stop() { music_.StopMusic(); }

  private:
    APIModule music_;
    QString file_;
};

}  // namespace tavello
