#pragma once
// The playlist window on the small test skin, shown and active, with hooks
// that record what the window asked for.

#include "keys/key_sink.h"
#include "playlist/adding/folder_walker.h"
#include "playlist/adding/playlist_model_sink.h"
#include "playlist/playlist_model.h"
#include "playlist/window/playlist_window.h"
#include "skin/skin_fixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace velmora::test {

class PlaylistWindowTest : public ::testing::Test {
protected:
    static constexpr int kRows = 5;

    void SetUp() override
    {
        writeSmallSkin(skin);
        h.windows->loadSkin(skin.folder());
        ASSERT_GE(h.windows->skin().visibleRows, kRows);  // the list has room for the rows used here
        makeWindow();
        form().show();
        form().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    }

    void makeWindow()
    {
        PlaylistWindow::Hooks hooks;
        hooks.openEntry = [this](int index) { opened.push_back(index); };
        hooks.engineHasClip = [this] { return engineHasClip; };
        hooks.keys = &keySink;
        h.windows->setKeySink(&keySink);
        hooks.setIgnoreKeys = [this](bool on) { ignoreKeys.push_back(on); };
        hooks.showAddForm = [this] { ++addFormsShown; };
        // Drops take the program's road: the folder walk, off this thread.
        hooks.addPaths = [this](const QStringList& paths, PlaylistWindow::Hooks::Started started,
                                PlaylistWindow::Hooks::Finished finished) {
            std::vector<AddSource> sources;
            for (const QString& path : paths)
                sources.push_back({AddSource::Kind::FileOrFolder, path, 1});
            walker.add(std::move(sources), FileFilter::everyFile(), sink,
                       {.started = std::move(started), .finished = std::move(finished)});
        };
        window = std::make_unique<PlaylistWindow>(form(), model, h.settings, std::move(hooks));
        window->skinApplied(kRows);
    }

    PlaylistForm& form() { return h.windows->playlistForm(); }
    SkinListView& list() { return form().list(); }
    TransImg& element(const char* name) { return *form().element(name); }

    // Root plus `files` files named f1 ... fN at top level.
    void addFiles(int files)
    {
        PlaylistModel::Batch batch(model);
        for (int i = 1; i <= files; ++i)
            model.addPath(QStringLiteral("/clips/f%1.mp3").arg(i));
    }
    QString text(int index) const { return model.entry(index).text; }

    // A press of the left button on an element, as the user gives it: as a
    // spontaneous event, so that Qt moves the focus as a real click does.
    static void press(QWidget& w, QPoint at = {-1, -1})
    {
        if (at.x() < 0)
            at = w.rect().center();
        QTest::mouseClick(&w, Qt::LeftButton, {}, at);
    }
    // Press at `from`, move with the left button to `to`, release (element pixels).
    static void drag(QWidget& w, QPoint from, QPoint to)
    {
        QMouseEvent down(QEvent::MouseButtonPress, from, w.mapToGlobal(from), Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(&w, &down);
        QMouseEvent move(QEvent::MouseMove, to, w.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&w, &move);
        QMouseEvent up(QEvent::MouseButtonRelease, to, w.mapToGlobal(to), Qt::LeftButton, Qt::NoButton, {});
        QApplication::sendEvent(&w, &up);
    }

    // The middle of a row's text, away from its check box.
    QPoint rowPoint(int row)
    {
        const QRect r = list().visualItemRect(list().topLevelItem(row - 1));
        return {r.left() + r.width() / 2, r.center().y()};
    }
    void selectRow(int row)
    {
        list().setCurrentItem(list().topLevelItem(row - 1));
        list().topLevelItem(row - 1)->setSelected(true);
    }
    void focusList()
    {
        form().setFocus();
        list().setFocus();
    }

    WindowsHarness h;
    TempSkin skin;
    PlaylistModel model;
    PlaylistModelSink sink{model};
    FolderWalker walker;
    std::unique_ptr<PlaylistWindow> window;
    std::vector<int> opened, keys;
    // The keyboard commands: the codes of keys that are commands.
    struct KeyRecorder : KeySink {
        std::vector<int>& keys;
        explicit KeyRecorder(std::vector<int>& k) : keys(k) {}
        void press(int vk) override
        {
            if (vk != 0)
                keys.push_back(vk);
        }
    } keySink{keys};
    std::vector<bool> ignoreKeys;
    int addFormsShown = 0;
    bool engineHasClip = false;
};

}  // namespace velmora::test
