// The list area's handlers: focus, keys, wheel, clicks and check boxes,
// double-click, label editing, the path tooltip and drops.

#include "playlist/window/playlist_window.h"

#include "keys/key_map.h"
#include "keys/key_sink.h"
#include "settings/settings.h"
#include "playlist/playlist_log.h"
#include "playlist/playlist_model.h"
#include "skin/playlist_form.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QSysInfo>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <memory>

namespace velmora {

// Paints and toggles check boxes as the list's own delegate does, and asks
// the window before an edit starts and after it ends.
class PlaylistWindow::LabelDelegate : public QStyledItemDelegate {
public:
    LabelDelegate(PlaylistWindow& window, QAbstractItemDelegate* look, QObject* parent)
        : QStyledItemDelegate(parent), window_(&window), look_(look)
    {
    }
    QAbstractItemDelegate* look() const { return look_; }
    // The window is going: an editor still open commits to nobody.
    void detach() { window_ = nullptr; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        look_->paint(painter, option, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return look_->sizeHint(option, index);
    }
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override
    {
        return look_->editorEvent(event, model, option, index);
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.column() != 0 || !window_ || !window_->labelEditStarting(index.row() + 1))
            return nullptr;
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor)
            window_->form_.list().styleEditor(*editor, index.row() + 1);
        return editor;
    }
    // Filled once: the list's refreshes (scrolling, the current row's colour)
    // rewrite the row under an open editor and must not replace what is typed.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (editor->property(kFilled).toBool())
            return;
        editor->setProperty(kFilled, true);
        QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex&) const override
    {
        // The row keeps its text; the model's refresh rewrites it.
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line && window_)
            window_->labelEditCommitted(line->text());
    }
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override
    {
        if (window_)
            window_->labelEditEnded();
        QStyledItemDelegate::destroyEditor(editor, index);
    }

private:
    static constexpr const char* kFilled = "velmoraFilled";
    PlaylistWindow* window_;
    QAbstractItemDelegate* look_;
};

void PlaylistWindow::wireList()
{
    SkinListView& list = form_.list();
    list.installEventFilter(this);
    list.viewport()->installEventFilter(this);
    list.viewport()->setMouseTracking(true);
    list.setAcceptDrops(true);
    list.viewport()->setAcceptDrops(true);
    list.setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    labelDelegate_ = new LabelDelegate(*this, list.itemDelegate(), &list);
    list.setItemDelegate(labelDelegate_);

    connect(&list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        if (listMeasuring())
            return;
        clickedRow_ = form_.list().indexOfTopLevelItem(item) + 1;
        copyCheckBoxes();
    });
    connect(&list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) {
        if (listMeasuring())
            return;
        clickedRow_ = form_.list().indexOfTopLevelItem(item) + 1;
        if (clickedRow_ > 0 && hooks_.openEntry)
            hooks_.openEntry(model_.scrollOffset() + clickedRow_);
    });
}

void PlaylistWindow::unwireList()
{
    SkinListView& list = form_.list();
    list.removeEventFilter(this);
    list.viewport()->removeEventFilter(this);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
    labelDelegate_->detach();
    list.setItemDelegate(labelDelegate_->look());
    delete labelDelegate_;
    labelDelegate_ = nullptr;
}

bool PlaylistWindow::listMeasuring() const { return form_.list().measuring(); }

bool PlaylistWindow::eventFilter(QObject* watched, QEvent* event)
{
    SkinListView& list = form_.list();
    if (event->type() == QEvent::Wheel && qobject_cast<TransImg*>(watched))
        return wheelTurned(*static_cast<QWheelEvent*>(event));  // over the scroll bar
    if (watched == &list) {
        switch (event->type()) {
        case QEvent::FocusIn:
            listFocus_ = true;
            break;
        case QEvent::FocusOut: {
            // The window going to the back does not take the focus from the
            // list within it.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                listFocus_ = false;
            break;
        }
        case QEvent::KeyPress:
            return listKeyPressed(*static_cast<QKeyEvent*>(event));
        default:
            break;
        }
        return false;
    }
    if (watched != list.viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // A click on a row is the user pointing at the list again, even when
        // the keyboard focus never left it (skin buttons do not take it).
        listFocus_ = true;
        return false;
    case QEvent::Wheel:
        return wheelTurned(*static_cast<QWheelEvent*>(event));
    case QEvent::MouseMove:
        list.setToolTip(pathTipAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
        return false;
    case QEvent::ToolTip: {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = pathTipAt(help->pos());
        list.setToolTip(tip);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, list.viewport());
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!listMeasuring() && drag->mimeData()->hasUrls()) {
            // Always a copy: a "move" would let the file manager delete the files.
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            if (event->type() == QEvent::DragEnter && hooks_.clipsComing)
                hooks_.clipsComing();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (listMeasuring() || !drop->mimeData()->hasUrls()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        addDroppedPaths(droppedLocalPaths(*drop->mimeData()));
        return true;
    }
    default:
        return false;
    }
}

// --- Keys and wheel ----------------------------------------------------------

bool PlaylistWindow::listKeyPressed(QKeyEvent& event)
{
    if (listMeasuring())
        return true;
    if (editedEntry_ != 0)  // keys of the label editor are its own
        return false;
    // The arrows at the list's edges scroll it; the selection stays on its row.
    const int row = selectedRow();
    if (event.key() == Qt::Key_Up && row == 1 && element("ScrollUp") && element("ScrollUp")->isEnabled()) {
        scrollBy(-1);
        return true;
    }
    if (event.key() == Qt::Key_Down && row > 0 && row == model_.visibleRows() && element("ScrollDown")
        && element("ScrollDown")->isEnabled()) {
        scrollBy(1);
        return true;
    }
    // The keys that move through a list, play or remove in every player work
    // on the whole playlist, not only on the rows shown.
    const int n = std::max(1, model_.visibleRows());
    const int selected = selectedEntry();
    const int from = selected > 0 ? selected : model_.scrollOffset() + 1;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selected > 0 && hooks_.openEntry)
            hooks_.openEntry(selected);
        return true;
    case Qt::Key_Delete:
        removeSelected();
        return true;
    case Qt::Key_Home:
        showAndSelect(1);
        return true;
    case Qt::Key_End:
        showAndSelect(model_.playlistCount());
        return true;
    case Qt::Key_PageUp:  // first to the top row, then a page up
        showAndSelect(row > 1 ? model_.scrollOffset() + 1 : from - std::max(1, n - 1));
        return true;
    case Qt::Key_PageDown:
        showAndSelect(row > 0 && row < n ? model_.scrollOffset() + n : from + std::max(1, n - 1));
        return true;
    default:
        break;
    }
    // Keys that are commands are commands here too; the rest are the list's.
    const int vk = virtualKeyFromEvent(event);
    if (vk == 0)
        return false;
    if (hooks_.keys)
        hooks_.keys->press(vk);
    return true;
}

