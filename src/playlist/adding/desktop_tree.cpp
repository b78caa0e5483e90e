#include "playlist/adding/desktop_tree.h"

#include "playlist/adding/adding_log.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>

namespace velmora {

bool isRemovableMount(const QString& rootPath)
{
    for (const char* base : {"/media/", "/run/media/", "/mnt/"}) {
        if (rootPath.startsWith(QLatin1String(base)) && rootPath.size() > static_cast<qsizetype>(qstrlen(base)))
            return true;
    }
    return false;
}

QStringList removableVolumes()
{
    QStringList volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // A device behind it: no memory or virtual file systems.
        if (volume.isValid() && volume.isReady() && volume.device().startsWith("/dev/")
            && isRemovableMount(volume.rootPath()))
            volumes << volume.rootPath();
    }
    return volumes;
}

struct DesktopTreeModel::Node {
    Node* parent = nullptr;
    int row = 0;
    QString path;
    QString label;         // empty: the folder's own name
    QIcon icon;            // null: the folder icon
    bool isPlace = false;  // the desktop's places: not one of its subfolders
    bool populated = false;
    std::vector<std::unique_ptr<Node>> children;

    QString name() const { return QFileInfo(path).fileName(); }
    int folderCount() const
    {
        int n = 0;
        while (n < static_cast<int>(children.size()) && !children[static_cast<size_t>(n)]->isPlace)
            ++n;
        return n;
    }
    void renumberFrom(int first)
    {
        for (size_t i = static_cast<size_t>(std::max(0, first)); i < children.size(); ++i)
            children[i]->row = static_cast<int>(i);
    }
};

namespace {
QString childPathOf(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Whether path is folder or lies below it; rest: the steps below it.
bool liesIn(const QString& folder, const QString& path, QString& rest)
{
    if (path == folder) {
        rest.clear();
        return true;
    }
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    if (!path.startsWith(prefix))
        return false;
    rest = path.mid(prefix.size());
    return true;
}
}  // namespace

DesktopTreeModel::DesktopTreeModel(QFileSystemModel& source, Places places, QObject* parent)
    : QAbstractItemModel(parent),
      source_(source),
      root_(std::make_unique<Node>()),
      folderIcon_(QFileIconProvider().icon(QFileIconProvider::Folder))
{
    const QFileIconProvider icons;
    auto desktop = std::make_unique<Node>();
    desktop->parent = root_.get();
    desktop->path = QDir::cleanPath(places.desktop);
    desktop->label = QFileInfo(desktop->path).fileName();
    if (desktop->label.isEmpty())
        desktop->label = desktop->path;
    desktop->icon = icons.icon(QFileIconProvider::Desktop);
    desktop->isPlace = true;
    desktop_ = desktop.get();
    root_->children.push_back(std::move(desktop));
    root_->populated = true;

    // The places follow the desktop's own subfolders once those are listed.
    const QString home = QDir::cleanPath(places.home);
    if (!home.isEmpty() && home != desktop_->path)
        addPlace(home, {}, QIcon::fromTheme(QStringLiteral("user-home"), folderIcon_));
    const QString root = QDir::cleanPath(places.root);
    addPlace(root, root, icons.icon(QFileIconProvider::Computer));
    QSet<QString> seen{desktop_->path, home, root};
    for (const QString& volume : places.volumes) {
        const QString path = QDir::cleanPath(volume);
        if (seen.contains(path))
            continue;
        seen.insert(path);
        // The volume's own label where it has one, else its folder's name.
        const QStorageInfo storage(path);
        QString label = storage.rootPath() == path ? storage.displayName() : QString();
        if (label.isEmpty() || label == path)
            label = QFileInfo(path).fileName();
        addPlace(path, label, QIcon::fromTheme(QStringLiteral("drive-removable-media"),
                                                icons.icon(QFileIconProvider::Drive)));
    }

    // The source lists folders in the background and watches them: follow it.
    connect(&source_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& parent) { resyncFolder(source_.filePath(parent)); });
    connect(&source_, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex& parent) { resyncFolder(source_.filePath(parent)); });
    connect(&source_, &QAbstractItemModel::modelReset, this, [this] { resyncAll(root_.get()); });
}

