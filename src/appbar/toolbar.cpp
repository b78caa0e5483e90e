#include "appbar/toolbar.h"

#include "appbar/qt_bar_window.h"
#include "appbar/x11_app_bar_shell.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace velmora {

namespace {
// The toolbar's buttons are the main window's transport buttons.
TransportButton transportButton(ToolbarForm::Button button)
{
    using B = ToolbarForm::Button;
    switch (button) {
    case B::Play: return TransportButton::Play;
    case B::Pause: return TransportButton::Pause;
    case B::Stop: return TransportButton::Stop;
    case B::Back: return TransportButton::Back;
    case B::Forward: return TransportButton::Forward;
    case B::Previous: return TransportButton::StepBack;
    case B::Next: return TransportButton::StepForward;
    }
    return TransportButton::Play;
}
}  // namespace

namespace {

// The window is put 67 pixels above the screen before it is shown.
constexpr int kAboveScreen = 67;

}  // namespace

Toolbar::Toolbar(Hooks hooks, QObject* parent) : QObject(parent), hooks_(std::move(hooks)) {}

Toolbar::~Toolbar()
{
    if (shown_)
        remove();
    for (const QPointer<ToolbarForm>& form : unloading_)
        delete form.data();  // no event loop may run again to delete them
}

void Toolbar::ShowToolbar(bool show)
{
    if (show == shown_)
        return;
    shown_ = show;
    if (show)
        this->show();
    else
        remove();
}

void Toolbar::show()
{
    if (!desktop_)
        desktop_ = std::make_unique<QtBarDesktop>();
    if (!bar_)
        bar_ = std::make_unique<TAppBar>(*desktop_);
    // A bar detached before starts again as created (it was left in the
    // unknown state, which would unregister it again at once).
    bar_->reset();

    form_ = new ToolbarForm;
    connect(form_, &ToolbarForm::buttonClicked, this, [this](ToolbarForm::Button b) {
        if (hooks_.press)
            hooks_.press(transportButton(b));
    });
    form_->setKeySink(hooks_.keys);

    // 1. the window, a dock from its first mapping, 67 pixels above the screen
    std::optional<x11::Server> server = x11::qtServer();
    const auto id = static_cast<xcb_window_t>(form_->winId());
    std::unique_ptr<AppBarShell> shell;
    if (server) {
        x11::setDockType(*server, id, true);
        x11::setOnAllDesktops(*server, id, false);
        shell = std::make_unique<X11AppBarShell>(*server, id, *desktop_);
    } else {
        shell = std::make_unique<LocalAppBarShell>(*desktop_);
    }
    window_ = new QtBarWindow(*form_, std::move(shell), server);
    window_->setParent(form_);
    const Box screen = desktop_->screen();
    form_->move(screen.left, screen.top - kAboveScreen);
    form_->show();

    // 2. docked at the top, auto-hiding, above the other windows, fixed height
    AppBarFields& f = bar_->fields();
    f.autoHide = true;
    bar_->Extends(*window_);
    f.allowedEdges = edge_bits::Top;
    bar_->setEdge(BarEdge::Top);
    f.alwaysOnTop = true;
    f.sizeIncY = 0;

    // 3. a clip open: the buttons as the main window shows it
    if (state_.clipOpen())
        showState();
}

void Toolbar::remove()
{
    if (bar_)
        bar_->Detach();
    if (form_) {
        // It may be removed from inside one of its own events (a key).
        form_->hide();
        form_->deleteLater();
        unloading_.removeAll(nullptr);
        unloading_.push_back(form_);
        form_.clear();
    }
    window_.clear();
}

void Toolbar::showPlayback(const PlaybackState& state)
{
    state_ = state;
    if (form_)
        showState();
}

void Toolbar::showState()
{
    form_->setAllFramed(!state_.clipOpen());
    form_->button(ToolbarForm::Button::Pause).setFramed(!state_.playing());
    form_->clip().setText(state_.clipText);
}

}  // namespace velmora
