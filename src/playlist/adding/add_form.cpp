#include "playlist/adding/add_form.h"

#include "base/window_place.h"
#include "keys/key_sink.h"
#include "settings/settings.h"
#include "base/rounding.h"
#include "playlist/adding/adding_log.h"
#include "playlist/adding/desktop_folder.h"
#include "playlist/adding/desktop_tree.h"
#include "playlist/adding/file_list_model.h"
#include "playlist/adding/folder_walker.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QPushButton>
#include <QTreeView>
#include <QWindow>

#include <memory>

namespace velmora {

namespace {
bool usableFolder(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}
}  // namespace

AddForm::AddForm(Settings& settings, FolderWalker& walker, FolderTreeSink& sink, Hooks hooks, Options options,
                 QWidget* parent)
    : QWidget(parent, Qt::Window),
      settings_(settings),
      walker_(walker),
      sink_(sink),
      hooks_(std::move(hooks)),
      accepted_(std::move(options.accepted)),
      desktop_(options.desktopFolder.isEmpty() ? desktopFolder() : QDir::cleanPath(options.desktopFolder))
{
    setWindowTitle(QStringLiteral("Добавить файлы"));
    setObjectName(QStringLiteral("AddForm"));
    setWindowRole(objectName());  // lets tools and tests tell the windows apart
    buildWindow(options);
    restorePlace();
}

AddForm::~AddForm()
{
    // Unloaded while open (the program closes): store as a close would.
    if (isVisible())
        storePlace();
}

void AddForm::buildWindow(const Options& options)
{
    folderModel_ = new QFileSystemModel(this);
    folderModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folderModel_->setReadOnly(true);
    folderModel_->setRootPath(QStringLiteral("/"));
    DesktopTreeModel::Places places{desktop_, options.homeFolder.isEmpty() ? QDir::homePath() : options.homeFolder,
                                    options.volumes ? *options.volumes : removableVolumes()};
    folderTree_ = new DesktopTreeModel(*folderModel_, std::move(places), this);

    files_ = new FileListModel(this);
    files_->setAccepted(accepted_);

    folder_ = new QTreeView(this);
    folder_->setObjectName(QStringLiteral("Folder"));
    folder_->setModel(folderTree_);
    folder_->setHeaderHidden(true);
    folder_->setSelectionMode(QAbstractItemView::SingleSelection);
    folder_->setFocus();  // the window opens with the keys in the tree

    file_ = new QListView(this);
    file_->setObjectName(QStringLiteral("File"));
    file_->setModel(files_);
    file_->setSelectionMode(QAbstractItemView::SingleSelection);
    file_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    addFileB_ = new QPushButton(QStringLiteral("Добавить файл"), this);
    addFileB_->setObjectName(QStringLiteral("AddFileB"));
    addFolder_ = new QPushButton(QStringLiteral("Добавить папку"), this);
    addFolder_->setObjectName(QStringLiteral("AddFolder"));
    addSubFolder_ = new QPushButton(QStringLiteral("Добавить папку, включая подпапки"), this);
    addSubFolder_->setObjectName(QStringLiteral("AddSubFolder"));
    for (QPushButton* button : {addFileB_, addFolder_, addSubFolder_})
        button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addFileB_);
    buttons->addWidget(addFolder_);
    buttons->addWidget(addSubFolder_);
    auto* layout = new QGridLayout(this);
    layout->addWidget(folder_, 0, 0);
    layout->addWidget(file_, 0, 1);
    layout->addLayout(buttons, 1, 0, 1, 2);
    resize(640, 420);

    connect(folder_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { treeSelectionChanged(current); });
    // The tree fills in the background: keep the selected folder in view
    // while the folders on its way are listed.
    connect(folderModel_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        const QModelIndex current = folder_->currentIndex();
        const QString selected = folderTree_->folderPath(current);
        if (current.isValid() && (selected == loaded || selected.startsWith(childPath(loaded, QString()))))
            folder_->scrollTo(current, QAbstractItemView::PositionAtCenter);
    });
    connect(addFileB_, &QPushButton::clicked, this, &AddForm::addSelectedFile);
    // A file opened in the list (double-click, Enter) is added as by AddFileB.
    connect(file_, &QAbstractItemView::activated, this, &AddForm::addSelectedFile);
    connect(addFolder_, &QPushButton::clicked, this, &AddForm::addShownFolder);
    connect(addSubFolder_, &QPushButton::clicked, this, &AddForm::addShownFolderTree);
}