DesktopTreeModel::~DesktopTreeModel() = default;

DesktopTreeModel::Node* DesktopTreeModel::addPlace(const QString& path, const QString& label, const QIcon& icon)
{
    auto place = std::make_unique<Node>();
    place->parent = desktop_;
    place->path = path;
    place->label = label;
    place->icon = icon;
    place->isPlace = true;
    place->row = static_cast<int>(desktop_->children.size());
    Node* added = place.get();
    desktop_->children.push_back(std::move(place));
    return added;
}

DesktopTreeModel::Node* DesktopTreeModel::nodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : root_.get();
}

QModelIndex DesktopTreeModel::indexOf(const Node* node) const
{
    if (!node || node == root_.get())
        return {};
    return createIndex(node->row, 0, const_cast<Node*>(node));
}

QString DesktopTreeModel::folderPath(const QModelIndex& index) const
{
    return index.isValid() ? nodeOf(index)->path : QString();
}

QModelIndex DesktopTreeModel::topIndex() const { return indexOf(desktop_); }

QModelIndex DesktopTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const Node* node = nodeOf(parent);
    if (column != 0 || row < 0 || row >= static_cast<int>(node->children.size()))
        return {};
    return createIndex(row, column, node->children[static_cast<size_t>(row)].get());
}

QModelIndex DesktopTreeModel::parent(const QModelIndex& child) const
{
    return child.isValid() ? indexOf(nodeOf(child)->parent) : QModelIndex();
}

int DesktopTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return static_cast<int>(nodeOf(parent)->children.size());
}

int DesktopTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool DesktopTreeModel::hasChildren(const QModelIndex& parent) const
{
    const Node* node = nodeOf(parent);
    // Not listed yet: a folder may hold folders (the view offers to open it).
    return !node->populated || !node->children.empty();
}

bool DesktopTreeModel::canFetchMore(const QModelIndex& parent) const { return !nodeOf(parent)->populated; }

void DesktopTreeModel::fetchMore(const QModelIndex& parent) { populate(nodeOf(parent)); }

QVariant DesktopTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Node* node = nodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return node->label.isEmpty() ? node->name() : node->label;
    case Qt::DecorationRole: return node->icon.isNull() ? folderIcon_ : node->icon;
    case Qt::ToolTipRole:
    case QFileSystemModel::FilePathRole: return node->path;
    default: return {};
    }
}

Qt::ItemFlags DesktopTreeModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QModelIndex DesktopTreeModel::indexForFolder(const QString& folder)
{
    const QString path = QDir::cleanPath(folder);
    if (folder.isEmpty() || !QFileInfo(path).isDir())
        return topIndex();
    source_.index(path);  // the source learns the folders on the way now
    // 1. Under the desktop, where the user sees it first; 2. else under the
    // place with the longest path that holds it.
    Node* node = desktop_;
    QString rest;
    if (!liesIn(desktop_->path, path, rest)) {
        node = nullptr;
        for (const auto& child : desktop_->children) {
            QString r;
            if (child->isPlace && liesIn(child->path, path, r) && (!node || child->path.size() > node->path.size())) {
                node = child.get();
                rest = r;
            }
        }
        if (!node)
            return topIndex();
    }
    // 3. Down step by step, as far as the folders are known.
    for (const QString& step : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        populate(node);
        Node* next = nullptr;
        for (int i = 0, n = node->folderCount(); i < n && !next; ++i) {
            if (node->children[static_cast<size_t>(i)]->name() == step)
                next = node->children[static_cast<size_t>(i)].get();
        }
        if (!next)
            break;
        node = next;
    }
    return indexOf(node);
}

void DesktopTreeModel::populate(Node* node)
{
    if (node->populated)
        return;
    node->populated = true;
    const QModelIndex folder = source_.index(node->path);
    if (folder.isValid() && source_.canFetchMore(folder))
        source_.fetchMore(folder);  // the rest arrives as rows inserted
    resync(node);
}

