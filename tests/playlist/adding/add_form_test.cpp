// The add-files window on the offscreen platform: place and folder restored
// and stored, the desktop node, the filtered file list, the three buttons
// adding through a recording sink, AutoPlay only on an empty playlist, and
// keys reaching the key command.

#include "adding_fakes.h"

#include "keys/key_map.h"
#include "keys/key_sink.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "playlist/adding/add_form.h"
#include "playlist/adding/desktop_tree.h"
#include "playlist/adding/folder_walker.h"
#include "base/file_name.h"
#include "support/test_support.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QKeyEvent>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QWindow>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <memory>

using namespace velmora;
using namespace velmora::test;
using namespace std::chrono_literals;

namespace {

class AddFormTest : public ::testing::Test {
protected:
    AddFormTest() : store_(home_.file(QStringLiteral("settings.ini"))), settings_(store_)
    {
        for (const char* rel : {"Music/a.mp3", "Music/b.mp3", "Music/notes.txt", "Music/X/c.mp3", "Desktop/d.mp3"})
            touch(path(QString::fromUtf8(rel)));
    }

    QString path(const QString& rel) const { return dir_.path() + QLatin1Char('/') + rel; }

    AddForm& open(FileFilter accepted = FileFilter::fromPattern(QStringLiteral("*.mp3")),
                  QString desktop = QString())
    {
        AddForm::Hooks hooks;
        hooks.playlistEmpty = [this] { return playlistEmpty_; };
        hooks.clipLoaded = [this] { return clipLoaded_; };
        hooks.openFirstEntry = [this] { ++opened_; };
        hooks.startMeasuring = [this] { ++measuring_; };
        hooks.keys = &keys_;
        AddForm::Options options{desktop.isNull() ? path(QStringLiteral("Desktop")) : desktop, std::move(accepted),
                                 dir_.path(), volumes_};
        form_ = std::make_unique<AddForm>(settings_, walker_, sink_, hooks, options);
        form_->show();
        return *form_;
    }

