// The playlist window's list: check boxes, double-click, label editing,
// keys, the path tooltip, drops and saving.

#include "playlist_window_fixture.h"

#include "keys/key_map.h"
#include "playlist/playlist_file.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QUrl>

using namespace velmora;
using velmora::test::PlaylistWindowTest;

namespace {

class PlaylistListTest : public PlaylistWindowTest {
protected:
    QPoint checkBoxPoint(int row)
    {
        QStyleOptionViewItem option;
        option.initFrom(list().viewport());
        option.rect = list().visualItemRect(list().topLevelItem(row - 1));
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        return list().style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &list()).center();
    }
    // Press, release, double-click, release, as a window system delivers them.
    void doubleClick(QPoint at)
    {
        QWidget* v = list().viewport();
        const QPoint g = v->mapToGlobal(at);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                  QEvent::MouseButtonRelease}) {
            const bool down = type != QEvent::MouseButtonRelease;
            QMouseEvent e(type, at, g, Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton, {});
            QApplication::sendEvent(v, &e);
        }
    }
    QLineEdit* startEdit(int row)
    {
        list().editItem(list().topLevelItem(row - 1), 0);
        // Editors that closed linger until deleted later; the open one is shown.
        for (QLineEdit* editor : list().viewport()->findChildren<QLineEdit*>()) {
            if (editor->isVisible())
                return editor;
        }
        return nullptr;
    }
};

class PlaylistDropTest : public PlaylistWindowTest {
protected:
    void SetUp() override
    {
        PlaylistWindowTest::SetUp();
        for (const char* name : {"a b.mp3", "c.mp3", "dir/2.mp3", "dir/10.mp3", "dir/sub/deep.mp3"})
            test::writeFile(files.filePath(QString::fromUtf8(name)), "x");
    }
    QString file(const char* name) const { return files.filePath(QString::fromUtf8(name)); }
    // A drop from a file manager: a text/uri-list, offered as copy or move.
    Qt::DropAction drop(const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = list().viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(list().viewport(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(list().viewport(), &dropped);
        EXPECT_TRUE(test::waitFor([&] { return !walker.busy(); }, std::chrono::seconds(5)));
        return dropped.dropAction();
    }
    QStringList paths() const
    {
        QStringList out;
        for (int i = 2; i <= model.playlistCount(); ++i)
            out << model.entry(i).path;
        return out;
    }

    QTemporaryDir files;
};

}  // namespace

TEST_F(PlaylistListTest, CheckBoxClicksReachTheModel)
{
    addFiles(3);
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, checkBoxPoint(3));
    EXPECT_FALSE(model.entry(3).checked);
    EXPECT_TRUE(model.entry(2).checked);
    EXPECT_FALSE(list().row(3).checked);

    // After scrolling, row 1 stands for entry 3.
    addFiles(3);  // 7 entries on 5 rows
    window->scrollBy(2);
    EXPECT_FALSE(list().row(1).checked);
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, checkBoxPoint(1));
    EXPECT_TRUE(model.entry(3).checked);
    EXPECT_TRUE(model.entry(5).checked);
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, checkBoxPoint(3));
    EXPECT_FALSE(model.entry(5).checked);
}

TEST_F(PlaylistListTest, DoubleClickOpensTheEntryOfTheRowGroupsIncluded)
{
    model.addPath(QStringLiteral("/clips/a.mp3"));
    model.appendGroup(QStringLiteral("G"), 2, true, 0);
    model.addPath(QStringLiteral("/clips/g.mp3"), AddOptions::at(3));
    addFiles(3);  // 7 entries
    window->scrollBy(1);
    doubleClick(rowPoint(2));  // entry 3: the group G
    EXPECT_EQ(opened, std::vector<int>{3});
    doubleClick(rowPoint(1));
    EXPECT_EQ(opened, (std::vector<int>{3, 2}));
}

TEST_F(PlaylistListTest, TheRootCannotBeRenamed)
{
    addFiles(1);
    EXPECT_EQ(startEdit(1), nullptr);
    EXPECT_TRUE(ignoreKeys.empty());
    EXPECT_EQ(text(1), QStringLiteral("Все клипы"));
}

