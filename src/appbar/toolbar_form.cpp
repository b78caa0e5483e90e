#include "appbar/toolbar_form.h"

#include "keys/key_sink.h"

#include "base/config_folder.h"
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace velmora {

namespace {

// Left edges of the buttons in pixels; every button is 24 x 24 at top 2.
constexpr int kButtonLeft[ToolbarForm::kButtonCount] = {8, 40, 72, 112, 144, 184, 216};
constexpr int kButtonTop = 2;
constexpr int kButtonSize = 24;
constexpr int kClipLeft = 248;

const QColor kGround(0xf0, 0xf0, 0xf0);
const QColor kInk(0x20, 0x20, 0x20);
const QColor kFrame(0x70, 0x70, 0x70);

QPainterPath triangle(QPointF a, QPointF b, QPointF c)
{
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

// The pictures on a 16 x 16 grid, the size they were designed at.
QPainterPath glyphPath(ToolbarButton::Glyph glyph)
{
    using G = ToolbarButton::Glyph;
    QPainterPath path;
    switch (glyph) {
    case G::Play: path = triangle({5, 3}, {5, 13}, {12, 8}); break;
    case G::Pause:
        path.addRect(4, 3, 3, 10);
        path.addRect(9, 3, 3, 10);
        break;
    case G::Stop: path.addRect(4, 4, 8, 8); break;
    case G::Back:
        path = triangle({8, 3}, {8, 13}, {2, 8});
        path.addPath(triangle({14, 3}, {14, 13}, {8, 8}));
        break;
    case G::Forward:
        path = triangle({2, 3}, {2, 13}, {8, 8});
        path.addPath(triangle({8, 3}, {8, 13}, {14, 8}));
        break;
    case G::Previous:
        path.addRect(3, 3, 2, 10);
        path.addPath(triangle({13, 3}, {13, 13}, {5, 8}));
        break;
    case G::Next:
        path = triangle({3, 3}, {3, 13}, {11, 8});
        path.addRect(11, 3, 2, 10);
        break;
    }
    return path;
}

}  // namespace

ToolbarButton::ToolbarButton(Glyph glyph, QWidget* parent) : QAbstractButton(parent), glyph_(glyph)
{
    setFocusPolicy(Qt::NoFocus);
}

void ToolbarButton::setFramed(bool framed)
{
    if (framed_ == framed)
        return;
    framed_ = framed;
    update();
}

void ToolbarButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kGround);
    p.setRenderHint(QPainter::Antialiasing);
    p.save();
    p.scale(width() / 16.0, height() / 16.0);
    p.fillPath(glyphPath(glyph_), kInk);
    p.restore();
    if (framed_) {
        QPen pen(kFrame, 1);
        pen.setCosmetic(true);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(pen);
        p.drawRect(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
    }
}

// The bar never takes the keyboard focus: not when mapped, not when it
// slides out, not on a click (WM_HINTS input false; Qt asks for activation
// on every press unless the window does not accept focus). Otherwise a
// window manager that focuses docks on click takes the focus from the
// user's window, and an active bar would never slide back.
ToolbarForm::ToolbarForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setWindowTitle(QLatin1String(kApplicationName));
    setObjectName(QStringLiteral("ToolbarForm"));
    setAttribute(Qt::WA_X11NetWmWindowTypeDock);  // a dock from its first mapping on
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    resize(kClientSize);
    for (int i = 0; i < kButtonCount; ++i) {
        auto* b = new ToolbarButton(static_cast<Button>(i), this);
        b->setGeometry(kButtonLeft[i], kButtonTop, kButtonSize, kButtonSize);
        connect(b, &QAbstractButton::clicked, this, [this, b] {
            if (!b->framed())
                emit buttonClicked(b->glyph());
        });
        buttons_[static_cast<std::size_t>(i)] = b;
    }
    clip_ = new QLabel(this);
    clip_->setObjectName(QStringLiteral("Clip"));
    clip_->setFont(QFont(QStringLiteral("Arial"), 8));
    clip_->setTextFormat(Qt::PlainText);
    clip_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    clip_->setAttribute(Qt::WA_TransparentForMouseEvents);  // a press on it drags the bar
    clip_->setGeometry(kClipLeft, 0, width() - kClipLeft, height());
}

void ToolbarForm::setAllFramed(bool framed)
{
    for (ToolbarButton* b : buttons_)
        b->setFramed(framed);
}

void ToolbarForm::keyPressEvent(QKeyEvent* event)
{
    if (keySink_)
        forwardKey(*keySink_, *event);
}

void ToolbarForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kGround);
    // A thin line along the lower edge: the strip that stays on the screen
    // while the bar is hidden.
    p.fillRect(QRect(0, height() - 1, width(), 1), kFrame);
}

void ToolbarForm::resizeEvent(QResizeEvent*)
{
    clip_->setGeometry(kClipLeft, 0, std::max(0, width() - kClipLeft - 4), height());
}

}  // namespace velmora
