// The picture list's context menu, dropping files and folders on it, folder entries through the
// folder chooser and their preview, with the file dialogs replaced by a fake.

#include "DialogTestKit.h"
#include "dialog/FirstPictureSearch.h"
#include "settings/FolderEntry.h"
#include "toolkit/ImageControl.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <functional>

namespace tavello::test {
namespace {

const QStringList kValues{"5", "ＭＳ Ｐゴシック", "48", "100%", "", "TAVELLO Ver1.00", "0"};
const QString kAddPictures = QStringLiteral("画像を追加...");
const QString kAddFolder = QStringLiteral("フォルダを追加...");
const QString kDelete = QStringLiteral("削除");

class ListMenuTest : public DialogTest {
  protected:
    QListWidget* list() const { return control<QListWidget>("lstPic"); }
    QString total() const { return control<QLabel>("Totallbl")->text(); }
    ImageControl* image() const { return control<ImageControl>("Image1"); }

    QString picture(const QString& name, int width = 800, int height = 600) {
        QDir(dir_.path()).mkpath(QFileInfo(dir_.file(name)).path());
        QImage img(width, height, QImage::Format_RGB32);
        img.fill(QColor(30, 120, 200));
        const QString path = dir_.file(name);
        EXPECT_TRUE(img.save(path, "JPG"));
        return path;
    }
    QString folder(const QString& name) {
        EXPECT_TRUE(QDir(dir_.path()).mkpath(name));
        return dir_.file(name);
    }

    // Drags the URLs over the list, then drops them; true when the drag was welcome.
    bool drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QWidget* target = list()->viewport();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropped);
        QCoreApplication::sendPostedEvents();  // the drop adds once it has finished
        return enter.isAccepted();
    }

    // Opens the list's context menu the given way and returns it.
    QMenu* openMenu(const QString& how) {
        if (how == "right click") {
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                    list()->viewport()->mapToGlobal(QPoint(5, 5)));
            QCoreApplication::sendEvent(list()->viewport(), &event);
        } else if (how == "Menu key") {
            QTest::keyClick(list(), Qt::Key_Menu);
        } else {
            QTest::keyClick(list(), Qt::Key_F10, Qt::ShiftModifier);
        }
        for (QMenu* menu : list()->findChildren<QMenu*>(QStringLiteral("lstPicMenu")))
            if (menu->isVisible()) return menu;
        return nullptr;
    }

    // Picks the menu's entry with this text, as a click on it would.
    void trigger(const QString& text) {
        QMenu* menu = openMenu("right click");
        ASSERT_NE(menu, nullptr);
        QAction* picked = nullptr;
        for (QAction* action : menu->actions())
            if (action->text() == text) picked = action;
        ASSERT_NE(picked, nullptr) << text.toStdString();
        picked->trigger();
        menu->close();
    }
};

