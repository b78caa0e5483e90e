#include "skin/main_form.h"

#include "base/format_time.h"
#include "base/rounding.h"

#include <QEvent>
#include <QMouseEvent>

namespace velmora {

QString timeFontFamily() { return QStringLiteral("DejaVu Sans Mono"); }

SkinLabel::SkinLabel(QWidget* parent) : QLabel(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setTextFormat(Qt::PlainText);
    setMargin(0);
}

void SkinLabel::setSkinText(const QString& text)
{
    setText(text);
    adjustSize();
}

void SkinLabel::setPointSize(double points)
{
    QFont f = font();
    f.setPointSizeF(points);
    setFont(f);
    adjustSize();
}

void SkinLabel::setTextColour(std::uint32_t rgb)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor::fromRgb(static_cast<QRgb>(0xFF000000u | rgb)));
    setPalette(p);
}

std::uint32_t SkinLabel::textColour() const { return palette().color(QPalette::WindowText).rgb() & 0xFFFFFFu; }

void SkinLabel::setLeft(double left)
{
    left_ = left;
    move(roundHalfEven(left_), roundHalfEven(top_));
}

void SkinLabel::setTop(double top)
{
    top_ = top;
    move(roundHalfEven(left_), roundHalfEven(top_));
}

void SkinLabel::mousePressEvent(QMouseEvent* event) { event->accept(); }
void SkinLabel::mouseMoveEvent(QMouseEvent* event) { event->accept(); }
void SkinLabel::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }

namespace {
// Enabled while a clip is open; Pause only while it plays.
constexpr std::string_view kTransport[] = {"Play", "Stop", "Back", "Forward", "StepBack", "StepForward", "SliderPlay"};
}

MainForm::MainForm() : SkinnedForm(SkinWindow::Main, Qt::Window)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowRole(objectName());  // lets tools and tests tell the windows apart
    knob_ = element("SliderPlay");
    track_ = element("SliderPlayBack");

    QFont f(timeFontFamily());
    f.setStyleHint(QFont::Monospace);
    currentTime_ = new SkinLabel(this);
    currentTime_->setObjectName(QStringLiteral("CurrentTime"));
    currentTime_->setToolTip(QStringLiteral("Текущее время"));
    time_ = new SkinLabel(this);
    time_->setObjectName(QStringLiteral("Time"));
    time_->setToolTip(QStringLiteral("Продолжительность клипа"));
    for (SkinLabel* label : {currentTime_, time_}) {
        label->setFont(f);
        label->setSkinText(QStringLiteral("00:00:00"));
    }
}

void MainForm::showPlayback(const PlaybackState& state)
{
    const bool open = state.clipOpen();
    for (std::string_view name : kTransport) {
        if (TransImg* e = element(name))
            e->setEnabled(open);
    }
    element("Pause")->setEnabled(state.playing());
    if (open) {
        time_->setSkinText(formatSeconds(state.length));
    } else {
        const QString zero = QStringLiteral("00:00:00");
        time_->setSkinText(zero);
        currentTime_->setSkinText(zero);
        knob_->setLeft(track_->left());
    }
}

void MainForm::setCurrentTimeText(const QString& text) { currentTime_->setSkinText(text); }

double MainForm::trackLeft() const { return track_->left(); }
double MainForm::trackWidth() const { return track_->pictureWidth(); }
double MainForm::knobLeft() const { return knob_->left(); }
double MainForm::knobWidth() const { return knob_->pictureWidth(); }
void MainForm::setKnobLeft(double left) { knob_->setLeft(left); }

void MainForm::changeEvent(QEvent* event)
{
    SkinnedForm::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && onStateChanged)
        onStateChanged(windowState());
    else if (event->type() == QEvent::ActivationChange && isActiveWindow() && onActivated)
        onActivated();
}

}  // namespace velmora
