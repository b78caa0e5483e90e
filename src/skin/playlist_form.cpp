#include "skin/playlist_form.h"

#include "base/rounding.h"

#include <QPainter>

#include <algorithm>

namespace velmora {

namespace {
constexpr int kMeasuringRows = 100;
}

PlaylistForm::PlaylistForm() : SkinnedForm(SkinWindow::Playlist, Qt::Tool)
{
    setObjectName(QStringLiteral("PlaylistForm"));
    setWindowRole(objectName());  // lets tools and tests tell the windows apart
    // A click on a skin button must not take the focus from the list (the
    // edit buttons act on the list's selection only while it has the focus);
    // keys still come to the window when nothing in it has the focus.
    setFocusPolicy(Qt::NoFocus);
    list_ = new SkinListView(this);
    list_->lower();  // below the scroll elements should they overlap
    timeWidthProbe_ = new QLabel(this);
    timeWidthProbe_->setObjectName(QStringLiteral("Label1"));
    timeWidthProbe_->setFont(list_->font());
    timeWidthProbe_->setMargin(0);
    timeWidthProbe_->move(0, -200);  // above the window's top edge
    applyListGeometry();
}

void PlaylistForm::setListLeft(double v)
{
    listLeft_ = v;
    applyListGeometry();
}

void PlaylistForm::setListTop(double v)
{
    listTop_ = v;
    applyListGeometry();
}

void PlaylistForm::setListWidth(double v)
{
    listWidth_ = std::max(0.0, v);
    applyListGeometry();
}

void PlaylistForm::setListHeight(double v)
{
    listHeight_ = std::max(0.0, v);
    applyListGeometry();
}

void PlaylistForm::applyListGeometry()
{
    list_->setGeometry(roundHalfEven(listLeft_), roundHalfEven(listTop_), roundHalfEven(listWidth_),
                       roundHalfEven(listHeight_));
}

bool PlaylistForm::cutListBackground()
{
    const QSize size(roundHalfEven(listWidth_), roundHalfEven(listHeight_));
    if (size.isEmpty())
        return false;
    // The work picture: the list's size, filled with what lies under the list.
    QPixmap picture1(size);
    picture1.fill(Qt::black);
    if (!background().isNull()) {
        QPainter painter(&picture1);
        painter.drawImage(QPoint(0, 0), background(),
                          QRect(QPoint(roundHalfEven(listLeft_), roundHalfEven(listTop_)), size));
    }
    list_->setBackgroundPicture(picture1);
    return true;
}

void PlaylistForm::setListPointSize(double points)
{
    list_->setPointSize(points);
    QFont f = timeWidthProbe_->font();
    f.setPointSizeF(points);
    timeWidthProbe_->setFont(f);
}

void PlaylistForm::sizeColumns()
{
    timeWidthProbe_->setText(QStringLiteral("00:00:00"));
    timeWidthProbe_->adjustSize();
    const int labelWidth = timeWidthProbe_->width();
    list_->setColumnWidth(1, labelWidth + 15);
    list_->setColumnWidth(0, std::max(0, roundHalfEven(listWidth_) - labelWidth - 30));
}

std::optional<int> PlaylistForm::measureVisibleRows()
{
    list_->setMeasuring(true);
    list_->clear();
    list_->setRowCount(kMeasuringRows);
    // The first pixel column: the rows span the list's whole width.
    const int bottom = roundHalfEven(listHeight_) - 1;
    const int row = list_->rowAt(QPoint(0, bottom));
    // Every row that fits whole: the row under the bottom pixel counts when
    // that pixel is its last one.
    const bool wholeAtBottom =
        row > 0 && list_->visualItemRect(list_->topLevelItem(row - 1)).bottom() <= bottom;
    list_->clear();
    list_->setMeasuring(false);
    if (row <= 0)
        return std::nullopt;
    return wholeAtBottom ? row : row - 1;
}

}  // namespace velmora
