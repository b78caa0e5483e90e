#include "skin/skinned_windows.h"

#include "settings/settings.h"
#include "base/rounding.h"
#include "settings/profile_files.h"
#include "skin/skin_log.h"
#include "skin/video_window_place.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace velmora {

namespace {
int slot(SkinWindow which) { return static_cast<int>(which); }
}  // namespace

SkinnedWindows::SkinnedWindows(Settings& settings, ProfileFiles& profiles, QObject* parent)
    : QObject(parent),
      settings_(settings),
      profiles_(profiles),
      main_(std::make_unique<MainForm>()),
      volume_(std::make_unique<VolumeForm>()),
      playlist_(std::make_unique<PlaylistForm>())
{
    for (SkinnedForm* f : {static_cast<SkinnedForm*>(main_.get()), static_cast<SkinnedForm*>(volume_.get()),
                           static_cast<SkinnedForm*>(playlist_.get())})
        wireForm(*f);
    // The companions are tool windows of the main window. Without a parent
    // of their own they would be the whole program's, and window managers
    // (xfwm4, openbox) then keep them above every window of it: the options
    // dialog and its file dialogs would lie under them.
    main_->winId();
    for (QWidget* companion : {static_cast<QWidget*>(volume_.get()), static_cast<QWidget*>(playlist_.get())}) {
        companion->winId();
        companion->windowHandle()->setTransientParent(main_->windowHandle());
    }
    main_->onStateChanged = [this](Qt::WindowStates s) { mainStateChanged(s); };
    main_->onActivated = [this] { mainActivated(); };
    connect(main_->element("Minimize"), &TransImg::clicked, this, &SkinnedWindows::minimise);
    connect(main_->element("Close"), &TransImg::clicked, this, &SkinnedWindows::closeClicked);
    connect(main_->element("Menu"), &TransImg::clicked, this, [this] { emit menuClicked(QCursor::pos()); });
}

SkinnedWindows::~SkinnedWindows() = default;

SkinnedForm& SkinnedWindows::form(SkinWindow which)
{
    switch (which) {
    case SkinWindow::Main: return *main_;
    case SkinWindow::Volume: return *volume_;
    case SkinWindow::Playlist: break;
    }
    return *playlist_;
}

void SkinnedWindows::wireForm(SkinnedForm& f)
{
    f.setDragHandlers([this](SkinnedForm& form, QPoint global) { backgroundPressed(form, global); },
                      [this](SkinnedForm& form, QPoint global) { backgroundMoved(form, global); });
    f.setDragEndHandler([this] { dragging_ = false; });
    // Closed by the window system: the main window closes the program as
    // its Close button does; a companion is hidden as its menu item does.
    const SkinWindow kind = f.kind();
    f.setCloseRequestHandler([this, kind] {
        if (kind == SkinWindow::Main)
            emit closeClicked();
        else
            emit companionCloseRequested(kind);
    });
}

void SkinnedWindows::loadSkin(const QString& folder)
{
    const QString f = normalizeSkinFolder(folder);
    const SkinDescription description =
        parseSkinDescription(profiles_.document(f + skinString(kSkinFileName)), f);
    if (!description.fileFound)
        qCDebug(lcSkin) << "no skin.ini in" << f;
    KnobPercents knobs;
    knobs.balance = settings_.whole(keys::Balance);
    knobs.volume = settings_.whole(keys::Volume);
    dressWindows(description, {*main_, *volume_, *playlist_}, skin_, knobs);
    if (refresh_)
        refresh_();
}

bool SkinnedWindows::changeSkin(const QString& folder)
{
    const QString f = normalizeSkinFolder(folder);
    if (!skinDressesWindows(parseSkinDescription(profiles_.document(f + skinString(kSkinFileName)), f))) {
        qCDebug(lcSkin) << "skin cannot dress the windows, kept the old one:" << f;
        return false;
    }
    loadSkin(f);
    placeCompanions();
    return true;
}

// --- Group move --------------------------------------------------------

void SkinnedWindows::backgroundPressed(SkinnedForm& f, QPoint global)
{
    // The places as they are now (the window manager may have moved us).
    places_ = {main_->pos(), volume_->pos(), playlist_->pos()};
    grab_ = global - placeOf(f.kind());
    dragging_ = true;
}

void SkinnedWindows::backgroundMoved(SkinnedForm& f, QPoint global)
{
    if (!dragging_)
        return;
    // The pointer relative to where we last put the pressed window, which
    // need not be where the window system has it yet.
    moveGroup(f.kind(), global - placeOf(f.kind()));
}

QPoint SkinnedWindows::placeOf(SkinWindow which) const
{
    switch (which) {
    case SkinWindow::Main: return places_.main;
    case SkinWindow::Volume: return places_.volume;
    case SkinWindow::Playlist: break;
    }
    return places_.playlist;
}

void SkinnedWindows::moveGroup(SkinWindow, QPoint pointer)
{
    applyPlaces(velmora::moveGroup(places_.main, grab_, pointer, skin_.offsets));
}

void SkinnedWindows::placeCompanions()
{
    applyPlaces(velmora::moveGroup(main_->pos(), {}, {}, skin_.offsets));
}

