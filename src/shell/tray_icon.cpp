#include "shell/tray_icon.h"

#include "base/config_folder.h"
#include "shell/program_icon.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QStyleHints>

#include <optional>

namespace velmora {

TrayIcon::TrayIcon(Hooks hooks, QObject* parent)
    : QObject(parent), hooks_(std::move(hooks)), menu_(std::make_unique<QMenu>())
{
    menu_->setObjectName(QStringLiteral("popup"));
    struct Item {
        const char* name;
        QString caption;
        std::optional<TransportButton> button;  // none: play/pause
    };
    const Item items[] = {
        {"PlayPause", QStringLiteral("Воспроизведение/пауза"), std::nullopt},
        {"Previous", QStringLiteral("Предыдущий клип"), TransportButton::StepBack},
        {"Next", QStringLiteral("Следующий клип"), TransportButton::StepForward},
        {"Stop", QStringLiteral("Стоп"), TransportButton::Stop},
    };
    for (int i = 0; i < 4; ++i) {
        QAction* a = menu_->addAction(items[i].caption);
        a->setObjectName(QLatin1String(items[i].name));
        const std::optional<TransportButton> button = items[i].button;
        connect(a, &QAction::triggered, this, [this, button] {
            if (!button && hooks_.playPause)
                hooks_.playPause();
            else if (button && hooks_.press)
                hooks_.press(*button);
        });
        playback_[i] = a;
    }
    menu_->addSeparator()->setObjectName(QStringLiteral("separate"));
    QAction* close = menu_->addAction(QStringLiteral("Закрыть программу"));
    close->setObjectName(QStringLiteral("Close"));
    connect(close, &QAction::triggered, this, [this] {
        if (hooks_.exitProgram)
            hooks_.exitProgram();
    });
    setPlaybackItemsEnabled(false);  // no clip is open at start

    singleClick_.setSingleShot(true);
    connect(&singleClick_, &QTimer::timeout, this, &TrayIcon::openMenu);
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::show(bool on)
{
    if (!on) {
        if (icon_)
            icon_->hide();
        return;
    }
    if (!icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>(programIcon());
        icon_->setToolTip(QLatin1String(kApplicationName));
        // The panel shows the menu on a right click itself (also where the
        // menu is exported over D-Bus); the other clicks come to activate().
        icon_->setContextMenu(menu_.get());
        connect(icon_.get(), &QSystemTrayIcon::activated, this, &TrayIcon::activate);
    }
    icon_->show();
}

bool TrayIcon::shown() const { return icon_ && icon_->isVisible(); }

QString TrayIcon::toolTip() const { return icon_ ? icon_->toolTip() : QString(); }

void TrayIcon::activate(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        singleClick_.stop();
        if (hooks_.restore)
            hooks_.restore();
        break;
    case QSystemTrayIcon::Trigger:
        if (hooks_.hidden && hooks_.hidden() && hooks_.restore) {
            hooks_.restore();
            break;
        }
        singleClick_.start(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        break;
    case QSystemTrayIcon::MiddleClick:
        openMenu();
        break;
    case QSystemTrayIcon::Context:  // shown by the panel (setContextMenu)
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void TrayIcon::showPlayback(const PlaybackState& state) { setPlaybackItemsEnabled(state.clipOpen()); }

void TrayIcon::setPlaybackItemsEnabled(bool on)
{
    for (QAction* a : playback_)
        a->setEnabled(on);
}

void TrayIcon::openMenu()
{
    emit menuOpening();
    menu_->popup(QCursor::pos());
}

}  // namespace velmora
