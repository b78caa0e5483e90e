#include "video/play_form.h"

#include "base/config_folder.h"
#include "base/window_place.h"
#include "keys/key_sink.h"

#include "media/media_engine.h"
#include "skin/window_geometry.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QScreen>
#include <QShowEvent>

namespace velmora {

namespace {
Q_LOGGING_CATEGORY(lcVideoWindow, "velmora.videowindow", QtWarningMsg)

QRect virtualDesktop()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->virtualGeometry() : QRect(0, 0, 0, 0);
}
}  // namespace

PlayForm::PlayForm() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("PlayForm"));
    setWindowRole(objectName());  // lets tools and tests tell the windows apart
    setWindowTitle(QString::fromUtf8(kApplicationName));
    setFocusPolicy(Qt::StrongFocus);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
    setAutoFillBackground(true);

    display_ = new QWidget(this);
    display_->setObjectName(QStringLiteral("Movie"));
    display_->setAttribute(Qt::WA_DontCreateNativeAncestors);
    display_->setAttribute(Qt::WA_NativeWindow);
    display_->setAttribute(Qt::WA_OpaquePaintEvent);
    display_->setAttribute(Qt::WA_NoSystemBackground);
    display_->setFocusPolicy(Qt::NoFocus);

    menu_ = new QMenu(QStringLiteral("menu"), this);
    menu_->setObjectName(QStringLiteral("MenuPopup"));
    volumeItem_ = menu_->addAction(QStringLiteral("Громкость/Баланс..."));
    volumeItem_->setObjectName(QStringLiteral("Volume"));
    volumeItem_->setCheckable(true);
    playlistItem_ = menu_->addAction(QStringLiteral("Список воспроизведения..."));
    playlistItem_->setObjectName(QStringLiteral("Playlist"));
    playlistItem_->setCheckable(true);
    optionsItem_ = menu_->addAction(QStringLiteral("Опции..."));
    optionsItem_->setObjectName(QStringLiteral("Options"));
    connect(menu_, &QMenu::aboutToHide, this, &PlayForm::menuClosed);
    // triggered, not toggled: setting a check mark from code (start-up)
    // must not show or hide a window by itself.
    connect(volumeItem_, &QAction::triggered, this, &PlayForm::volumeItemToggled);
    connect(playlistItem_, &QAction::triggered, this, &PlayForm::playlistItemToggled);
    connect(optionsItem_, &QAction::triggered, this, &PlayForm::optionsItemTriggered);

    // Laid out in the parked place.
    setGeometry(kParkedLeft, kParkedTop, kParkedWidth, kNoPictureDisplay.height());
    move(kParkedLeft, kParkedTop);
}

PlayForm::~PlayForm() = default;

std::uintptr_t PlayForm::displayWindowId() { return static_cast<std::uintptr_t>(display_->winId()); }

void PlayForm::attachEngine(MediaEngine& engine) { engine.setVideoWindow(displayWindowId()); }

void PlayForm::setRememberedPosition(QPoint topLeft)
{
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens.append(s->availableGeometry());
    // The picture's size is not known yet; a small window is enough to
    // tell "wholly off every screen", and its title bar stays on one.
    remembered_ = titleBarOnScreen(placeOnScreens(QRect(topLeft, QSize(64, 48)), screens), 128, screens);
    if (remembered_ != topLeft)
        qCDebug(lcVideoWindow) << "video window place moved onto a screen:" << topLeft << "->" << remembered_;
}

int PlayForm::belowScreenTop() const { return velmora::belowScreenTop(virtualDesktop()); }

// Parked is a state of its own: a window manager may keep a window from
// standing at x = -333, so the parked window is also taken off the screen.
VideoPlace PlayForm::place() const
{
    return parked_ ? VideoPlace::Parked : videoPlaceOf(pos(), belowScreenTop());
}

QPoint PlayForm::placeToStore() const { return isShownPlace() && isVisible() ? pos() : remembered_; }

void PlayForm::park()
{
    if (isShownPlace()) {
        if (fullScreen_)
            setFullScreen(false);
        remembered_ = pos();
    } else if (!parked_) {
        return;  // dropped below the screen: it comes back as it was
    }
    parked_ = true;
    move(kParkedLeft, kParkedTop);
    resize(kParkedWidth, height());
    hide();
}

void PlayForm::openComplete(QSize picture)
{
    if (picture == kNoPictureDisplay || picture.isEmpty()) {
        park();
        return;
    }
    parked_ = false;
    placeFrame(*this, remembered_);
    // The engine measures the picture in screen pixels; Qt sizes windows in
    // device-independent ones (half as many at a ratio of 2).
    resize(clientSizeForPicture(picture, devicePixelRatioF()));
    show();
}

void PlayForm::dropBelowScreen()
{
    if (pos().x() == remembered_.x())
        move(pos().x(), belowScreenTop());
}

void PlayForm::returnFromBelowScreen()
{
    if (pos().y() == belowScreenTop())
        move(pos().x(), remembered_.y());
}

void PlayForm::setFullScreen(bool on)
{
    if (on == fullScreen_)
        return;
    fullScreen_ = on;
    if (on) {
        normalGeometry_ = geometry();
        showFullScreen();
    } else {
        showNormal();
        setGeometry(normalGeometry_);
    }
}

void PlayForm::popupMenu(QPoint globalPos) { menu_->popup(globalPos); }

void PlayForm::resizeEvent(QResizeEvent* event)
{
    display_->setGeometry(rect());
    QWidget::resizeEvent(event);
}

void PlayForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible())
        lower();
}

void PlayForm::setStaysOnTop(bool onTop)
{
    onTop_ = onTop;
    if (aboveHandler_ && isVisible())
        aboveHandler_(onTop, true);
}

// The window manager forgets the state of a window taken off the screen
// (parked): it is given again each time the window comes back.
void PlayForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (aboveHandler_ && !event->spontaneous())
        aboveHandler_(onTop_, false);
}

void PlayForm::keyPressEvent(QKeyEvent* event)
{
    if (keySink_) {
        forwardKey(*keySink_, *event);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PlayForm::closeEvent(QCloseEvent* event)
{
    // The window lives as long as the program; closing it by its frame
    // only takes it out of sight.
    if (!event->spontaneous()) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    if (closeHandler_)
        closeHandler_();
    else
        park();
}

}  // namespace velmora