QStringList DesktopTreeModel::sourceSubfolders(const QString& path) const
{
    QStringList names;
    const QModelIndex folder = source_.index(path);
    if (!folder.isValid())
        return names;
    for (int r = 0, n = source_.rowCount(folder); r < n; ++r) {
        const QModelIndex child = source_.index(r, 0, folder);
        if (source_.isDir(child))
            names << source_.fileName(child);
    }
    std::sort(names.begin(), names.end(), [this](const QString& a, const QString& b) { return before(a, b); });
    return names;
}

bool DesktopTreeModel::before(const QString& a, const QString& b) const { return order_.compare(a, b) < 0; }

void DesktopTreeModel::resync(Node* node)
{
    if (!node->populated || node == root_.get())
        return;
    // Asking the source for a folder may list the folders on its way, and
    // report that at once: those reports wait until this one is done.
    const bool outer = !busy_;
    busy_ = true;
    resyncRows(node);
    if (!outer)
        return;
    busy_ = false;
    while (!deferred_.isEmpty()) {
        const QString next = deferred_.takeFirst();
        resyncFolder(next);
    }
}

void DesktopTreeModel::resyncRows(Node* node)
{
    const QStringList wanted = sourceSubfolders(node->path);
    const QSet<QString> wantedSet(wanted.begin(), wanted.end());
    const QModelIndex parent = indexOf(node);
    // 1. Folders that are gone leave, a run of neighbours at a time.
    for (int i = node->folderCount() - 1; i >= 0;) {
        if (wantedSet.contains(node->children[static_cast<size_t>(i)]->name())) {
            --i;
            continue;
        }
        int first = i;
        while (first > 0 && !wantedSet.contains(node->children[static_cast<size_t>(first - 1)]->name()))
            --first;
        beginRemoveRows(parent, first, i);
        node->children.erase(node->children.begin() + first, node->children.begin() + i + 1);
        node->renumberFrom(first);
        endRemoveRows();
        i = first - 1;
    }
    // 2. New folders come in at their places in the order, a run at a time
    // (what stays is already in that order).
    int i = 0;
    for (qsizetype j = 0; j < wanted.size();) {
        if (i < node->folderCount() && node->children[static_cast<size_t>(i)]->name() == wanted[j]) {
            ++i;
            ++j;
            continue;
        }
        qsizetype end = j;
        const QString next = i < node->folderCount() ? node->children[static_cast<size_t>(i)]->name() : QString();
        while (end < wanted.size() && wanted[end] != next)
            ++end;
        const int count = static_cast<int>(end - j);
        beginInsertRows(parent, i, i + count - 1);
        std::vector<std::unique_ptr<Node>> run;
        for (qsizetype k = j; k < end; ++k) {
            auto child = std::make_unique<Node>();
            child->parent = node;
            child->path = childPathOf(node->path, wanted[k]);
            run.push_back(std::move(child));
        }
        node->children.insert(node->children.begin() + i, std::make_move_iterator(run.begin()),
                              std::make_move_iterator(run.end()));
        node->renumberFrom(i);
        endInsertRows();
        i += count;
        j = end;
    }
}

void DesktopTreeModel::resyncFolder(const QString& path)
{
    if (path.isEmpty())
        return;
    if (busy_) {
        if (!deferred_.contains(path))
            deferred_ << path;
        return;
    }
    // Every place the folder stands in, as far as the tree is opened.
    std::vector<Node*> pending{root_.get()};
    std::vector<Node*> matching;
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        if (!node->populated)
            continue;
        if (node->path == path)
            matching.push_back(node);
        for (const auto& child : node->children)
            pending.push_back(child.get());
    }
    for (Node* node : matching)
        resync(node);
}

void DesktopTreeModel::resyncAll(Node* node)
{
    resync(node);
    for (size_t i = 0; i < node->children.size(); ++i)
        resyncAll(node->children[i].get());
}

}  // namespace velmora