// --- Place and folder ---------------------------------------------------------

void AddForm::restorePlace()
{
    // Open: 1. the place (pixels); 2. the folder, or the top node; 3. its files.
    placeFrame(*this,
               QPoint(roundHalfEven(settings_.fraction(keys::AddLeft)), roundHalfEven(settings_.fraction(keys::AddTop))));
    selectFolder(settings_.text(keys::OpenPath));
}

void AddForm::storePlace()
{
    if (placeStored_)
        return;
    placeStored_ = true;
    settings_.setFraction(keys::AddLeft, pos().x());
    settings_.setFraction(keys::AddTop, pos().y());
    if (!shownFolder_.isEmpty())
        settings_.setText(keys::OpenPath, shownFolder_.endsWith(QLatin1Char('/')) ? shownFolder_
                                                                                  : shownFolder_ + QLatin1Char('/'));
}

void AddForm::selectFolder(const QString& folder)
{
    const QModelIndex index = folderTree_->indexForFolder(folder);
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        folder_->expand(up);
    if (folder_->currentIndex() == index)
        treeSelectionChanged(index);  // shown again (a re-read)
    else
        folder_->setCurrentIndex(index);
    folder_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void AddForm::treeSelectionChanged(const QModelIndex& current)
{
    showFolder(folderTree_->folderPath(current));
}

void AddForm::showFolder(const QString& folder)
{
    if (folder.isEmpty() || !usableFolder(folder)) {
        qCDebug(lcAdding) << "no readable folder to show:" << folder;
        shownFolder_.clear();
        files_->setFolder({});
        return;
    }
    shownFolder_ = QDir::cleanPath(folder);
    files_->setFolder(shownFolder_);  // watched from now on: changes re-read the list
}

void AddForm::setAcceptedFiles(const FileFilter& filter)
{
    accepted_ = filter;
    files_->setAccepted(filter);
}

// --- Adding -------------------------------------------------------------------

QString AddForm::selectedFilePath() const
{
    const QModelIndexList selected = file_->selectionModel()->selectedIndexes();
    if (selected.isEmpty() || shownFolder_.isEmpty())
        return {};
    return files_->filePath(selected.first());
}

void AddForm::addSelectedFile()
{
    const QString path = selectedFilePath();
    if (path.isEmpty())
        return;
    add({{AddSource::Kind::File, path, 1}});
}

void AddForm::addShownFolder()
{
    if (shownFolder_.isEmpty())
        return;
    add({{AddSource::Kind::FolderFiles, shownFolder_, 1}});
}

void AddForm::addShownFolderTree()
{
    if (shownFolder_.isEmpty())
        return;
    add({{AddSource::Kind::FolderTree, shownFolder_, 1}});
}

void AddForm::add(std::vector<AddSource> sources)
{
    // Copies, not the window: the request may finish after it closed.
    auto wasEmpty = std::make_shared<bool>(false);
    const Hooks hooks = hooks_;
    Settings* settings = &settings_;
    FolderWalker::Callbacks callbacks;
    callbacks.started = [wasEmpty, hooks] { *wasEmpty = hooks.playlistEmpty && hooks.playlistEmpty(); };
    callbacks.finished = [wasEmpty, hooks, settings](int added) {
        if (added > 0 && *wasEmpty && settings->flag(keys::AutoPlay) && !(hooks.clipLoaded && hooks.clipLoaded()) &&
            hooks.openFirstEntry)
            hooks.openFirstEntry();
        if (hooks.startMeasuring)
            hooks.startMeasuring();
    };
    walker_.add(std::move(sources), accepted_, sink_, std::move(callbacks));
}

// --- Window events ------------------------------------------------------------

void AddForm::closeEvent(QCloseEvent* event)
{
    storePlace();
    event->accept();
    emit closed();
}

void AddForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible())
        lower();  // another window was activated: go behind the others
    QWidget::changeEvent(event);
}

void AddForm::showEvent(QShowEvent* event)
{
    placeStored_ = false;
    // Keys are taken at the window, before the focused control sees them,
    // so that each press reaches the key command exactly once.
    if (QWindow* window = windowHandle())
        window->installEventFilter(this);
    QWidget::showEvent(event);
}

bool AddForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched == windowHandle() && hooks_.keys)
        forwardKey(*hooks_.keys, *static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

}  // namespace velmora
