#pragma once
// One existing file chosen with Qt's file dialog, without blocking: the
// dialog is window-modal to its parent (the player's other windows go on
// working), `chosen` runs with the picked path, and the dialog deletes
// itself when it closes, picked or cancelled.

#include <QPointer>
#include <QString>

#include <functional>

class QFileDialog;
class QWidget;

namespace velmora {

struct FileChoice {
    const char* name;  // the dialog's object name
    QString title, folder, filter;
};

// Opens the dialog unless `open` still holds a visible one.
void chooseFile(QWidget& parent, QPointer<QFileDialog>& open, const FileChoice& choice,
                std::function<void(const QString& file)> chosen);

}  // namespace velmora