    QListView* fileList() { return form_->findChild<QListView*>(QStringLiteral("File")); }
    QStringList shownNames()
    {
        QStringList names;
        QListView* list = fileList();
        for (int r = 0; r < list->model()->rowCount(list->rootIndex()); ++r)
            names << list->model()->index(r, 0, list->rootIndex()).data().toString();
        return names;
    }
    bool waitForNames(const QStringList& names)
    {
        return waitFor([&] { return shownNames() == names; }, 10s);
    }
    void clickButton(const char* name)
    {
        auto* button = form_->findChild<QPushButton*>(QString::fromUtf8(name));
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void clickFile(const QString& name)
    {
        QListView* list = fileList();
        for (int r = 0; r < list->model()->rowCount(list->rootIndex()); ++r) {
            const QModelIndex index = list->model()->index(r, 0, list->rootIndex());
            if (index.data().toString() == name) {
                list->scrollTo(index);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
                return;
            }
        }
        FAIL() << "no row " << name.toStdString();
    }
    bool waitIdle() { return waitFor([&] { return !walker_.busy(); }, 10s); }

    QTemporaryDir dir_;
    TempHome home_;
    SettingsStore store_;
    Settings settings_;
    FolderWalker walker_;
    RecordingSink sink_;
    std::unique_ptr<AddForm> form_;
    bool playlistEmpty_ = true, clipLoaded_ = false;
    int opened_ = 0, measuring_ = 0;
    struct Keys : KeySink {
        std::vector<int> codes;
        void press(int vk) override { codes.push_back(vk); }
    } keys_;
    QStringList volumes_;
};

QStringList childNames(const QAbstractItemModel& model, const QModelIndex& parent)
{
    QStringList names;
    for (int r = 0; r < model.rowCount(parent); ++r)
        names << model.index(r, 0, parent).data().toString();
    return names;
}

// The labels from a node up to the top.
QStringList chainOf(QModelIndex index)
{
    QStringList labels;
    for (; index.isValid(); index = index.parent())
        labels << index.data().toString();
    return labels;
}

TEST_F(AddFormTest, ReopensWhereItWasClosedShowingTheSameFolder)
{
    settings_.setFraction(keys::AddLeft, 120);
    settings_.setFraction(keys::AddTop, 80);
    settings_.setText(keys::OpenPath, path(QStringLiteral("Music/")));
    AddForm& form = open();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Добавить файлы"));
    EXPECT_EQ(form.pos(), QPoint(120, 80));
    EXPECT_EQ(form.shownFolder(), path(QStringLiteral("Music")));
    EXPECT_TRUE(waitForNames({"a.mp3", "b.mp3"}));

    QSignalSpy closed(&form, &AddForm::closed);
    form.move(200, 150);
    form.selectFolder(path(QStringLiteral("Music/X")));
    EXPECT_TRUE(waitForNames({"c.mp3"}));
    form.close();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(store_.get("Position", "AddLeft"), QStringLiteral("200"));
    EXPECT_EQ(store_.get("Position", "AddTop"), QStringLiteral("150"));
    EXPECT_EQ(settings_.text(keys::OpenPath), path(QStringLiteral("Music/X/")));

    form_.reset();
    AddForm& again = open();
    EXPECT_EQ(again.pos(), QPoint(200, 150));
    EXPECT_EQ(again.shownFolder(), path(QStringLiteral("Music/X")));
}

TEST_F(AddFormTest, TopNodeShowsTheDesktopFolder)
{
    AddForm& form = open();  // no OpenPath stored
    EXPECT_EQ(form.shownFolder(), path(QStringLiteral("Desktop")));
    EXPECT_TRUE(waitForNames({"d.mp3"}));
    auto* tree = form.findChild<QTreeView*>(QStringLiteral("Folder"));
    EXPECT_EQ(tree->currentIndex().data().toString(), QStringLiteral("Desktop"));
    EXPECT_FALSE(tree->currentIndex().parent().isValid());

    // A stored folder that is gone gives the top node as well.
    form_.reset();
    settings_.setText(keys::OpenPath, path(QStringLiteral("Gone/")));
    EXPECT_EQ(open().shownFolder(), path(QStringLiteral("Desktop")));
}

TEST_F(AddFormTest, TheDesktopHoldsItsFoldersThenHomeTheRootAndVolumes)
{
    for (const char* rel : {"Desktop/Clips/e.mp3", "Desktop/Another/f.mp3", "Stick/s.mp3"})
        touch(path(QString::fromUtf8(rel)));
    volumes_ = QStringList{path(QStringLiteral("Stick"))};
    AddForm& form = open();
    auto* tree = form.findChild<QTreeView*>(QStringLiteral("Folder"));
    QAbstractItemModel& model = *tree->model();
    const QModelIndex top = model.index(0, 0);
    EXPECT_EQ(model.rowCount(), 1);
    tree->expand(top);
    const QString home = QFileInfo(dir_.path()).fileName();
    const QStringList expected{"Another", "Clips", home, "/", "Stick"};
    EXPECT_TRUE(waitFor([&] { return childNames(model, top) == expected; }, 10s)) << childNames(model, top).join(
        QLatin1Char('|')).toStdString();

    // Every place is listable, "/" as well.
    tree->setCurrentIndex(model.index(3, 0, top));
    EXPECT_EQ(form.shownFolder(), QStringLiteral("/"));
    tree->setCurrentIndex(model.index(4, 0, top));
    EXPECT_TRUE(waitForNames({"s.mp3"}));

    // A stored folder is found under the desktop first, else under its place.
    form.selectFolder(path(QStringLiteral("Desktop/Clips")));
    EXPECT_EQ(chainOf(tree->currentIndex()), (QStringList{"Clips", "Desktop"}));
    EXPECT_TRUE(waitForNames({"e.mp3"}));
    form.selectFolder(path(QStringLiteral("Music/X")));
    EXPECT_EQ(chainOf(tree->currentIndex()), (QStringList{"X", "Music", home, "Desktop"}));
    EXPECT_EQ(form.shownFolder(), path(QStringLiteral("Music/X")));

    // A folder made on the desktop later comes in at its place.
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("Desktop/Books"))));
    EXPECT_TRUE(waitFor([&] { return childNames(model, top).mid(0, 3) == QStringList({"Another", "Books", "Clips"}); },
                        10s));

    EXPECT_TRUE(isRemovableMount(QStringLiteral("/media/u/STICK")));
    EXPECT_TRUE(isRemovableMount(QStringLiteral("/run/media/u/CARD")));
    EXPECT_FALSE(isRemovableMount(QStringLiteral("/media/")));
    EXPECT_FALSE(isRemovableMount(QStringLiteral("/home")));
}

