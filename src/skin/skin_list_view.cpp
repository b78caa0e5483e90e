#include "skin/skin_list_view.h"

#include <QEvent>
#include <QImage>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyledItemDelegate>

namespace velmora {

namespace {

// Rows of one height whatever they hold, so that counting empty rows gives
// the number of filled rows that fit; a selected row keeps its own colour.
class RowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        const int text = option.fontMetrics.height() + 2;
        const int check = option.widget ? option.widget->style()->pixelMetric(QStyle::PM_IndicatorHeight) + 2 : 0;
        s.setHeight(std::max(text, check));
        return s;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem o(option);
        initStyleOption(&o, index);
        const QVariant fg = index.data(Qt::ForegroundRole);
        if (fg.canConvert<QBrush>())
            o.palette.setBrush(QPalette::HighlightedText, fg.value<QBrush>());
        QStyledItemDelegate::paint(painter, o, index);
    }
};

// Check boxes drawn in the row's own colour, so that they sit on any skin
// instead of showing the desktop style's light boxes.
class ListStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element != PE_IndicatorItemViewItemCheck) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QColor ink = option->palette.color(QPalette::Text);
        const QRectF box = QRectF(option->rect).adjusted(1.5, 1.5, -1.5, -1.5);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        QColor rim = ink;
        rim.setAlphaF(0.55);
        painter->setPen(QPen(rim, 1));
        painter->setBrush(QColor(0, 0, 0, 70));
        painter->drawRoundedRect(box, 2, 2);
        if (option->state & State_On) {
            painter->setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const QPointF a(box.left() + box.width() * 0.22, box.top() + box.height() * 0.52);
            const QPointF b(box.left() + box.width() * 0.43, box.top() + box.height() * 0.74);
            const QPointF c(box.left() + box.width() * 0.80, box.top() + box.height() * 0.28);
            painter->drawPolyline(QList<QPointF>{a, b, c});
        }
        painter->restore();
    }
};

QColor colourOf(std::uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | rgb)); }

}  // namespace

QString listFontFamily() { return QStringLiteral("DejaVu Sans"); }

SkinListView::SkinListView(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("Playlist"));
    setColumnCount(2);
    setHeaderLabels({QStringLiteral("Имя"), QStringLiteral("Длина")});
    setHeaderHidden(true);
    header()->setStretchLastSection(false);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setRootIsDecorated(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setItemDelegate(new RowDelegate(this));
    auto* style = new ListStyle;
    style->setParent(this);
    setStyle(style);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAutoScroll(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);

    QFont f(listFontFamily());
    f.setStyleHint(QFont::SansSerif);
    setFont(f);

    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::Highlight, QColor(255, 255, 255, 48));
    setPalette(p);
    viewport()->setAutoFillBackground(true);
}

QTreeWidgetItem* SkinListView::itemOfRow(int row) const
{
    if (row < 1 || row > topLevelItemCount())
        return nullptr;
    return topLevelItem(row - 1);
}

void SkinListView::setRowCount(int rows)
{
    rows = std::max(0, rows);
    if (rows == 0) {
        clear();
        return;
    }
    while (topLevelItemCount() > rows)
        delete takeTopLevelItem(topLevelItemCount() - 1);
    QList<QTreeWidgetItem*> added;
    for (int i = topLevelItemCount(); i < rows; ++i) {
        auto* item = new QTreeWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEditable
                       | Qt::ItemNeverHasChildren);
        item->setCheckState(0, Qt::Checked);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        added.append(item);
    }
    if (!added.isEmpty())
        addTopLevelItems(added);
}

void SkinListView::setRow(int row, const ListRow& content)
{
    QTreeWidgetItem* item = itemOfRow(row);
    if (!item)
        return;
    item->setCheckState(0, content.checked ? Qt::Checked : Qt::Unchecked);
    item->setText(0, content.text);
    item->setText(1, content.timeText);
    item->setForeground(0, colourOf(content.rgb));
    item->setForeground(1, colourOf(content.rgb));
}

ListRow SkinListView::row(int row) const
{
    const QTreeWidgetItem* item = itemOfRow(row);
    if (!item)
        return {};
    return {item->checkState(0) == Qt::Checked, item->text(0), item->text(1), rowColour(row)};
}

void SkinListView::setRowColour(int row, std::uint32_t rgb)
{
    if (QTreeWidgetItem* item = itemOfRow(row)) {
        item->setForeground(0, colourOf(rgb));
        item->setForeground(1, colourOf(rgb));
    }
}

std::uint32_t SkinListView::rowColour(int row) const
{
    const QTreeWidgetItem* item = itemOfRow(row);
    if (!item)
        return 0;
    return item->foreground(0).color().rgb() & 0xFFFFFFu;
}

bool SkinListView::rowChecked(int row) const
{
    const QTreeWidgetItem* item = itemOfRow(row);
    return item && item->checkState(0) == Qt::Checked;
}

int SkinListView::rowAt(QPoint point) const
{
    const QModelIndex index = indexAt(point);
    return index.isValid() ? index.row() + 1 : 0;
}

void SkinListView::styleEditor(QWidget& editor, int row) const
{
    // The desktop palette's dark text would vanish on a dark skin. The
    // picture itself would not line up behind a small field: its mean colour.
    QColor ground = palette().color(QPalette::Base);
    if (!background_.isNull())
        ground = background_.toImage().scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixelColor(0, 0);
    ground.setAlpha(255);
    QPalette p = editor.palette();
    p.setColor(QPalette::Base, ground);
    if (const QTreeWidgetItem* item = itemOfRow(row))
        p.setColor(QPalette::Text, item->foreground(0).color());
    editor.setPalette(p);
    editor.setAutoFillBackground(true);
}

void SkinListView::setBackgroundPicture(const QPixmap& picture)
{
    background_ = picture;
    QPalette p = palette();
    p.setBrush(QPalette::Base, QBrush(picture));
    setPalette(p);
    viewport()->update();
}

void SkinListView::setPointSize(double points)
{
    QFont f = font();
    f.setPointSizeF(points);
    setFont(f);
}

bool SkinListView::viewportEvent(QEvent* event)
{
    if (measuring_) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            return true;  // swallowed: a click must not reach the rows being counted
        default:
            break;
        }
    }
    return QTreeWidget::viewportEvent(event);
}

void SkinListView::keyPressEvent(QKeyEvent* event)
{
    if (measuring_) {
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

}  // namespace velmora
