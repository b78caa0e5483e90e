#include "shell/type_icons.h"

#include "base/program_folder.h"
#include "shell/default_file_types.h"
#include "shell/shell_log.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

namespace velmora {

namespace {

bool staysInFolder(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

void removeSet(const QString& folder, const QString& name)
{
    for (const QString& file : iconSetFiles(folder, name)) {
        if (QFileInfo::exists(file) && !QFile::remove(file))
            qCDebug(lcShell) << "cannot delete" << file;
    }
}

// A plain copy: QFile::copy syncs every file to the disk, which makes the
// first start's filling of the icon folder take a noticeable moment.
bool copyFile(const QString& from, const QString& to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QFile::remove(to);
    QFile out(to);
    return out.open(QIODevice::WriteOnly) && out.write(in.readAll()) == in.size();
}

void copySet(const QString& fromFolder, const QString& fromName, const QString& toFolder, const QString& toName)
{
    const QStringList from = iconSetFiles(fromFolder, fromName);
    const QStringList to = iconSetFiles(toFolder, toName);
    for (qsizetype i = 0; i < from.size() && i < to.size(); ++i) {
        QDir().mkpath(QFileInfo(to[i]).absolutePath());
        if (!copyFile(from[i], to[i]))
            qCDebug(lcShell) << "cannot copy" << from[i] << "to" << to[i];
    }
}

// The largest picture of the file (an icon file holds several), or for a
// drawing (SVG) one rendered at the size asked for.
QImage readPicture(const QString& file, int size)
{
    QImageReader reader(file);
    if (reader.supportsOption(QImageIOHandler::ScaledSize) && reader.format() == "svg") {
        reader.setScaledSize(QSize(size, size));
        return reader.read();
    }
    QImage best;
    const int count = std::max(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        if (image.width() * image.height() > best.width() * best.height())
            best = image;
    }
    return best;
}

// The picture scaled into a square of the size, centred, the rest clear.
QImage squared(const QImage& picture, int size)
{
    QImage out(size, size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    const QImage scaled = picture.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter p(&out);
    p.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
    return out;
}

}  // namespace

QStringList iconSetFiles(const QString& folder, const QString& name)
{
    if (!staysInFolder(name) || folder.isEmpty())
        return {};
    const QString base = withSlash(folder);
    QStringList files{base + name + QStringLiteral(".png")};
    for (const int size : kSmallIconSizes)
        files << base + QStringLiteral("%1x%1/").arg(size) + name + QStringLiteral(".png");
    return files;
}

TypeIcons::TypeIcons(QString currentFolder, QString factoryFolder)
    : current_(withSlash(std::move(currentFolder))), factory_(withSlash(std::move(factoryFolder))),
      addedFactory_(withSlash(QFileInfo(QDir::cleanPath(current_)).absolutePath()) + QStringLiteral("default icons/"))
{
    fillDelay_.setSingleShot(true);
    fillDelay_.setInterval(std::chrono::milliseconds(2000));
    fillDelay_.callOnTimeout([this] { startFilling(); });
}

QString TypeIcons::iconPath(const QString& name) const
{
    return current_ + name + QStringLiteral(".png");
}

TypeIcons::~TypeIcons()
{
    finishFilling();
}

void TypeIcons::finishFilling()
{
    if (fillDelay_.isActive())
        startFilling();
    if (filler_.joinable())
        filler_.join();
}

void TypeIcons::fillCurrentFolder()
{
    const QString templateName = QString::fromLatin1(kTemplateIconName.data(), kTemplateIconName.size());
    if (filler_.joinable() || fillDelay_.isActive() || QFileInfo::exists(iconPath(templateName)))
        return;
    // Some hundred and forty pictures: the first start's windows do not wait.
    fillDelay_.start();
}

void TypeIcons::startFilling()
{
    fillDelay_.stop();
    const QString templateName = QString::fromLatin1(kTemplateIconName.data(), kTemplateIconName.size());
    filler_ = std::thread([from = factory_, to = current_, templateName] {
        QStringList last;
        QDirIterator it(from, {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString relative = QDir(from).relativeFilePath(file);
            if (QFileInfo(file).completeBaseName() == templateName) {
                last << relative;  // its presence says the folder is whole
                continue;
            }
            QDir().mkpath(QFileInfo(to + relative).absolutePath());
            copyFile(file, to + relative);
        }
        std::sort(last.begin(), last.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
        for (const QString& relative : last) {
            QDir().mkpath(QFileInfo(to + relative).absolutePath());
            copyFile(from + relative, to + relative);
        }
    });
}

void TypeIcons::addType(const QString& name)
{
    finishFilling();
    const QString templateName = QString::fromLatin1(kTemplateIconName.data(), kTemplateIconName.size());
    if (!staysInFolder(name) || name == templateName)
        return;
    removeSet(current_, name);
    copySet(current_, templateName, current_, name);
    copySet(factory_, templateName, addedFactory_, name);
}

void TypeIcons::removeType(const QString& name)
{
    finishFilling();
    if (name == QLatin1String(kTemplateIconName.data(), kTemplateIconName.size()))
        return;  // the template stays, whatever a hand-edited table names
    removeSet(current_, name);
    removeSet(addedFactory_, name);
}

bool TypeIcons::replace(const QString& name, const QString& sourceFile)
{
    finishFilling();
    const QStringList files = iconSetFiles(current_, name);
    if (files.isEmpty())
        return false;
    // Every picture is in memory before the old set goes.
    const int sizes[] = {kLargeIconSize, kSmallIconSizes[0], kSmallIconSizes[1], kSmallIconSizes[2]};
    QList<QImage> pictures;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QImage picture = readPicture(sourceFile, sizes[i]);
        if (picture.isNull()) {
            qCDebug(lcShell) << "not a picture:" << sourceFile;
            return false;
        }
        pictures << squared(picture, sizes[i]);
    }
    removeSet(current_, name);
    for (qsizetype i = 0; i < files.size(); ++i) {
        QDir().mkpath(QFileInfo(files[i]).absolutePath());
        if (!pictures[i].save(files[i], "PNG"))
            qCDebug(lcShell) << "cannot write" << files[i];
    }
    return true;
}

void TypeIcons::restore(const QString& name)
{
    finishFilling();
    if (!staysInFolder(name))
        return;
    const QString templateName = QString::fromLatin1(kTemplateIconName.data(), kTemplateIconName.size());
    QString folder = factory_, source = name;
    if (!QFileInfo::exists(iconSetFiles(factory_, name).value(0))) {
        folder = addedFactory_;
        if (!QFileInfo::exists(iconSetFiles(addedFactory_, name).value(0))) {
            folder = factory_;
            source = templateName;
        }
    }
    if (!QFileInfo::exists(iconSetFiles(folder, source).value(0)))
        return;  // nothing to restore from: the current set stays
    removeSet(current_, name);
    copySet(folder, source, current_, name);
}

void TypeIcons::removeCurrentFolder()
{
    fillDelay_.stop();  // nothing to fill any more
    finishFilling();
    QDir(addedFactory_).removeRecursively();
    QDir(current_).removeRecursively();
    QDir().rmdir(QFileInfo(QDir::cleanPath(current_)).absolutePath());
}

}  // namespace velmora
