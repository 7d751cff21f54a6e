#pragma once

#include "platform/Services.h"
#include "settings/SaverSettings.h"

#include <QWidget>
#include <cstdint>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QTimer;

namespace tavello {

class AutoSizeLabel;
class BannerScroller;
class FirstPictureSearch;
class ImageControl;
class PictureBox;

// The settings dialog: every control carries its documented name as objectName().
class Form2 : public QWidget {
    Q_OBJECT
  public:
    explicit Form2(const Services& services, QWidget* parent = nullptr);
    ~Form2() override;

    // Fills the controls from the settings file and cuts the dialog to its shown height.
    void Form_Load();

    // The event handlers, one per handled control event.
    void cmdOk_Click();
    void btnCancel_Click();
    void btnPic_Click();
    void btnDel_Click();
    void btnMdata_Click();
    void lstPic_Click();
    void Timer1_Timer();
    void hscSpeed_Change();
    void Label8_Click();
    void Label9_Click();
    void mnuAddFolder_Click();

    const QString& settingsPath() const { return settingsPath_; }
    std::int16_t bannerOffset() const;
    bool selectingAll() const { return SelectingAll_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Layout (Form2Layout.cpp).
    void BuildControls();
    void BuildTopBand();
    void BuildTextBand();
    void BuildListBand();
    void BuildBottomBand();
    void SetTabOrder();
    void PlaceCentred();

    // Loading (Form2.cpp).
    void FillFontList();
    void SelectFont(const QString& face);
    void SelectPicSize(const QString& text);
    void SetSpeedFromSettings(const QString& speed);
    void SetRandomFromSettings(const QString& randomOrder);
    void ShowTotal();
    SaverSettings SettingsFromControls() const;
    void Unload();

    // Small controls (Form2Controls.cpp).
    void WireHandlers();
    bool cmbFontsize_KeyPress(QKeyEvent* event);
    bool cmbFontsize_LostFocus();
    bool RunPendingFontSizeCheck();
    void ReleasePressedButtons();
    static void SelectAllText(QLineEdit* box);
    void OpenLink(const QString& file);

    // Picture list and preview (Form2Pictures.cpp).
    void AddEntries(const QStringList& entries);
    bool lstPic_KeyDown(QKeyEvent* event);
    void ClearPreview();
    void ShowPreview(const QString& path);
    void FirstPictureFound(const QString& entry, const QString& picture);

    // The list's context menu and what is dropped on it (Form2ListMenu.cpp).
    void ShowListMenu(const QPoint& globalPos);
    void ShowListMenuFromKeyboard();
    bool lstPic_DragDrop(QEvent* event);
    static void SetBoxText(QLineEdit* box, const QString& text);

    Services services_;
    SaverSettings settings_;
    QString settingsPath_;
    bool SelectingAll_ = false;
    bool fontSizeCheckPending_ = false;
    std::unique_ptr<BannerScroller> banner_;
    // A member, so its search is stopped before the base class deletes the list and preview.
    std::unique_ptr<FirstPictureSearch> firstPicture_;

    AutoSizeLabel* Label4 = nullptr;
    QLabel* lblSecond = nullptr;
    QScrollBar* hscSpeed = nullptr;
    AutoSizeLabel* Label7 = nullptr;
    QComboBox* cmbPicsize = nullptr;
    QLabel* Label11 = nullptr;
    QCheckBox* RndChk = nullptr;
    AutoSizeLabel* Label5 = nullptr;
    QComboBox* cmbFont = nullptr;
    AutoSizeLabel* Label6 = nullptr;
    QComboBox* cmbFontsize = nullptr;
    AutoSizeLabel* Label1 = nullptr;
    QLineEdit* txtMidashi = nullptr;
    AutoSizeLabel* Label2 = nullptr;
    QLineEdit* txtMdata = nullptr;
    QPushButton* btnMdata = nullptr;
    AutoSizeLabel* Label3 = nullptr;
    QListWidget* lstPic = nullptr;
    QPushButton* btnPic = nullptr;
    QPushButton* btnDel = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Totallbl = nullptr;
    QLabel* Label12 = nullptr;
    PictureBox* Picture1 = nullptr;
    AutoSizeLabel* Label10 = nullptr;
    QFrame* Shape1 = nullptr;
    ImageControl* Image1 = nullptr;
    AutoSizeLabel* Home = nullptr;
    AutoSizeLabel* Label9 = nullptr;
    AutoSizeLabel* Mail = nullptr;
    AutoSizeLabel* Label8 = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* btnCancel = nullptr;
    PictureBox* Picture2 = nullptr;
    QTimer* Timer1 = nullptr;
};

}  // namespace tavello
