#pragma once
// The default skin's drawing kit: colours, button faces and the glyph of
// every button, painted with QPainter into a given rectangle.

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace skingen {

namespace colour {
inline const QColor BackgroundTop{0x27, 0x2b, 0x34};
inline const QColor BackgroundBottom{0x16, 0x18, 0x1d};
inline const QColor Rim{0x0a, 0x0b, 0x0e};
inline const QColor RimLight{0x3c, 0x42, 0x4f};
inline const QColor Panel{0x0e, 0x10, 0x13};
inline const QColor PanelBorder{0x2b, 0x2f, 0x38};
inline const QColor FaceTop{0x34, 0x39, 0x45};
inline const QColor FaceBottom{0x24, 0x27, 0x2f};
inline const QColor FaceBorder{0x0d, 0x0e, 0x11};
inline const QColor FaceLight{0x4a, 0x50, 0x5e};
inline const QColor Glyph{0xdf, 0xe4, 0xec};
inline const QColor GlyphDim{0x9a, 0xa3, 0xb2};
inline const QColor Accent{0xff, 0xb8, 0x4d};
inline const QColor AccentLight{0xff, 0xd5, 0x93};
inline const QColor AccentDark{0xc9, 0x7c, 0x16};
inline const QColor Teal{0x5e, 0xe3, 0xc1};
inline const QColor Caption{0x80, 0x89, 0x99};
inline const QColor CloseTint{0x4a, 0x2a, 0x2e};
}  // namespace colour

enum class Glyph {
    None, Play, Pause, Stop, Back, Forward, StepBack, StepForward,
    Close, Minimize, Menu, Minus, Plus, Up, Down, Untree, Save,
    ScrollUp, ScrollDown, Left, Right, SpeakerLow, SpeakerHigh,
};

// A raised button face: rounded rectangle with a soft gradient and a rim.
void paintFace(QPainter& p, const QRectF& r, double radius, const QColor& tint = QColor());
// A round face (the small window buttons).
void paintRoundFace(QPainter& p, const QRectF& r, const QColor& tint = QColor());
// The glyph, centred in r.
void paintGlyph(QPainter& p, const QRectF& r, Glyph g, const QColor& c);

// A recessed groove (tracks) and the inset panel (display, list).
void paintGroove(QPainter& p, const QRectF& r, Qt::Orientation o);
void paintPanel(QPainter& p, const QRectF& r, double radius);
// The amber knob: a round one (seek), a pill (volume, balance, scroll).
void paintRoundKnob(QPainter& p, const QRectF& r);
void paintPillKnob(QPainter& p, const QRectF& r, Qt::Orientation o);

// A window's body: gradient, rim following the rounded outline.
void paintWindowBody(QPainter& p, const QRectF& r, double cornerRadius);
// Small spaced capitals (window captions).
void paintCaption(QPainter& p, QPointF baseline, const QString& text, const QColor& c, int pixelSize = 10);

}  // namespace skingen
