#include "app/video_binding.h"

#include "video/play_form.h"
#include "skin/skinned_windows.h"

#include <QAction>

namespace velmora {

void bindVideoWindow(PlayForm& video, SkinnedWindows& windows)
{
    windows.setVideoWindow(&video);
    QObject::connect(&video, &PlayForm::volumeItemToggled, &windows.volumeForm(), &QWidget::setVisible);
    QObject::connect(&video, &PlayForm::playlistItemToggled, &windows.playlistForm(), &QWidget::setVisible);
    QObject::connect(&windows, &SkinnedWindows::menuClicked, &video, &PlayForm::popupMenu);
    QObject::connect(&video, &PlayForm::menuClosed, &windows, &SkinnedWindows::menuClosed);
    // A companion closed by the window system is hidden as its menu item
    // hides it, so the item and the stored "...Open" agree with the screen.
    QObject::connect(&windows, &SkinnedWindows::companionCloseRequested, &video, [&video, &windows](SkinWindow which) {
        QAction& item = which == SkinWindow::Volume ? video.volumeItem() : video.playlistItem();
        item.setChecked(false);
        windows.form(which).hide();
    });
}

}  // namespace velmora