bool PlaylistWindow::wheelTurned(QWheelEvent& event)
{
    event.accept();  // the list never scrolls itself
    if (listMeasuring())
        return true;
    // One notch (120) scrolls the system's wheel lines; finer wheels add up.
    wheelRemainder_ += event.angleDelta().y();
    const int notches = wheelRemainder_ / 120;
    if (notches == 0)
        return true;
    wheelRemainder_ -= notches * 120;
    scrollBy(-notches * std::max(1, QApplication::wheelScrollLines()));
    return true;
}

// --- Check boxes and tooltip -------------------------------------------------

void PlaylistWindow::copyCheckBoxes()
{
    const SkinListView& list = form_.list();
    const int offset = model_.scrollOffset();
    const int rows = std::min(list.rowCount(), model_.visibleRows());
    PlaylistModel::Batch batch(model_);
    for (int r = 1; r <= rows && offset + r <= model_.playlistCount(); ++r)
        model_.setChecked(offset + r, list.rowChecked(r));
}

QString PlaylistWindow::pathTipAt(QPoint viewportPos) const
{
    const int row = form_.list().rowAt(viewportPos);
    const int index = model_.scrollOffset() + row;
    if (row == 0 || index > model_.playlistCount())
        return {};
    return model_.entry(index).path;
}

// --- Label editing -----------------------------------------------------------

QString PlaylistWindow::labelTextFromEdit(const QString& typed)
{
    QString text = typed;
    for (QChar& c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator || c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return text.trimmed();
}

bool PlaylistWindow::labelEditStarting(int row)
{
    const int index = model_.scrollOffset() + row;
    if (listMeasuring() || index <= 1 || index > model_.playlistCount())
        return false;  // the root keeps its name
    editedEntry_ = model_.entryId(index);
    if (!ignoringKeys_ && hooks_.setIgnoreKeys)
        hooks_.setIgnoreKeys(true);
    ignoringKeys_ = true;
    return true;
}

void PlaylistWindow::labelEditCommitted(const QString& typed)
{
    // The entry edited, wherever scrolling or additions have put it since.
    const int index = model_.indexOf(editedEntry_);
    if (index > 1)
        model_.setText(index, labelTextFromEdit(typed));
}

void PlaylistWindow::labelEditEnded()
{
    editedEntry_ = 0;
    if (ignoringKeys_ && hooks_.setIgnoreKeys)
        hooks_.setIgnoreKeys(false);
    ignoringKeys_ = false;
}

// --- Drops -------------------------------------------------------------------

QStringList PlaylistWindow::droppedLocalPaths(const QMimeData& data)
{
    QStringList paths;
    const QString thisHost = QSysInfo::machineHostName();
    for (QUrl url : data.urls()) {
        if (!url.isLocalFile()) {
            qCDebug(lcPlaylist) << "dropped URL is not a local file:" << url;
            continue;
        }
        const QString host = url.host();
        if (!host.isEmpty()) {
            if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0
                && host.compare(thisHost, Qt::CaseInsensitive) != 0) {
                qCDebug(lcPlaylist) << "dropped file lies on another host:" << url;
                continue;
            }
            url.setHost(QString());
        }
        const QString path = url.toLocalFile();
        if (!path.isEmpty())
            paths << path;
    }
    return paths;
}

void PlaylistWindow::addDroppedPaths(const QStringList& paths)
{
    if (hooks_.addPaths) {
        // The request may end after this window is gone: the callbacks check.
        auto wasEmpty = std::make_shared<bool>(false);
        QPointer<PlaylistWindow> self(this);
        hooks_.addPaths(
            paths, [self, wasEmpty] { *wasEmpty = self && self->model_.isEmpty(); },
            [self, wasEmpty](int added) {
                if (self)
                    self->droppedPathsAdded(added > 0 && *wasEmpty);
            });
    }
}

// AutoPlay starts a list that was empty before the drop, unless a clip is
// loaded already.
void PlaylistWindow::droppedPathsAdded(bool filledAnEmptyList)
{
    startMeasuring();
    if (filledAnEmptyList && settings_.flag(keys::AutoPlay) && !(hooks_.engineHasClip && hooks_.engineHasClip())
        && hooks_.openEntry)
        hooks_.openEntry(1);
}

}  // namespace velmora
