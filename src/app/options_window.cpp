#include "app/options_window.h"

#include "appbar/toolbar.h"
#include "options/options_form.h"
#include "shell/tray_icon.h"
#include "skin/skinned_windows.h"

#include <QSystemTrayIcon>

namespace velmora {

OptionsWindow::OptionsWindow(Parts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)), fileTypes_(parts_.fileTypes)
{
}

OptionsWindow::~OptionsWindow() { delete form_.data(); }

void OptionsWindow::show()
{
    if (!form_) {
        form_ = new OptionsForm(parts_.settings, *this, fileTypes_, {parts_.defaultSkinFolder});
        form_->setAttribute(Qt::WA_DeleteOnClose);
        parts_.windows.setOptionsWindow(form_);
    }
    form_->show();
    form_->raise();
    form_->activateWindow();
}

OptionsForm* OptionsWindow::form() const { return form_.data(); }

void OptionsWindow::unload()
{
    if (form_)
        form_->close();
}

void OptionsWindow::ShowTrayIcon(bool show) { parts_.tray.show(show); }

bool OptionsWindow::trayAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void OptionsWindow::ShowToolbar(bool show) { parts_.toolbar.ShowToolbar(show); }

void OptionsWindow::SetOpacity(SeeThroughWindow window, int percent)
{
    switch (window) {
    case SeeThroughWindow::Main: parts_.windows.setOpacity(SkinWindow::Main, percent); return;
    case SeeThroughWindow::Volume: parts_.windows.setOpacity(SkinWindow::Volume, percent); return;
    case SeeThroughWindow::Playlist: parts_.windows.setOpacity(SkinWindow::Playlist, percent); return;
    }
}

bool OptionsWindow::LoadSkin(const QString& folder) { return parts_.windows.changeSkin(folder); }

QString OptionsWindow::skinName() const { return parts_.windows.skin().skinName; }

}  // namespace velmora
