#pragma once
// FileTypesPage: the "Типы файлов" page of the options dialog. The list
// Types shows one item per file type, marked while the program holds the
// extension; TypeIcon shows the current item's icon and the label under
// the list the MIME types its mark claims; the buttons add and
// remove types, replace or restore the current icon and mark or unmark
// every item. Each action goes straight to FileTypeOperations.
//
// Whenever the current item changes or its mark is toggled, the icon is
// shown and the item's mark is applied: marked takes the extension over,
// unmarked gives it back. Item n of the list is entry n of the table.
// UI thread only; the operations outlive the page.

#include <QPointer>
#include <QWidget>

class QFileDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace velmora {

class FileTypeOperations;

class FileTypesPage : public QWidget {
    Q_OBJECT
public:
    explicit FileTypesPage(FileTypeOperations& types, QWidget* parent = nullptr);

    // Fills the list from the table, the first item current; applies nothing.
    void fill();

    QListWidget& list() { return *list_; }
    QLabel& typeIcon() { return *typeIcon_; }
    QLabel& mimeTypes() { return *mimeTypes_; }
    QLineEdit& newFileType() { return *newFileType_; }
    QPushButton& button(const char* name);

private:
    QPushButton* addButton(const char* name, const QString& caption, void (FileTypesPage::*action)());
    void currentChanged(QListWidgetItem* current);
    void itemChanged(QListWidgetItem* item);
    void applyMark(int row);
    void showIcon(int row);
    void addType();
    void removeType();
    void selectIcon();
    void iconChosen(const QString& file);
    void defaultIcon();
    void markAll(bool mark);
    void selectAll() { markAll(true); }
    void unselectAll() { markAll(false); }

    FileTypeOperations& types_;
    QListWidget* list_ = nullptr;
    QLabel* typeIcon_ = nullptr;
    QLabel* mimeTypes_ = nullptr;  // the current item's MIME types
    QLineEdit* newFileType_ = nullptr;
    QPointer<QFileDialog> iconSelect_;
    int iconRow_ = -1;  // the item whose icon the open dialog replaces
};

}  // namespace velmora
