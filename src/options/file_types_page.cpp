#include "options/file_types_page.h"

#include "options/file_choice.h"
#include "options/options_effects.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {

namespace {

constexpr int kIconSide = 48;  // device-independent pixels

Qt::CheckState markOf(bool checked) { return checked ? Qt::Checked : Qt::Unchecked; }

}  // namespace

FileTypesPage::FileTypesPage(FileTypeOperations& types, QWidget* parent) : QWidget(parent), types_(types)
{
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("Types"));
    typeIcon_ = new QLabel(this);
    typeIcon_->setObjectName(QStringLiteral("TypeIcon"));
    typeIcon_->setFixedSize(kIconSide + 8, kIconSide + 8);
    typeIcon_->setAlignment(Qt::AlignCenter);
    typeIcon_->setFrameShape(QFrame::StyledPanel);
    mimeTypes_ = new QLabel(this);
    mimeTypes_->setObjectName(QStringLiteral("MimeTypes"));
    mimeTypes_->setWordWrap(true);
    mimeTypes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    newFileType_ = new QLineEdit(this);
    newFileType_->setObjectName(QStringLiteral("NewFileType"));

    auto* column = new QVBoxLayout;
    column->addWidget(typeIcon_, 0, Qt::AlignHCenter);
    column->addWidget(newFileType_);
    column->addWidget(addButton("AddType", QStringLiteral("&Добавить тип"), &FileTypesPage::addType));
    column->addWidget(addButton("RemoveType", QStringLiteral("&Удалить тип"), &FileTypesPage::removeType));
    column->addSpacing(newFileType_->sizeHint().height() / 2);
    column->addWidget(addButton("SelectIcon", QStringLiteral("Выбрать &иконку"), &FileTypesPage::selectIcon));
    column->addWidget(addButton("DefaultIcon", QStringLiteral("Иконка по умол&чанию"), &FileTypesPage::defaultIcon));
    column->addSpacing(newFileType_->sizeHint().height() / 2);
    column->addWidget(addButton("SelectAll", QStringLiteral("Выбрать вс&е"), &FileTypesPage::selectAll));
    column->addWidget(addButton("UnSelectAll", QStringLiteral("&Снять все"), &FileTypesPage::unselectAll));
    column->addStretch(1);
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(list_, 1);
    listColumn->addWidget(mimeTypes_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(listColumn, 1);
    layout->addLayout(column);

    // Tab goes down the column after the list, the text box before its button.
    setTabOrder(list_, newFileType_);
    setTabOrder(newFileType_, &button("AddType"));
    connect(newFileType_, &QLineEdit::returnPressed, this, &FileTypesPage::addType);
    connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* current) { currentChanged(current); });
    connect(list_, &QListWidget::itemChanged, this, &FileTypesPage::itemChanged);
}

QPushButton* FileTypesPage::addButton(const char* name, const QString& caption, void (FileTypesPage::*action)())
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, action);
    return b;
}

QPushButton& FileTypesPage::button(const char* name)
{
    return *findChild<QPushButton*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

void FileTypesPage::fill()
{
    const QSignalBlocker quiet(list_);
    list_->clear();
    for (int n = 1; n <= types_.count(); ++n) {
        auto* item = new QListWidgetItem(types_.name(n), list_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(markOf(types_.checked(n)));
    }
    if (list_->count() > 0)
        list_->setCurrentRow(0);
    showIcon(list_->currentRow());
}

void FileTypesPage::currentChanged(QListWidgetItem* current)
{
    if (current)
        applyMark(list_->row(current));
    else
        showIcon(-1);
}

// A mark toggled on an item that is not current (a click on its box) makes
// it current first; either way the toggled item is the one applied.
void FileTypesPage::itemChanged(QListWidgetItem* item)
{
    if (item != list_->currentItem())
        list_->setCurrentItem(item);
    else
        applyMark(list_->row(item));
}

void FileTypesPage::applyMark(int row)
{
    showIcon(row);
    if (row < 0)
        return;
    const int n = row + 1;
    if (list_->item(row)->checkState() == Qt::Checked)
        types_.AssociateType(n);
    else
        types_.DissociateType(n);
    // A take-over the desktop refused shows unmarked.
    const QSignalBlocker quiet(list_);
    list_->item(row)->setCheckState(markOf(types_.checked(n)));
}

// Read afresh each time: a replaced icon keeps its path. The MIME types
// under the list say what marking the item claims (mpg claims video/mpeg,
// which mpeg files have too).
void FileTypesPage::showIcon(int row)
{
    typeIcon_->clear();
    mimeTypes_->clear();
    if (row < 0 || row >= types_.count())
        return;
    mimeTypes_->setText(QStringLiteral("MIME: ") + types_.mimeTypes(row + 1).join(QStringLiteral(", ")));
    const QString path = types_.icon(row + 1);
    QImage picture = path.isEmpty() ? QImage() : QImage(path);
    if (picture.isNull())
        return;
    const qreal ratio = devicePixelRatioF();
    picture = picture.scaled(QSize(kIconSide, kIconSide) * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap pixmap = QPixmap::fromImage(picture);
    pixmap.setDevicePixelRatio(ratio);
    typeIcon_->setPixmap(pixmap);
}

void FileTypesPage::addType()
{
    const int before = types_.count();
    types_.AddFileType(newFileType_->text());
    if (types_.count() <= before)
        return;
    const int n = types_.count();
    const QSignalBlocker quiet(list_);
    auto* item = new QListWidgetItem(types_.name(n), list_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(markOf(types_.checked(n)));
}

void FileTypesPage::removeType()
{
    const int row = list_->currentRow();
    if (row < 0)
        return;
    types_.RemoveFileType(row + 1);
    {
        // The item that becomes current is only shown, not applied.
        const QSignalBlocker quiet(list_);
        delete list_->takeItem(row);
    }
    showIcon(list_->currentRow());
}

void FileTypesPage::selectIcon()
{
    const int row = list_->currentRow();
    if (row < 0)
        return;
    iconRow_ = row;
    chooseFile(*this, iconSelect_,
               {"IconSelect", QStringLiteral("Выбрать иконку"), {},
                QStringLiteral("Иконки (*.ico *.png *.svg *.xpm *.bmp)")},
               [this](const QString& file) { iconChosen(file); });
}

void FileTypesPage::iconChosen(const QString& file)
{
    if (file.isEmpty() || iconRow_ < 0 || iconRow_ >= types_.count())
        return;
    types_.ReplaceTypeIcon(iconRow_ + 1, file);
    showIcon(iconRow_);
}

void FileTypesPage::defaultIcon()
{
    const int row = list_->currentRow();
    if (row < 0)
        return;
    types_.RestoreTypeIcon(row + 1);
    showIcon(row);
}

// Every item marked (or unmarked) and applied, then the first made current.
void FileTypesPage::markAll(bool mark)
{
    {
        const QSignalBlocker quiet(list_);
        for (int row = 0; row < list_->count(); ++row) {
            if (mark)
                types_.AssociateType(row + 1);
            else
                types_.DissociateType(row + 1);
            list_->item(row)->setCheckState(markOf(types_.checked(row + 1)));
        }
        if (list_->count() > 0)
            list_->setCurrentRow(0);
    }
    showIcon(list_->currentRow());
}

}  // namespace velmora
