// The tray icon's menu and clicks.

#include "shell/tray_icon.h"
#include "support/test_support.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

#include <vector>

using namespace velmora;

namespace {

class TrayIconTest : public ::testing::Test {
protected:
    TrayIconTest()
        : tray({.playPause = [this] { pressed.push_back("PlayPause"); },
                .press = [this](TransportButton b) { pressed.push_back(b == TransportButton::StepBack ? "StepBack"
                                                                   : b == TransportButton::StepForward ? "StepForward"
                                                                   : b == TransportButton::Stop ? "Stop" : "?"); },
                .restore = [this] { ++restores; hidden = false; },
                .hidden = [this] { return hidden; },
                .exitProgram = [this] { ++exits; }})
    {
    }
    QAction* item(const char* name) { return tray.menu().findChild<QAction*>(QLatin1String(name)); }
    void closeMenu() { tray.menu().hide(); }

    void showClipOpen(bool open)
    {
        PlaybackState state;
        state.shown = open ? PlaybackState::Phase::Playing : PlaybackState::Phase::Idle;
        tray.showPlayback(state);
    }

    std::vector<std::string> pressed;
    int restores = 0;
    int exits = 0;
    bool hidden = false;
    TrayIcon tray;
};

TEST_F(TrayIconTest, MenuItemsInOrderActAsTheirKeys)
{
    const QList<QAction*> actions = tray.menu().actions();
    ASSERT_EQ(actions.size(), 6);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Воспроизведение/пауза"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("Предыдущий клип"));
    EXPECT_EQ(actions[2]->text(), QStringLiteral("Следующий клип"));
    EXPECT_EQ(actions[3]->text(), QStringLiteral("Стоп"));
    EXPECT_TRUE(actions[4]->isSeparator());
    EXPECT_EQ(actions[5]->text(), QStringLiteral("Закрыть программу"));

    showClipOpen(true);
    for (const char* name : {"PlayPause", "Previous", "Next", "Stop"})
        item(name)->trigger();
    EXPECT_EQ(pressed, (std::vector<std::string>{"PlayPause", "StepBack", "StepForward", "Stop"}));
    item("Close")->trigger();
    EXPECT_EQ(exits, 1);
}

TEST_F(TrayIconTest, PlaybackItemsFollowTheClipAndCloseIsAlwaysThere)
{
    for (const char* name : {"PlayPause", "Previous", "Next", "Stop"})
        EXPECT_FALSE(item(name)->isEnabled()) << name << ": no clip is open at start";
    showClipOpen(true);
    for (const char* name : {"PlayPause", "Previous", "Next", "Stop"})
        EXPECT_TRUE(item(name)->isEnabled()) << name;
    showClipOpen(false);
    EXPECT_FALSE(item("Stop")->isEnabled());
    EXPECT_TRUE(item("Close")->isEnabled());
}

TEST_F(TrayIconTest, DoubleClickRestoresWithoutOpeningTheMenu)
{
    QSignalSpy menus(&tray, &TrayIcon::menuOpening);
    // A double-click arrives as a click, then the double-click.
    tray.activate(QSystemTrayIcon::Trigger);
    tray.activate(QSystemTrayIcon::DoubleClick);
    test::settle(std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100));
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(menus.count(), 0);
}

// A StatusNotifier panel's left click: the primary activation alone.
TEST_F(TrayIconTest, WhileHiddenASingleClickRestoresAtOnce)
{
    QSignalSpy menus(&tray, &TrayIcon::menuOpening);
    hidden = true;
    tray.activate(QSystemTrayIcon::Trigger);
    EXPECT_EQ(restores, 1);
    tray.activate(QSystemTrayIcon::DoubleClick);  // the rest of an XEmbed double-click
    test::settle(std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100));
    EXPECT_EQ(menus.count(), 0);
}

TEST_F(TrayIconTest, SingleAndMiddleClicksOpenTheMenu)
{
    QSignalSpy menus(&tray, &TrayIcon::menuOpening);
    tray.activate(QSystemTrayIcon::Trigger);
    EXPECT_EQ(menus.count(), 0) << "not before the double-click interval is over";
    EXPECT_TRUE(menus.wait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 1000));
    closeMenu();
    tray.activate(QSystemTrayIcon::MiddleClick);
    EXPECT_EQ(menus.count(), 2);
    closeMenu();
    EXPECT_EQ(restores, 0);
}

TEST_F(TrayIconTest, ShowAndRemoveMayRepeat)
{
    EXPECT_FALSE(tray.shown());
    tray.show(false);
    tray.show(true);
    tray.show(true);
    EXPECT_TRUE(tray.shown());
    EXPECT_EQ(tray.toolTip(), QStringLiteral("Velmora 4"));
    tray.show(false);
    EXPECT_FALSE(tray.shown());
}

}  // namespace
