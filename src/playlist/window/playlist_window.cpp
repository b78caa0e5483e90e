#include "playlist/window/playlist_window.h"

#include "base/rounding.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_log.h"
#include "playlist/playlist_model.h"
#include "skin/playlist_form.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

namespace velmora {

namespace {
constexpr int kMeasuringInterval = 500;  // ms, the measuring sweep's timer
}

PlaylistWindow::PlaylistWindow(PlaylistForm& form, PlaylistModel& model, Settings& settings, Hooks hooks)
    : form_(form), model_(model), settings_(settings), hooks_(std::move(hooks)), rows_(form)
{
    measuringTimer_.setObjectName(QStringLiteral("Timer1"));
    measuringTimer_.setInterval(kMeasuringInterval);
    connect(&measuringTimer_, &QTimer::timeout, this, [this] { model_.measurePendingDurations(); });
    wireElements();
    wireList();
    model_.setRowView(&rows_);
}

PlaylistWindow::~PlaylistWindow()
{
    model_.setRowView(nullptr);
    unwireList();
    if (ignoringKeys_ && hooks_.setIgnoreKeys)
        hooks_.setIgnoreKeys(false);
    delete saveDialog_.data();
}

TransImg* PlaylistWindow::element(const char* name) const { return form_.element(name); }

void PlaylistWindow::startMeasuring()
{
    if (!measuringTimer_.isActive())
        measuringTimer_.start();
}

void PlaylistWindow::enablePlus()
{
    if (TransImg* plus = element("Plus"))
        plus->setEnabled(true);
}

void PlaylistWindow::skinApplied(int visibleRows)
{
    model_.setColours(form_.colours());
    model_.setVisibleRows(visibleRows);
    model_.invalidateView();
    model_.refresh();
}

// --- Elements ------------------------------------------------------------

void PlaylistWindow::wireElements()
{
    // The edit buttons, Save and the scroll buttons act on a press of any
    // button; Plus on a click.
    auto onPress = [this](const char* name, auto action) {
        if (TransImg* e = element(name))
            connect(e, &TransImg::mouseDown, this, [action](int, int, double, double) { action(); });
    };
    onPress("Minus", [this] { pressMinus(); });
    onPress("Untree", [this] { pressUntree(); });
    onPress("Up", [this] { pressMove(true); });
    onPress("Down", [this] { pressMove(false); });
    onPress("Save", [this] { pressSave(); });
    onPress("ScrollUp", [this] { scrollBy(-1); });
    onPress("ScrollDown", [this] { scrollBy(1); });
    if (TransImg* plus = element("Plus")) {
        connect(plus, &TransImg::clicked, this, [this, plus] {
            plus->setEnabled(false);
            if (hooks_.showAddForm)
                hooks_.showAddForm();
        });
    }
    // The wheel over the scroll bar scrolls the list, as over the list.
    for (const char* name : {"Scroll", "ScrollBack", "ScrollUp", "ScrollDown"}) {
        if (TransImg* e = element(name))
            e->installEventFilter(this);
    }
    if (TransImg* thumb = element("Scroll")) {
        connect(thumb, &TransImg::mouseDown, this, [this](int b, int, double, double y) { thumbPressed(b, y); });
        connect(thumb, &TransImg::mouseMove, this, [this](int b, int, double, double y) { thumbMoved(b, y); });
        // The drag may have left the thumb between two exact places.
        connect(thumb, &TransImg::mouseUp, this, [this](int, int, double, double) {
            model_.invalidateView();
            model_.refresh();
        });
    }
}

int PlaylistWindow::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = form_.list().selectedItems();
    if (selected.isEmpty())
        return 0;
    return form_.list().indexOfTopLevelItem(selected.first()) + 1;
}

int PlaylistWindow::selectedEntry() const
{
    const int row = selectedRow();
    if (row == 0)
        return 0;
    const int index = model_.scrollOffset() + row;
    return index <= model_.playlistCount() ? index : 0;
}

void PlaylistWindow::selectRow(int row)
{
    SkinListView& list = form_.list();
    if (QTreeWidgetItem* item = list.topLevelItem(row - 1)) {
        list.setCurrentItem(item);
        item->setSelected(true);
    }
}

void PlaylistWindow::pressMinus()
{
    const int index = listFocus_ ? selectedEntry() : 0;
    if (index == 0)
        return;
    listFocus_ = false;
    model_.removeEntryWithSubtree(index);
}

void PlaylistWindow::pressUntree()
{
    const int index = listFocus_ ? selectedEntry() : 0;
    if (index == 0)
        return;
    listFocus_ = false;
    model_.flattenGroup(index);
}

