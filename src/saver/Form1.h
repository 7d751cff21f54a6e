#pragma once

#include "music/APIModule.h"
#include "platform/Services.h"
#include "saver/ShowList.h"
#include "settings/SaverSettings.h"
#include "toolkit/Picture.h"

#include <QPoint>
#include <QSize>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

namespace tavello {

class AutoSizeLabel;
class DeskHold;
class ImageControl;
class MonitorCovers;
class RandomSource;
class ShowKeeper;
class ShowWaiter;
struct PicturePlacement;
enum class OrderMode;

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
    ShowWaiter* waiter = nullptr;
    RandomSource* random = nullptr;
    QSize screenTwips;                 // the screen's size in twips
    QString settingsPath;              // the settings file to read at load
    std::optional<HostedShow> hosted;  // in a host's window; screenTwips is then the window's size
    FolderScan scanFolder;             // lists a folder entry's pictures; empty: the real scan
};

// The full-screen window of the running show: a headline, then the pictures one after another,
// until the user touches a key or the mouse. In a screen-saver host's window (SaverDeps::hosted)
// the same show runs until the host closes it.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    explicit Form1(const SaverDeps& deps, QWidget* parent = nullptr);
    ~Form1() override;

    // Shows the window, reads the settings, starts the music, puts up the headline and runs the
    // show. Returns only when the show has ended and the window has been unloaded.
    void Form_Load();

    // The random pick: an index from 0 to the count - 1 other than Pic_i.
    float RAN(const std::int16_t& Pic_i);

    double ScreenW() const;
    double ScreenH() const;

    // Shared state, read by tests.
    std::int16_t StopFlag() const { return StopFlag_; }
    std::int16_t PicIndex() const { return PicIndex_; }
    // With folder entries: the index into the expanded list, and its length once listed.
    std::int32_t ShowIndex() const { return showIndex_; }
    std::optional<qsizetype> ExpandedCount() const;
    // The folders' listing has finished (or there is none to make).
    bool PicturesListed() const;
    QPoint CursorPos() const { return CursorPos_; }
    bool ended() const { return ended_; }
    // The show ended because another program destroyed its window for good.
    bool windowLost() const { return windowLost_; }
    AutoSizeLabel* Label1() const { return Label1_; }
    ImageControl* Image1() const { return Image1_; }

  protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Form_Load's steps.
    void ShowWindow();
    void ReadSettings();
    void PrepareHeadline();
    void PutUpHeadline();
    void RunShowLoop();

    // Folder entries: the list they expand to is made in the background once the show is up.
    void StartExpansion();
    bool PicturesReady();
    void StopExpansion();

    // Input handlers and the end of the show.
    void Form_KeyDown();
    void Form_MouseDown();
    void Label1_MouseDown();
    void Form_MouseMove(QPoint position);
    void EndShow();
    void Form_Unload();
    void TakeKeyboard();

    // The picture change.
    void ShowPic();
    bool ChangePicture();
    bool PickNext(OrderMode mode);
    std::optional<QString> PathToShow() const;
    void AdvanceInListOrder();
    bool PassOverUnshowable();
    std::optional<PicturePlacement> PlacePicture(const QString& path) const;
    void PrefetchNextInListOrder();
    void RestartFinishedMusic();

    // In a host's window.
    bool Hosted() const { return deps_.hosted.has_value(); }
    double SizeScale() const { return Hosted() ? deps_.hosted->sizeScale : 1.0; }
    void ShowInHost();
    void SkipFailedPicture();

    // The rest of the desk: the other monitors covered and, with the password on, the input and
    // the top of the stacking held.
    void CoverDesk();
    void ReleaseDesk();
    // After another program took a window of the show off the screen and it came back.
    void RetakeDesk();
    void LoseWindow();

    SaverDeps deps_;
    APIModule music_;
    AutoSizeLabel* Label1_ = nullptr;
    ImageControl* Image1_ = nullptr;

    SaverSettings settings_;
    QStringList pictureStore_;  // always kPictureStoreSize entries, unused ones empty
    std::int16_t pictureCount_ = 0;

    std::int16_t StopFlag_ = 0;
    QPoint CursorPos_;
    std::int16_t PicIndex_ = 0;
    std::int32_t LastTick_ = 0;

    bool usesFolders_ = false;
    std::unique_ptr<BackgroundExpansion> expansion_;
    std::optional<ShowList> expanded_;
    std::int32_t showIndex_ = 0;

    PicturePrefetcher prefetcher_;
    bool unloaded_ = false;
    bool ended_ = false;

    std::unique_ptr<MonitorCovers> covers_;
    std::unique_ptr<DeskHold> hold_;
    std::unique_ptr<ShowKeeper> keeper_;
    bool windowLost_ = false;
};

}  // namespace tavello
