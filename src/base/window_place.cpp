#include "base/window_place.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <limits>

namespace velmora {

namespace {

// How much of a title bar must stay reachable: enough to grab and drag.
constexpr int kGrip = 64;
// Room below the top edge for the title bar itself.
constexpr int kTitleBar = 32;

// The distance from a point to an area (0 inside).
long long distance(QPoint p, const QRect& area)
{
    const long long dx = p.x() < area.left() ? area.left() - p.x() : (p.x() > area.right() ? p.x() - area.right() : 0);
    const long long dy = p.y() < area.top() ? area.top() - p.y() : (p.y() > area.bottom() ? p.y() - area.bottom() : 0);
    return dx * dx + dy * dy;
}

const QString kCorrectionName = QStringLiteral("velmora-frame-correction");

// Once the window is exposed (framed and mapped), its client area goes
// where the frame stands at the place; then it goes away.
class FrameCorrection : public QObject {
public:
    FrameCorrection(QWidget& window, QPoint place) : QObject(&window), window_(window), place_(place)
    {
        setObjectName(kCorrectionName);
        window.installEventFilter(this);
        if (window.windowHandle())
            window.windowHandle()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        QWindow* handle = window_.windowHandle();
        if (watched == &window_ && event->type() == QEvent::Show && handle) {
            handle->removeEventFilter(this);
            handle->installEventFilter(this);
        } else if (handle && watched == handle && event->type() == QEvent::Expose && handle->isExposed()) {
            const QMargins frame = handle->frameMargins();
            const QPoint client = place_ + QPoint(frame.left(), frame.top());
            if (window_.geometry().topLeft() != client)
                window_.setGeometry(QRect(client, window_.size()));
            deleteLater();
            window_.removeEventFilter(this);
            handle->removeEventFilter(this);
        }
        return false;
    }

private:
    QWidget& window_;
    QPoint place_;
};

}  // namespace

QPoint titleBarOnScreen(QPoint place, int width, const QList<QRect>& available)
{
    if (available.isEmpty())
        return place;
    // 1. The screen nearest to the title bar's grip (its left part).
    const int grip = std::clamp(width, 1, kGrip);
    const QPoint gripCentre(place.x() + grip / 2, place.y());
    const QRect* screen = &available.front();
    long long best = std::numeric_limits<long long>::max();
    for (const QRect& area : available) {
        const long long d = distance(gripCentre, area);
        if (d < best) {
            best = d;
            screen = &area;
        }
    }
    // 2. The top edge inside that screen, with room for the bar below it.
    const int top = std::clamp(place.y(), screen->top(), std::max(screen->top(), screen->bottom() - kTitleBar));
    // 3. At least a grip's width of the bar on it, from either side.
    const int left = std::clamp(place.x(), screen->left() - std::max(0, width - grip),
                                std::max(screen->left(), screen->right() + 1 - grip));
    return {left, top};
}

void placeFrame(QWidget& window, QPoint place)
{
    QList<QRect> available;
    for (const QScreen* screen : QGuiApplication::screens())
        available.append(screen->availableGeometry());
    const QPoint onScreen = titleBarOnScreen(place, window.width(), available);
    // A correction still waiting (the video window opened again) gives way.
    for (QObject* earlier : window.findChildren<QObject*>(kCorrectionName, Qt::FindDirectChildrenOnly))
        delete earlier;
    window.move(onScreen);
    new FrameCorrection(window, onScreen);
}

}  // namespace velmora
