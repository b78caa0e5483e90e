#pragma once
// DesktopTreeModel: the add-files window's folder tree, "the folders of the
// computer, its root the desktop" as a freedesktop system has them. One top
// node, the desktop folder; below it the desktop's own subfolders, then the
// places: the home folder (unless it is the desktop itself), the file-system
// root "/" and each mounted removable volume. Every node is a folder that
// can be listed and opened further.
//
// The folders come from a QFileSystemModel (directories only, read in the
// background): a node lists its subfolders when the view first opens it,
// and follows the model as folders appear and go. The same folder may stand
// in several places (the desktop also lies under home and "/"); each place
// is a node of its own. Subfolders sort in natural order. UI thread only;
// the source model must outlive this one.

#include "playlist/adding/natural_order.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QStringList>

#include <memory>
#include <vector>

class QFileSystemModel;
class QStorageInfo;

namespace velmora {

// Whether a mounted volume is one the user plugged in (a stick, a card, a
// disc): mounted by the desktop under /media or /run/media, or by hand
// under /mnt.
bool isRemovableMount(const QString& rootPath);
// The mount points of the removable volumes mounted now (those of a device,
// in the places above), in mount order.
QStringList removableVolumes();

class DesktopTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    struct Places {
        QString desktop;      // the top node's folder
        QString home;         // listed after the desktop's subfolders
        QStringList volumes;  // mount points, listed after the root
        QString root = QStringLiteral("/");  // the file-system root's place
    };
    DesktopTreeModel(QFileSystemModel& source, Places places, QObject* parent = nullptr);
    ~DesktopTreeModel() override;

    // The folder a node stands for (the top node: the desktop folder).
    QString folderPath(const QModelIndex& index) const;
    QModelIndex topIndex() const;
    // The node that best shows a folder: under the desktop when it lies
    // there, else under the volume, home or "/" that holds it, opened down
    // as far as the folders are known; the top node when none holds it.
    QModelIndex indexForFolder(const QString& folder);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Node;
    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* node) const;
    Node* addPlace(const QString& path, const QString& label, const QIcon& icon);
    void populate(Node* node);
    // Makes a node's folder children match the source's subfolders.
    void resync(Node* node);
    void resyncRows(Node* node);
    void resyncFolder(const QString& path);
    void resyncAll(Node* node);
    QStringList sourceSubfolders(const QString& path) const;
    bool before(const QString& a, const QString& b) const;

    QFileSystemModel& source_;
    std::unique_ptr<Node> root_;  // invisible; its one child is the desktop
    Node* desktop_ = nullptr;
    NaturalOrder order_;
    QIcon folderIcon_;
    bool busy_ = false;
    QStringList deferred_;  // folders reported while a resync ran
};

}  // namespace velmora
