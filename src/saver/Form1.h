#pragma once

#include "saver/ShowParts.h"
#include "saver/ShowPictures.h"
#include "saver/ShowTiming.h"

#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

namespace tavello {

class AutoSizeLabel;
class ImageControl;

// The full-screen window of the running show: a headline, then the pictures one after another,
// until the user touches a key or the mouse. It runs under the application's event loop, woken
// by its timer and by input; ended() says when it is over. In a screen-saver host's window
// (SaverDeps::hosted) the same show runs until the host closes it.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    explicit Form1(const SaverDeps& deps, QWidget* parent = nullptr);
    ~Form1() override;

    // Shows the window, reads the settings, starts the music, puts up the headline and starts
    // the show, which then runs on its own.
    void Form_Load();

    double ScreenW() const;
    double ScreenH() const;

    // Shared state, read by tests.
    std::int16_t StopFlag() const { return StopFlag_; }
    std::int16_t PicIndex() const { return pictures_.playlist().PicIndex(); }
    // With folder entries: the index into the expanded list, and its length once listed.
    std::int32_t ShowIndex() const { return pictures_.playlist().ShowIndex(); }
    std::optional<qsizetype> ExpandedCount() const { return pictures_.playlist().ExpandedCount(); }
    bool PicturesListed() const { return pictures_.Listed(); }
    bool ListingPictures() const { return pictures_.Listing(); }
    QPoint CursorPos() const { return CursorPos_; }
    bool ended() const { return ended_; }
    // The show ended because another program destroyed its window for good.
    bool windowLost() const { return windowLost_; }
    AutoSizeLabel* Label1() const { return Label1_; }
    ImageControl* Image1() const { return Image1_; }

  signals:
    // A picture change is done (the picture up, or the change failed).
    void pictureChanged();
    // The show is over and its window unloaded.
    void showEnded();

  protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowWindow();
    SaverSettings ReadSettings();
    void PrepareHeadline(const SaverSettings& settings);
    void PutUpHeadline();

    // The show's steps, each run when the timer or the listing wakes it.
    void Tick();
    void WaitForNextChange();
    void ShowPic();
    void TryPicture();
    void PictureAnswered(std::optional<LoadedPicture> picture, const ShowFit& fit);
    bool PutUp(const LoadedPicture& picture, const ShowFit& fit);
    void ClearScreen();
    void ChangeFailed();
    void ChangeDone();
    void DropChange();
    void PrefetchNextInListOrder();
    ShowFit Fit() const;

    // Input, and the end of the show.
    void Form_KeyDown();
    void Form_MouseDown();
    void Label1_MouseDown();
    void Form_MouseMove(QPoint position);
    void RequestStop();
    void CheckStop();
    void EndShow();
    void PasswordAnswered(std::int32_t verified);
    void Unload();
    void Form_Unload();
    void LoseWindow();

    bool Hosted() const { return deps_.hosted.has_value(); }
    double SizeScale() const { return Hosted() ? deps_.hosted->sizeScale : 1.0; }

    SaverDeps deps_;
    MusicLoop music_;
    ShowClock clock_;
    AutoSizeLabel* Label1_ = nullptr;
    ImageControl* Image1_ = nullptr;
    ShowParams params_;
    ShowPictures pictures_;
    std::unique_ptr<ShowDesk> desk_;

    std::int16_t StopFlag_ = 0;
    QPoint CursorPos_;
    // Pictures still to try in place of one that failed; nullopt until a change has failed once.
    std::optional<qsizetype> retriesLeft_;
    bool waiting_ = false;     // a change waits for its picture
    std::uint64_t asked_ = 0;  // pictures asked for, so a late answer is known
    bool asking_ = false;      // the password prompt is up
    bool ended_ = false;
    bool windowLost_ = false;
};

}  // namespace tavello