void SkinnedWindows::applyPlaces(const GroupPlaces& places)
{
    places_ = places;
    main_->move(places.main);
    volume_->move(places.volume);
    playlist_->move(places.playlist);
}

void SkinnedWindows::placeFromSettings()
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    QPoint centred;
    QList<QRect> screens;
    if (primary) {
        const QRect g = primary->geometry();
        centred = {g.x() + (g.width() - main_->width()) / 2, g.y() + (g.height() - main_->height()) / 2};
        for (const QScreen* s : QGuiApplication::screens())
            screens.append(s->availableGeometry());
    }
    const QPoint stored(roundHalfEven(settings_.fraction(keys::Left, centred.x())),
                        roundHalfEven(settings_.fraction(keys::Top, centred.y())));
    const QPoint place = placeOnScreens(QRect(stored, main_->size()), screens);
    if (place != stored)
        qCDebug(lcSkin) << "main window moved onto a screen:" << stored << "->" << place;
    main_->move(place);
    placeCompanions();
}

// --- Opacity -----------------------------------------------------------

void SkinnedWindows::setOpacity(SkinWindow which, int percent)
{
    percent = std::clamp(percent, 0, 100);
    opacity_[slot(which)] = percent;
    form(which).setWindowOpacity(alphaForPercent(percent) / 255.0);
}

int SkinnedWindows::opacity(SkinWindow which) const { return opacity_[slot(which)]; }

void SkinnedWindows::applyStartOpacities()
{
    setOpacity(SkinWindow::Main, startOpacity(settings_.whole(keys::MainTransparanted)));
    setOpacity(SkinWindow::Volume, startOpacity(settings_.whole(keys::VolumeTransparanted)));
    setOpacity(SkinWindow::Playlist, startOpacity(settings_.whole(keys::PlaylistTransparanted)));
}

// --- Minimise, restore, activation --------------------------------------

void SkinnedWindows::recordVisibility()
{
    saved_.add = addForm_ && addForm_->isVisible();
    saved_.playlist = playlist_->isVisible();
    saved_.volume = volume_->isVisible();
    saved_.options = optionsForm_ && optionsForm_->isVisible();
}

void SkinnedWindows::minimise()
{
    recordVisibility();
    main_->setWindowState((main_->windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
}

void SkinnedWindows::mainStateChanged(Qt::WindowStates state)
{
    const bool normal = (state & ~Qt::WindowActive) == Qt::WindowNoState;
    const bool wasNormal = std::exchange(mainNormal_, normal);
    if (!normal) {
        // Minimised by the window manager or the taskbar, not by Minimize:
        // what is shown now is what comes back.
        if (wasNormal)
            recordVisibility();
        for (QWidget* w : {addForm_.data(), static_cast<QWidget*>(playlist_.get()),
                           static_cast<QWidget*>(volume_.get()), optionsForm_.data()}) {
            if (w)
                w->hide();
        }
        if (video_)
            video_->dropBelowScreen();
        return;
    }
    showRecorded();
    if (video_)
        video_->returnFromBelowScreen();
}

void SkinnedWindows::showRecorded()
{
    const auto restore = [](QWidget* w, bool visible) {
        if (w)
            w->setVisible(visible);
    };
    restore(addForm_, saved_.add);
    restore(playlist_.get(), saved_.playlist);
    restore(volume_.get(), saved_.volume);
    restore(optionsForm_, saved_.options);
}

void SkinnedWindows::mainActivated()
{
    if (activating_ || fade_.running() || !main_->isEnabled())
        return;
    // The main window takes the focus back when the menu lets go of the
    // keyboard. That is no user bringing the program forward, and the
    // companions coming forward then would bury the window the menu opened.
    if (menuClosed_.isValid() && menuClosed_.elapsed() < 500)
        return;
    activating_ = true;
    // The companions come forward with the main window; the playlist window,
    // when shown, ends up active.
    for (QWidget* w : {static_cast<QWidget*>(volume_.get()), static_cast<QWidget*>(playlist_.get())}) {
        if (w->isVisible()) {
            w->raise();
            w->activateWindow();
        }
    }
    activating_ = false;
}

void SkinnedWindows::setKeySink(KeySink* sink)
{
    for (SkinnedForm* form : {static_cast<SkinnedForm*>(main_.get()), static_cast<SkinnedForm*>(volume_.get()),
                              static_cast<SkinnedForm*>(playlist_.get())})
        form->setKeySink(sink);
}

// --- Closing fade --------------------------------------------------------

void SkinnedWindows::startClosingFade(FadeLevels from, std::function<void(int)> setSoundLevel,
                                      std::function<void()> finished)
{
    if (fade_.running())
        return;
    main_->setEnabled(false);
    volume_->setEnabled(false);
    playlist_->setEnabled(false);
    ClosingFade::Handlers h;
    h.apply = [this, setSoundLevel = std::move(setSoundLevel)](const FadeLevels& l) {
        setOpacity(SkinWindow::Main, l.main);
        setOpacity(SkinWindow::Volume, l.volume);
        setOpacity(SkinWindow::Playlist, l.playlist);
        if (setSoundLevel)
            setSoundLevel(std::clamp(l.sound, 0, 100));
    };
    h.finished = std::move(finished);
    fade_.start(from, std::move(h));
}

}  // namespace velmora