void PlaylistWindow::pressMove(bool up)
{
    const int index = listFocus_ ? selectedEntry() : 0;
    if (index == 0)
        return;
    const std::optional<int> moved = up ? model_.moveUp(index) : model_.moveDown(index);
    if (!moved) {
        listFocus_ = false;
        return;
    }
    // Keep the moved entry in view, on its row, so that the next press
    // moves it again.
    showAndSelect(*moved);
    form_.list().setFocus();
}

void PlaylistWindow::showAndSelect(int index)
{
    const int count = model_.playlistCount();
    if (count == 0)
        return;
    index = std::clamp(index, 1, count);
    // Scrolled no further than it takes to bring the entry into view.
    int offset = model_.scrollOffset();
    if (offset >= index)
        offset = index - 1;
    if (index > offset + model_.visibleRows())
        offset = index - model_.visibleRows();
    model_.setScrollOffset(offset);
    model_.refresh();
    selectRow(index - model_.scrollOffset());
}

void PlaylistWindow::removeSelected()
{
    const int row = selectedRow();
    const int index = selectedEntry();
    if (index == 0)
        return;
    model_.removeEntryWithSubtree(index);
    // The selection stays on its row, now the next entry, for the next press.
    if (const int rows = form_.list().rowCount(); rows > 0)
        selectRow(std::min(row, rows));
}

// --- Scrolling -------------------------------------------------------------

bool PlaylistWindow::scrollBy(int rows)
{
    const int before = model_.scrollOffset();
    model_.setScrollOffset(before + rows);  // clamped by the model
    if (model_.scrollOffset() == before)
        return false;
    model_.refresh();
    return true;
}

void PlaylistWindow::thumbPressed(int button, double y)
{
    if (button == 1)
        thumbGrab_ = roundHalfEven(y);
}

void PlaylistWindow::thumbMoved(int button, double y)
{
    TransImg* thumb = element("Scroll");
    TransImg* track = element("ScrollBack");
    if ((button & 1) == 0 || !thumb || !track)
        return;
    // 1. The thumb follows the pointer within the track.
    const double trackTop = track->top();
    const int span = track->pictureHeight() - thumb->pictureHeight();
    double top = roundHalfEven(thumb->top() + y - thumbGrab_);
    top = std::max(top, trackTop);
    top = std::min(top, trackTop + span);
    thumb->setTop(top);
    // 2. The offset it stands for.
    const int range = model_.playlistCount() - model_.visibleRows();
    if (span <= 0 || range <= 0)
        return;
    const int offset = roundHalfEven((top - trackTop) * range / span);
    if (offset != model_.scrollOffset()) {
        model_.setScrollOffset(offset);
        model_.refresh();
    }
}

// --- Saving ----------------------------------------------------------------

namespace {
QString withPlaylistSuffix(const QString& path)
{
    if (isPlaylistFilePath(path))
        return path;
    return path + (path.endsWith(QLatin1Char('.')) ? QStringLiteral("pml") : QStringLiteral(".pml"));
}

// Qt's dialog adds its default suffix only to a name without any, and asks
// about overwriting before fileSelected: the name gets ".pml" first, so the
// question is about the file that will be written.
class PlaylistSaveDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    void accept() override
    {
        const QString chosen = selectedFiles().value(0);
        if (!chosen.isEmpty() && !QFileInfo(chosen).isDir() && !isPlaylistFilePath(chosen))
            selectFile(withPlaylistSuffix(chosen));
        QFileDialog::accept();
    }
};
}  // namespace

void PlaylistWindow::pressSave()
{
    if (saveDialog_) {
        saveDialog_->raise();
        return;
    }
    auto* dialog = new PlaylistSaveDialog(&form_, QStringLiteral("Сохранить список воспроизведения"), QDir::homePath(),
                                   QStringLiteral("*.pml"));
    dialog->setObjectName(QStringLiteral("SaveDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog applies the suffix before it asks about overwriting,
    // so the question is about the file that will be written.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setDefaultSuffix(QStringLiteral("pml"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) { saveTo(file); });
    saveDialog_ = dialog;
    dialog->open();
}

QFileDialog* PlaylistWindow::saveDialog() const { return saveDialog_.data(); }

bool PlaylistWindow::saveTo(const QString& path)
{
    if (path.isEmpty())
        return false;
    // Only a ".pml" name is read back as a playlist ("Mix 1.5" would be
    // taken for a clip).
    const QString file = withPlaylistSuffix(path);
    const bool saved = savePlaylistFile(model_, file);
    if (!saved)
        qCDebug(lcPlaylist) << "playlist not saved:" << file;
    return saved;
}

}  // namespace velmora