TEST_F(AddFormTest, FileListKeepsToAcceptedFilesInNaturalOrder)
{
    for (const char* name : {"Music/track10.mp3", "Music/Track2.mp3", "Music/clip.AVI"})
        touch(path(QString::fromUtf8(name)));
    settings_.setText(keys::OpenPath, path(QStringLiteral("Music")));
    AddForm& form = open();
    EXPECT_TRUE(waitForNames({"a.mp3", "b.mp3", "Track2.mp3", "track10.mp3"}));
    form.setAcceptedFiles(FileFilter::fromPattern(QStringLiteral("*.avi;*.txt")));
    EXPECT_TRUE(waitForNames({"clip.AVI", "notes.txt"}));
}

TEST_F(AddFormTest, NameThatIsNotUtf8IsListedAndAddedByItsBytes)
{
    const QByteArray raw = fileNameBytes(path(QStringLiteral("Music/"))) + "caf\xe9.mp3";
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const QString shown = QStringLiteral("caf\uFFFD.mp3");
    settings_.setText(keys::OpenPath, path(QStringLiteral("Music")));
    open();
    ASSERT_TRUE(waitForNames({"a.mp3", "b.mp3", shown})) << shownNames().join(QLatin1Char('|')).toStdString();

    clickFile(shown);
    clickButton("AddFileB");
    ASSERT_TRUE(waitFor([&] { return measuring_ == 1; }));
    ASSERT_EQ(sink_.items.size(), 1u);
    EXPECT_EQ(fileNameBytes(sink_.items[0].text), raw);
    EXPECT_EQ(::access(fileNameBytes(sink_.items[0].text).constData(), R_OK), 0);
}

TEST_F(AddFormTest, FileListFollowsTheFolderKeepingTheSelection)
{
    settings_.setText(keys::OpenPath, path(QStringLiteral("Music")));
    open();
    QAbstractItemModelTester tester(fileList()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_TRUE(waitForNames({"a.mp3", "b.mp3"}));
    clickFile(QStringLiteral("b.mp3"));

    touch(path(QStringLiteral("Music/a2.mp3")));
    touch(path(QStringLiteral("Music/c.mp3")));
    ASSERT_TRUE(waitForNames({"a.mp3", "a2.mp3", "b.mp3", "c.mp3"})) << shownNames().join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("Music/a.mp3"))));
    ASSERT_TRUE(waitForNames({"a2.mp3", "b.mp3", "c.mp3"}));

    clickButton("AddFileB");  // still b.mp3
    ASSERT_TRUE(waitFor([&] { return measuring_ == 1; }));
    EXPECT_EQ(sink_.items, (std::vector<Recorded>{file(path(QStringLiteral("Music/b.mp3")), 1)}));
}

TEST_F(AddFormTest, AddFileAddsTheSelectedFileAndStartsAnEmptyPlaylist)
{
    settings_.setText(keys::OpenPath, path(QStringLiteral("Music")));
    open();
    ASSERT_TRUE(waitForNames({"a.mp3", "b.mp3"}));
    clickButton("AddFileB");  // nothing selected: nothing happens
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(sink_.items.empty());
    EXPECT_EQ(measuring_, 0);

    clickFile(QStringLiteral("b.mp3"));
    clickButton("AddFileB");
    ASSERT_TRUE(waitFor([&] { return measuring_ == 1; }));
    EXPECT_EQ(sink_.items, (std::vector<Recorded>{file(path(QStringLiteral("Music/b.mp3")), 1)}));
    EXPECT_EQ(opened_, 1);

    // Opening a file in the list adds it too: a double-click, or Enter.
    QListView* list = fileList();
    const QModelIndex a = list->model()->index(0, 0, list->rootIndex());
    const QPoint at = list->visualRect(a).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);  // a window system's double-click
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(waitFor([&] { return measuring_ == 2; }));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return measuring_ == 3; }));
    EXPECT_EQ(sink_.items.size(), 3u);
    EXPECT_EQ(sink_.items.back(), file(path(QStringLiteral("Music/a.mp3")), 1));
}

