#pragma once
// Temporary skins for the window tests: a folder with pictures and a
// skin.ini that each test writes, and the objects SkinnedWindows needs.

#include "settings/settings.h"
#include "settings/settings_store.h"
#include "settings/profile_files.h"
#include "skin/skinned_windows.h"
#include "support/test_support.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <memory>

namespace velmora::test {

class TempSkin {
public:
    QString folder() const { return dir_.path() + QLatin1Char('/'); }
    // A picture of one colour, with an optional white (transparent) left half.
    QString picture(const QString& name, QSize size, QColor colour, bool whiteLeftHalf = false)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        if (whiteLeftHalf) {
            QPainter p(&image);
            p.fillRect(QRect(0, 0, size.width() / 2, size.height()), Qt::white);
        }
        const QString path = folder() + name;
        writeFile(path, {});  // makes the folders
        image.save(path, "BMP");
        return path;
    }
    void ini(const QByteArray& text) { writeFile(folder() + QStringLiteral("skin.ini"), text); }

private:
    QTemporaryDir dir_;
};

// SkinnedWindows with its collaborators on a private settings file.
struct WindowsHarness {
    TempHome home;
    SettingsStore store{home.file(QStringLiteral("settings.ini"))};
    Settings settings{store};
    ProfileFiles profiles;
    std::unique_ptr<SkinnedWindows> windows = std::make_unique<SkinnedWindows>(settings, profiles);
};

// A complete small skin: main 300 x 100, volume 200 x 80, playlist 300 x 200.
inline void writeSmallSkin(TempSkin& skin)
{
    skin.picture(QStringLiteral("main.bmp"), {300, 100}, QColor(30, 30, 40));
    skin.picture(QStringLiteral("volume.bmp"), {200, 80}, QColor(30, 40, 30));
    QImage list(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            list.setPixel(x, y, qRgb(x % 256, y % 256, 77));
    list.save(skin.folder() + QStringLiteral("playlist.bmp"), "BMP");
    for (const char* name : {"play", "pause", "stop", "back", "forward", "stepback", "stepforward", "close",
                             "minimize", "menu", "plus", "minus", "up", "down", "scrollup", "scrolldown", "save",
                             "untree", "balanceleft", "balanceright", "volumeleft", "volumeright"})
        skin.picture(QString::fromLatin1(name) + QStringLiteral(".bmp"), {20, 16}, QColor(200, 80, 40));
    skin.picture(QStringLiteral("sliderplayback.bmp"), {200, 8}, QColor(10, 10, 10));
    skin.picture(QStringLiteral("sliderplay.bmp"), {12, 12}, QColor(250, 180, 60));
    skin.picture(QStringLiteral("sliderbalanceback.bmp"), {100, 6}, QColor(10, 10, 10));
    skin.picture(QStringLiteral("sliderbalance.bmp"), {10, 14}, QColor(250, 180, 60));
    skin.picture(QStringLiteral("slidervolumeback.bmp"), {120, 6}, QColor(10, 10, 10));
    skin.picture(QStringLiteral("slidervolume.bmp"), {10, 14}, QColor(250, 180, 60));
    skin.picture(QStringLiteral("scrollback.bmp"), {12, 100}, QColor(10, 10, 10));
    skin.picture(QStringLiteral("scroll.bmp"), {12, 20}, QColor(250, 180, 60));
    skin.ini(
        "[Skin]\n"
        "Name=Small\n"
        "Main=main.bmp\nMainWidth=300\nMainHeight=100\nMainRadius=20\n"
        "play=play.bmp\npause=pause.bmp\nstop=stop.bmp\nback=back.bmp\nforward=forward.bmp\n"
        "stepback=stepback.bmp\nstepforward=stepforward.bmp\nclose=close.bmp\nminimize=minimize.bmp\n"
        "menu=menu.bmp\nsliderplay=sliderplay.bmp\nsliderplayback=sliderplayback.bmp\n"
        "playleft=12\nplaytop=70\npauseleft=36\npausetop=70\nstopleft=60\nstoptop=70\n"
        "backleft=84\nbacktop=70\nforwardleft=108\nforwardtop=70\nstepbackleft=132\nstepbacktop=70\n"
        "stepforwardleft=156\nstepforwardtop=70\ncloseleft=270\nclosetop=4\nminimizeleft=246\n"
        "minimizetop=4\nmenuleft=222\nmenutop=4\nsliderplayleft=20\nsliderplaytop=48\n"
        "sliderplaybackleft=20\nsliderplaybacktop=50\n"
        "currenttimesize=12\ncurrenttimecolor=&HFF0000\ncurrenttimeleft=10\ncurrenttimetop=20\n"
        "timesize=10\ntimecolor=255\ntimeleft=200\ntimetop=20\n"
        "Volume=volume.bmp\nVolumeWidth=200\nVolumeHeight=80\nVolumeRadius=10\nVolumex=306\nVolumey=0\n"
        "balanceleft=balanceleft.bmp\nbalanceright=balanceright.bmp\nvolumeleft=volumeleft.bmp\n"
        "volumeright=volumeright.bmp\nsliderbalance=sliderbalance.bmp\nslidervolume=slidervolume.bmp\n"
        "sliderbalanceback=sliderbalanceback.bmp\nslidervolumeback=slidervolumeback.bmp\n"
        "balanceleftleft=0\nbalancelefttop=40\nbalancerightleft=180\nbalancerighttop=40\n"
        "volumeleftleft=0\nvolumelefttop=10\nvolumerightleft=180\nvolumerighttop=10\n"
        "sliderbalanceleft=20\nsliderbalancetop=42\nslidervolumeleft=30\nslidervolumetop=12\n"
        "sliderbalancebackleft=20\nsliderbalancebacktop=46\nslidervolumebackleft=30\nslidervolumebacktop=16\n"
        "playlist=playlist.bmp\nplaylistWidth=300\nplaylistheight=200\nplaylistRadius=16\n"
        "playlistx=0\nplaylisty=106\n"
        "playlistlistleft=10\nplaylistlisttop=20\nplaylistlistwidth=260\nplaylistlistheight=150\n"
        "playlistlistcolor3=&H00FF00\nplaylistlistsize=9\nplaylistlistcolor=&HC0C0C0\nplaylistlistcolor2=&H00A0FF\n"
        "plus=plus.bmp\nminus=minus.bmp\nup=up.bmp\ndown=down.bmp\nscrollup=scrollup.bmp\n"
        "scrolldown=scrolldown.bmp\nscroll=scroll.bmp\nscrollback=scrollback.bmp\nsave=save.bmp\n"
        "untree=untree.bmp\n"
        "plusleft=10\nplustop=178\nminusleft=34\nminustop=178\nupleft=58\nuptop=178\ndownleft=82\n"
        "downtop=178\nscrollupleft=278\nscrolluptop=20\nscrolldownleft=278\nscrolldowntop=160\n"
        "scrollleft=278\nscrolltop=40\nscrollbackleft=278\nscrollbacktop=40\nsaveleft=106\nsavetop=178\n"
        "untreeleft=130\nuntreetop=178\n");
}

}  // namespace velmora::test