TEST_F(ListMenuTest, DropsAndTheMenuAddUnderTheListsLimitAndAreSaved) {
    const QString jpg = picture("drop/a.JPG");
    const QString png = picture("drop/b.png");
    const QString album = folder("drop/album");
    dir_.write("drop/notes.txt", "words");
    const QString notes = dir_.file("drop/notes.txt");
    const QString chosen = folder("chosen");
    using Action = std::function<void()>;
    const auto dropping = [&](QList<QUrl> urls, bool welcome) -> Action {
        return [this, urls, welcome] { EXPECT_EQ(drop(urls), welcome); };
    };
    const auto local = QUrl::fromLocalFile;
    const struct {
        const char* what;
        int before;
        Action act;
        QStringList added;
        bool message;
    } rows[] = {
        {"drop pictures, a folder and other things",
         0,
         dropping({local(jpg), QUrl("https://example.org/c.jpg"), local(album), local(notes),
                   local(dir_.file("drop/gone.jpg")), local(png)},
                  true),
         {jpg, album + "/", png},
         false},
        {"drop only remote addresses",
         3,
         dropping({QUrl("https://example.org/c.jpg")}, false),
         {},
         false},
        {"drop past the limit",
         999,
         dropping({local(jpg), local(album), local(png)}, true),
         {jpg},
         true},
        {"drop on a full list", 1000, dropping({local(album)}, true), {}, true},
        {"menu adds pictures",
         2,
         [&] {
             files_.answer = QStringList{"/photos/x.jpg", "/photos/y.jpg"};
             trigger(kAddPictures);
         },
         {"/photos/x.jpg", "/photos/y.jpg"},
         false},
        {"menu adds a folder",
         2,
         [&] {
             files_.folderAnswer = chosen;
             trigger(kAddFolder);
         },
         {chosen + "/"},
         false},
        {"folder chooser cancelled",
         2,
         [&] {
             files_.folderAnswer.clear();
             trigger(kAddFolder);
         },
         {},
         false},
        {"menu adds a folder to a full list",
         1000,
         [&] {
             files_.folderAnswer = chosen;
             trigger(kAddFolder);
         },
         {},
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        writeSettings(CrLfLines(kValues + Numbered(row.before)));
        messages_.shown.clear();
        open();
        row.act();
        const QStringList items = Items(list());
        EXPECT_EQ(items.mid(0, row.before), Numbered(row.before));
        EXPECT_EQ(items.mid(row.before), row.added);
        EXPECT_EQ(total(), QString::number(items.size()));
        ASSERT_EQ(messages_.shown.size(), row.message ? 1u : 0u);
        if (row.message) {
            EXPECT_EQ(messages_.shown[0].text, QStringLiteral("画像は1000までです。"));
            EXPECT_EQ(messages_.shown[0].icon, MsgIcon::Critical);
        }
        // OK stores the entries as listed (a folder as its path and "/"), and they read back.
        form_->cmdOk_Click();
        EXPECT_EQ(readSettings(), CrLfLines(kValues + items));
        open();
        EXPECT_EQ(Items(list()), items);
        EXPECT_EQ(total(), QString::number(items.size()));
    }
}

TEST_F(ListMenuTest, EveryWayOpensTheMenuAndDeleteNeedsASelection) {
    writeSettings(CrLfLines(kValues + Numbered(5)));
    for (const char* how : {"right click", "Menu key", "Shift+F10"}) {
        for (bool selected : {false, true}) {
            SCOPED_TRACE(std::string(how) + (selected ? " with a selection" : " without"));
            open();
            ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
            list()->setFocus();
            if (selected) {
                list()->item(1)->setSelected(true);
                list()->item(3)->setSelected(true);
            }
            QMenu* menu = openMenu(how);
            ASSERT_NE(menu, nullptr);
            const QList<QAction*> actions = menu->actions();
            ASSERT_EQ(actions.size(), 3);
            EXPECT_EQ(actions[0]->text(), kAddPictures);
            EXPECT_EQ(actions[1]->text(), kAddFolder);
            EXPECT_EQ(actions[2]->text(), kDelete);
            EXPECT_TRUE(actions[0]->isEnabled());
            EXPECT_TRUE(actions[1]->isEnabled());
            EXPECT_EQ(actions[2]->isEnabled(), selected);
            if (selected) {
                actions[2]->trigger();
                EXPECT_EQ(Items(list()),
                          (QStringList{"/photos/p0.jpg", "/photos/p2.jpg", "/photos/p4.jpg"}));
                EXPECT_EQ(total(), "3");
            }
            menu->close();
        }
    }
}

TEST_F(ListMenuTest, AFolderEntryPreviewsItsFirstPictureLikeAFile) {
    // The first picture in file-manager order that the show can read is in the subfolder "1",
    // before "b.jpg".
    const QString first = picture("album/1/10.jpg", 1000, 500);
    picture("album/b.jpg", 800, 600);
    // "0.jpg" comes before them but is cut short: its header reads, its picture does not.
    const QString damaged = picture("album/0.jpg");
    ASSERT_TRUE(QFile::resize(damaged, QFile(damaged).size() / 2));
    writeSettings(CrLfLines(kValues + QStringList{first, dir_.file("album") + "/"}));
    open();
    list()->setCurrentRow(0);
    ASSERT_TRUE(image()->isVisible());
    const QRectF asFile(image()->Left(), image()->Top(), image()->Width(), image()->Height());
    list()->setCurrentRow(1);
    // Empty while the search runs: its answer is delivered by the event loop only.
    EXPECT_FALSE(image()->isVisible());
    EXPECT_FALSE(image()->hasPicture());
    ASSERT_TRUE(QTest::qWaitFor([this] { return image()->isVisible(); }));
    EXPECT_EQ(QRectF(image()->Left(), image()->Top(), image()->Width(), image()->Height()), asFile);
    EXPECT_EQ(image()->picture().ownSize, QSize(1000, 500));
}

TEST_F(ListMenuTest, OnlyTheLatestFolderSearchAnswers) {
    const QString a = folder("a");
    const QString b = folder("b");
    picture("a/x.jpg");
    const QString y = picture("b/y.jpg");
    FirstPictureSearch search;
    QSignalSpy answers(&search, &FirstPictureSearch::found);
    search.start(FolderEntryFor(a));
    search.start(FolderEntryFor(b));
    ASSERT_TRUE(answers.wait(5000));
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(answers.size(), 1);
    EXPECT_EQ(answers[0][0].toString(), FolderEntryFor(b));
    EXPECT_EQ(answers[0][1].toString(), y);
}

}  // namespace
}  // namespace tavello::test
