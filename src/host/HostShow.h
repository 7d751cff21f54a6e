#pragma once

#include "host/HackOptions.h"
#include "host/HostLayout.h"
#include "platform/EndSignals.h"
#include "saver/Form1.h"

#include <QList>
#include <QObject>
#include <QRect>
#include <memory>

namespace tavello {

class HostWindows;
class UpscaledView;
class MciService;

struct HostShowDeps {
    SaverDeps saver;                 // the show's services, clock, timer, random and settings
    MciService* music = nullptr;     // the music, when the show is heard
    MciService* silence = nullptr;   // for a preview
    HostWindows* windows = nullptr;  // the host's windows
    QList<QRect> monitors;           // each monitor's rectangle, in the toolkit's list order
    QString imageFolder;             // the host's picture folder, shown when the list is empty
};

// The show of "/S" in a window a screen-saver host gives it: laid out in that window, following
// its size, and ended by the host alone, with SIGTERM, SIGINT or SIGHUP, or by destroying its
// window.
class HostShow : public QObject {
    Q_OBJECT
  public:
    HostShow(const HostShowDeps& deps, const HackOptions& options);
    ~HostShow() override;

    // False when the host's window does not exist: there is nothing to draw into.
    bool ready() const { return form_ != nullptr; }
    Form1* form() const { return form_.get(); }
    // The window of ours that stands in the host's window (or on the root window).
    QWidget* window() const;
    const HostLayout& layout() const { return layout_; }
    bool playsMusic() const { return playsMusic_; }

    // Starts the show; it runs until the host ends it.
    void Run();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::optional<QRect> PlaceOnScreen() const;
    void PutWindowInPlace(const QRect& place);
    void FollowWindowSize(const QSize& size);

    HostShowDeps deps_;
    HackOptions options_;
    HostLayout layout_;
    QRect place_;
    bool playsMusic_ = false;
    EndSignals endSignals_;
    std::unique_ptr<Form1> form_;
    std::unique_ptr<UpscaledView> view_;
};

}  // namespace tavello
