// The real program on a real X server, driven with xdotool as a user
// drives it: the options dialog from the video window's menu, and the
// windows that Close hid brought back by a second start when there is no
// tray icon (Xvfb has no notification area).

#include "support/test_support.h"
#include "support/x_driver.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;
using namespace std::chrono_literals;

namespace {

class OptionsProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "needs an X server and xdotool";
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("VELMORA_CONFIG_HOME"), home_.file(QStringLiteral("config")));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.file(QStringLiteral("runtime")));
        env_.insert(QStringLiteral("XDG_DATA_HOME"), home_.file(QStringLiteral("data")));
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.file(QStringLiteral("xdg-config")));
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env_.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    }
    void TearDown() override
    {
        for (QProcess* p : running_) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
            delete p;
        }
    }

    QProcess* launch(const QByteArray& settings)
    {
        test::writeFile(home_.file(QStringLiteral("config/settings.ini")),
                        "[Settings]\nAutoPlay=0\n" + settings + "[Position]\nLeft=100\nTop=100\n");
        auto* p = new QProcess;
        p->setProcessEnvironment(env_);
        p->start(QStringLiteral(VELMORA_BUILD_DIR "/velmora4"), {});
        running_.push_back(p);
        return p;
    }

    test::TempHome home_;
    QProcessEnvironment env_;
    std::vector<QProcess*> running_;
};

}  // namespace

TEST_F(OptionsProcessTest, TheVideoWindowsMenuItemOpensTheOptionsDialog)
{
    QProcess* player = launch({});
    ASSERT_TRUE(test::waitFor([&] { return visibleWindows(*player) == 1; }, 60s)) << "the main window";
    click(kMainMenu);
    ASSERT_TRUE(test::waitFor([&] { return visibleWindows(*player) == 2; }, 20s)) << "the menu";
    xdotool({QStringLiteral("key"), QStringLiteral("Up"), QStringLiteral("Return")});  // its last item
    EXPECT_TRUE(test::waitFor([&] { return optionsShown(); }, 20s));
}

TEST_F(OptionsProcessTest, WithoutATrayASecondEmptyStartBringsHiddenWindowsBack)
{
    QProcess* player = launch("NotClose=1\nTray=1\n");
    ASSERT_TRUE(test::waitFor([&] { return visibleWindows(*player) == 1; }, 60s)) << "the main window";
    click(kMainClose);
    ASSERT_TRUE(test::waitFor([&] { return visibleWindows(*player) == 0; }, 20s)) << "Close only hides";
    EXPECT_EQ(player->state(), QProcess::Running);

    QProcess second;
    second.setProcessEnvironment(env_);
    second.start(QStringLiteral(VELMORA_BUILD_DIR "/velmora4"), {});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(test::waitFor([&] { return visibleWindows(*player) == 1; }, 20s)) << "the windows are back";
}