TEST_F(PlaylistListTest, EditingDropsTheIndentationAndHoldsKeysMeanwhile)
{
    model.appendGroup(QStringLiteral("song.mp3"), 2, true, 0);
    QLineEdit* editor = startEdit(2);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("  song.mp3"));
    EXPECT_EQ(ignoreKeys, std::vector<bool>{true});
    // What is typed reads as the row did: its colour on the list's ground.
    const QPalette look = editor->palette();
    EXPECT_EQ(look.color(QPalette::Text), QColor(0xFF, 0xA0, 0x00));
    EXPECT_EQ(look.brush(QPalette::Base).style(), Qt::SolidPattern);

    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("  Song"));
    QTest::keyClick(editor, Qt::Key_Return);  // commits on the next turn of the event loop
    ASSERT_TRUE(test::waitFor([&] { return ignoreKeys.size() == 2; }));
    EXPECT_EQ(text(2), QStringLiteral("Song"));
    EXPECT_EQ(list().row(2).text, QStringLiteral("  Song"));
    EXPECT_EQ(ignoreKeys, (std::vector<bool>{true, false}));
    EXPECT_TRUE(keys.empty()) << "typed characters are not commands";
}

TEST_F(PlaylistListTest, AnEditNeverPutsALineBreakIntoTheText)
{
    addFiles(2);
    QLineEdit* editor = startEdit(3);
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral(" \tTwo\nlines\r\n"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(test::waitFor([&] { return ignoreKeys.size() == 2; }));
    EXPECT_EQ(text(3), QStringLiteral("Two lines"));

    EXPECT_EQ(PlaylistWindow::labelTextFromEdit(QStringLiteral("a\u2028b")), QStringLiteral("a b"));
}

TEST_F(PlaylistListTest, AnEditCancelledOrOverTakenByScrollingChangesOnlyItsOwnEntry)
{
    addFiles(8);
    QLineEdit* editor = startEdit(2);
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("gone"));
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(text(2), QStringLiteral("f1.mp3"));
    EXPECT_EQ(ignoreKeys, (std::vector<bool>{true, false}));

    editor = startEdit(3);
    ASSERT_NE(editor, nullptr);
    window->scrollBy(2);  // the wheel turned while editing
    editor->setText(QStringLiteral("renamed"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(test::waitFor([&] { return ignoreKeys.size() == 4; }));
    EXPECT_EQ(text(3), QStringLiteral("renamed"));
    EXPECT_EQ(text(5), QStringLiteral("f4.mp3"));

    // What is typed survives the list rewriting the row under the editor.
    model.setScrollOffset(0);
    model.refresh();
    editor = startEdit(4);
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("typed"));
    window->scrollBy(1);
    EXPECT_EQ(editor->text(), QStringLiteral("typed"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(test::waitFor([&] { return ignoreKeys.size() == 6; }));
    EXPECT_EQ(text(4), QStringLiteral("typed"));
}

TEST_F(PlaylistListTest, KeysOnTheWindowAndCommandKeysInTheListReachTheCommands)
{
    addFiles(2);
    QTest::keyClick(&form(), Qt::Key_F);
    EXPECT_EQ(keys, std::vector<int>{vk::F});
    focusList();
    selectRow(2);
    QTest::keyClick(&list(), Qt::Key_Space);
    EXPECT_EQ(keys, (std::vector<int>{vk::F, vk::Space}));
    EXPECT_TRUE(model.entry(2).checked) << "a command key does not tick the row";
    QTest::keyClick(&list(), Qt::Key_Home);  // the list's own key
    EXPECT_EQ(keys.size(), 2u);
}

TEST_F(PlaylistListTest, TheTooltipIsThePathOfTheEntryUnderThePointer)
{
    model.appendGroup(QStringLiteral("G"), 2, true, 0);
    addFiles(1);
    auto moveTo = [this](QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, list().viewport()->mapToGlobal(at), Qt::NoButton, {}, {});
        QApplication::sendEvent(list().viewport(), &move);
        return list().toolTip();
    };
    EXPECT_EQ(moveTo(rowPoint(3)), QStringLiteral("/clips/f1.mp3"));
    EXPECT_EQ(moveTo(rowPoint(2)), QString()) << "a group has no path";
    EXPECT_EQ(moveTo(rowPoint(3)), QStringLiteral("/clips/f1.mp3"));
    EXPECT_EQ(moveTo({5, list().viewport()->height() - 2}), QString()) << "no row there";
}

TEST_F(PlaylistDropTest, FilesAndFoldersArriveAtTopLevelAndOtherUrlsAreLeftOut)
{
    const Qt::DropAction action =
        drop({QUrl::fromLocalFile(file("a b.mp3")), QUrl(QStringLiteral("https://example.com/x.mp3")),
              QUrl::fromLocalFile(file("dir")), QUrl::fromLocalFile(file("missing.mp3")),
              QUrl::fromLocalFile(file("c.mp3"))});
    EXPECT_EQ(action, Qt::CopyAction) << "the file manager must not move the files away";
    EXPECT_EQ(paths(), (QStringList{file("a b.mp3"), file("dir/2.mp3"), file("dir/10.mp3"), file("c.mp3")}));
    for (int i = 2; i <= model.playlistCount(); ++i)
        EXPECT_EQ(model.entry(i).deep, 1);
    EXPECT_EQ(text(2), QStringLiteral("a b.mp3"));
    EXPECT_TRUE(window->measuring());
}

TEST_F(PlaylistDropTest, LocalhostUrlsAreLocalAndOtherHostsAreNot)
{
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"),
                 "file://localhost" + QUrl::toPercentEncoding(file("c.mp3"), "/") + "\r\n"
                 "file://elsewhere.example/srv/x.mp3\r\n");
    EXPECT_EQ(PlaylistWindow::droppedLocalPaths(data), QStringList{file("c.mp3")});
}

TEST_F(PlaylistDropTest, AutoPlayStartsOnlyWhenTheListWasEmpty)
{
    drop({QUrl(QStringLiteral("https://example.com/x.mp3"))});  // nothing added: nothing plays
    EXPECT_TRUE(opened.empty());
    drop({QUrl::fromLocalFile(file("c.mp3"))});
    EXPECT_EQ(opened, std::vector<int>{1});
    drop({QUrl::fromLocalFile(file("a b.mp3"))});
    EXPECT_EQ(opened, std::vector<int>{1}) << "a drop on a filled list leaves playback alone";
}

TEST_F(PlaylistDropTest, AutoPlayNeedsTheSettingAndAnIdleEngine)
{
    engineHasClip = true;
    drop({QUrl::fromLocalFile(file("c.mp3"))});
    EXPECT_TRUE(opened.empty());

    model.removeEntryWithSubtree(1);
    engineHasClip = false;
    h.settings.setFlag(keys::AutoPlay, false);
    drop({QUrl::fromLocalFile(file("c.mp3"))});
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(model.playlistCount(), 2);
}

TEST_F(PlaylistDropTest, SaveWritesAPlaylistAndAddsTheExtension)
{
    drop({QUrl::fromLocalFile(file("c.mp3"))});
    ASSERT_TRUE(window->saveTo(files.filePath(QStringLiteral("list"))));
    PlaylistModel loaded;
    loadPlaylistFile(loaded, files.filePath(QStringLiteral("list.pml")));
    ASSERT_EQ(loaded.playlistCount(), 3);
    EXPECT_EQ(loaded.entry(3).path, file("c.mp3"));

    // Through the dialog: a name typed without an extension gets ".pml".
    press(element("Save"));
    QFileDialog* dialog = window->saveDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("*.pml")});
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    press(element("Save"));  // one dialog at a time
    EXPECT_EQ(window->saveDialog(), dialog);
    dialog->setDirectory(files.path());
    dialog->selectFile(QStringLiteral("typed"));
    static_cast<QDialog*>(dialog)->accept();  // as the dialog's Save button does
    EXPECT_TRUE(QFileInfo::exists(files.filePath(QStringLiteral("typed.pml"))));
    EXPECT_FALSE(QFileInfo::exists(files.filePath(QStringLiteral("typed"))));

    // A name with a dot of its own still gets ".pml", or it would later be
    // taken for a clip; one that ends in it, in any case, keeps its name.
    press(element("Save"));
    dialog = window->saveDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->setDirectory(files.path());
    dialog->selectFile(QStringLiteral("Mix 1.5"));
    static_cast<QDialog*>(dialog)->accept();
    EXPECT_TRUE(QFileInfo::exists(files.filePath(QStringLiteral("Mix 1.5.pml"))));
    EXPECT_FALSE(QFileInfo::exists(files.filePath(QStringLiteral("Mix 1.5"))));
    ASSERT_TRUE(window->saveTo(files.filePath(QStringLiteral("Party.PML"))));
    EXPECT_TRUE(QFileInfo::exists(files.filePath(QStringLiteral("Party.PML"))));
}
