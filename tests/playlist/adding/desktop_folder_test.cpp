// The desktop folder comes from the XDG user dirs, or is the home folder.

#include "playlist/adding/desktop_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DesktopFolderTest : public ::testing::Test {
protected:
    DesktopFolderTest() : oldHome_(qgetenv("HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", QFile::encodeName(home_.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.path() + QStringLiteral("/.config")));
    }
    ~DesktopFolderTest() override
    {
        qputenv("HOME", oldHome_);
        if (oldConfig_.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", oldConfig_);
    }
    void writeUserDirs(const QByteArray& text)
    {
        QDir().mkpath(home_.path() + QStringLiteral("/.config"));
        QFile f(home_.path() + QStringLiteral("/.config/user-dirs.dirs"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    QTemporaryDir home_;
    QByteArray oldHome_, oldConfig_;
};

TEST_F(DesktopFolderTest, NamedByUserDirs)
{
    writeUserDirs("# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Рабочий стол\"\n");
    QDir().mkpath(home_.path() + QStringLiteral("/Рабочий стол"));
    EXPECT_EQ(velmora::desktopFolder(), home_.path() + QStringLiteral("/Рабочий стол"));
}

TEST_F(DesktopFolderTest, HomeWhenTheDesktopFolderIsMissing)
{
    writeUserDirs("XDG_DESKTOP_DIR=\"$HOME/Gone\"\n");
    EXPECT_EQ(velmora::desktopFolder(), QDir::cleanPath(home_.path()));
    writeUserDirs("");
    QDir().mkpath(home_.path() + QStringLiteral("/Desktop"));
    EXPECT_EQ(velmora::desktopFolder(), home_.path() + QStringLiteral("/Desktop"));
}

}  // namespace