TEST_F(AddFormTest, AutoPlayOnlyOnAnEmptyPlaylistWithNothingLoaded)
{
    settings_.setText(keys::OpenPath, path(QStringLiteral("Music")));
    open();
    ASSERT_TRUE(waitForNames({"a.mp3", "b.mp3"}));
    clickFile(QStringLiteral("a.mp3"));

    auto addOnce = [&] {
        const int before = measuring_;
        clickButton("AddFileB");
        return waitFor([&] { return measuring_ == before + 1; });
    };
    playlistEmpty_ = false;
    ASSERT_TRUE(addOnce());
    EXPECT_EQ(opened_, 0);

    playlistEmpty_ = true;
    clipLoaded_ = true;
    ASSERT_TRUE(addOnce());
    EXPECT_EQ(opened_, 0);

    clipLoaded_ = false;
    settings_.setText(keys::AutoPlay, QStringLiteral("0"));
    ASSERT_TRUE(addOnce());
    EXPECT_EQ(opened_, 0);

    settings_.setText(keys::AutoPlay, QStringLiteral("1"));
    ASSERT_TRUE(addOnce());
    EXPECT_EQ(opened_, 1);
    EXPECT_EQ(sink_.items.size(), 4u);
}

TEST_F(AddFormTest, AddFolderAddsTheShownFilesAtTopLevel)
{
    settings_.setText(keys::OpenPath, path(QStringLiteral("Music")));
    open();
    clickButton("AddFolder");
    ASSERT_TRUE(waitFor([&] { return measuring_ == 1; }));
    EXPECT_EQ(sink_.items, (std::vector<Recorded>{file(path(QStringLiteral("Music/a.mp3")), 1),
                                                 file(path(QStringLiteral("Music/b.mp3")), 1)}));
    EXPECT_EQ(opened_, 1);
}

TEST_F(AddFormTest, AddSubFolderAddsTheTreeAsGroups)
{
    settings_.setText(keys::OpenPath, path(QStringLiteral("Music")));
    open();
    playlistEmpty_ = false;
    clickButton("AddSubFolder");
    ASSERT_TRUE(waitFor([&] { return measuring_ == 1; }));
    const std::vector<Recorded> expected{group("Music", 2), group("X", 4), file(path(QStringLiteral("Music/X/c.mp3")), 5),
                                         file(path(QStringLiteral("Music/a.mp3")), 3),
                                         file(path(QStringLiteral("Music/b.mp3")), 3)};
    EXPECT_EQ(sink_.items, expected);
    EXPECT_EQ(opened_, 0);
}

TEST_F(AddFormTest, WithoutAReadableFolderTheButtonsAddNothing)
{
    AddForm& form = open(FileFilter::everyFile(), path(QStringLiteral("NoDesktop")));
    EXPECT_TRUE(form.shownFolder().isEmpty());
    EXPECT_TRUE(shownNames().isEmpty());
    clickButton("AddFileB");
    clickButton("AddFolder");
    clickButton("AddSubFolder");
    EXPECT_FALSE(walker_.busy());
    QCoreApplication::processEvents();
    EXPECT_TRUE(sink_.items.empty());
    EXPECT_EQ(opened_, 0);
    form.close();
    EXPECT_FALSE(settings_.isStored(keys::OpenPath));
}

TEST_F(AddFormTest, KeysReachTheKeyCommandOnce)
{
    AddForm& form = open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* tree = form.findChild<QTreeView*>(QStringLiteral("Folder"));
    tree->setFocus();
    QTest::keyClick(form.windowHandle(), Qt::Key_Space);
    QTest::keyClick(form.windowHandle(), Qt::Key_F);
    EXPECT_EQ(keys_.codes, (std::vector<int>{vk::Space, vk::F}));
}

TEST_F(AddFormTest, ClosingWhileAWalkRunsLetsItFinish)
{
    makeWideTree(path("Music/Big"), 20, 20);
    settings_.setText(keys::OpenPath, path(QStringLiteral("Music")));
    open();
    clickButton("AddSubFolder");
    form_->close();
    form_.reset();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(sink_.items.size(), 1u + 21u + 400u + 1u + 1u + 2u);  // Music, Big + 20, files, X, c, a, b
    EXPECT_EQ(opened_, 1);
    EXPECT_EQ(measuring_, 1);
}

}  // namespace
