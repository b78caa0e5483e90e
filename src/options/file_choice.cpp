#include "options/file_choice.h"

#include <QFileDialog>

namespace velmora {

void chooseFile(QWidget& parent, QPointer<QFileDialog>& open, const FileChoice& choice,
                std::function<void(const QString& file)> chosen)
{
    if (open && open->isVisible())
        return;
    auto* dialog = new QFileDialog(&parent, choice.title, choice.folder, choice.filter);
    dialog->setObjectName(QString::fromLatin1(choice.name));
    dialog->setFileMode(QFileDialog::ExistingFile);
    QObject::connect(dialog, &QFileDialog::fileSelected, &parent, std::move(chosen));
    QObject::connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    open = dialog;
    dialog->open();
}

}  // namespace velmora
