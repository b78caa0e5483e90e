#include "shell/class_root.h"

#include "base/atomic_save.h"
#include "shell/desktop_projection.h"
#include "shell/shell_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace velmora {

namespace {

const QString kDefaultValueKey = QStringLiteral("@");

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The extension of a class key name "vlmr4_<ext>file"; empty for any other.
QString classExtension(const QString& keyName)
{
    static const QString prefix = QStringLiteral("vlmr4_");
    static const QString suffix = QStringLiteral("file");
    if (keyName.size() <= prefix.size() + suffix.size() || !keyName.startsWith(prefix, Qt::CaseInsensitive)
        || !keyName.endsWith(suffix, Qt::CaseInsensitive))
        return {};
    return keyName.mid(prefix.size(), keyName.size() - prefix.size() - suffix.size());
}

QString extensionOfExtensionKey(const QString& path)
{
    if (path.size() < 2 || !path.startsWith(QLatin1Char('.')) || path.contains(QLatin1Char('\\')))
        return {};
    return path.mid(1);
}

}  // namespace

QString joinKeyPath(const QString& parent, const QString& child)
{
    return parent.isEmpty() ? child : parent + QLatin1Char('\\') + child;
}

ClassRoot::ClassRoot(QString filePath, DesktopProjection* projection)
    : filePath_(std::move(filePath)), projection_(projection)
{
    load();
}

ClassRoot::~ClassRoot()
{
    flush();
}

void ClassRoot::flush()
{
    if (!dirty_)
        return;
    dirty_ = false;
    save();
}

void ClassRoot::load()
{
    const ProfileDocument doc = ProfileDocument::fromFile(filePath_);
    for (const QString& section : doc.sectionNames()) {
        Key& key = create(section);
        const ProfileDocument::SectionView view = doc.section(section);
        for (const QString& name : doc.keyNames(section))
            key.values.emplace_back(name == kDefaultValueKey ? QString() : name, view.readKey(name));
    }
}

// Empty values and keys without values are left out: a missing value reads
// as empty text too, and a key exists while a key below it has values.
void ClassRoot::save() const
{
    ProfileWriter writer;
    bool any = false;
    for (const Key& key : keys_) {
        const bool empty = std::all_of(key.values.begin(), key.values.end(),
                                       [](const auto& value) { return value.second.isEmpty(); });
        if (empty)
            continue;
        any = true;
        writer.section(key.path);
        for (const auto& [name, text] : key.values) {
            if (!text.isEmpty())
                writer.key(name.isEmpty() ? kDefaultValueKey : name, ProfileDocument::quoteForWrite(text));
        }
    }
    if (!any) {
        QFile::remove(filePath_);
        QDir().rmdir(QFileInfo(filePath_).absolutePath());  // only when nothing else is in it
        return;
    }
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    // Replaced whole, so a reader never sees half of it; not waiting for the
    // disk keeps the first start quick (init builds it again if it is lost).
    AtomicSaveOptions options;
    options.sync = false;
    if (!saveFileAtomically(filePath_, writer.bytes(), options))
        qCDebug(lcShell) << "cannot write" << filePath_;
}

ClassRoot::Key* ClassRoot::find(const QString& path)
{
    for (Key& key : keys_) {
        if (sameName(key.path, path))
            return &key;
    }
    return nullptr;
}

const ClassRoot::Key* ClassRoot::find(const QString& path) const
{
    return const_cast<ClassRoot*>(this)->find(path);
}

ClassRoot::Key& ClassRoot::create(const QString& path)
{
    if (Key* key = find(path))
        return *key;
    keys_.push_back({path, {}});
    return keys_.back();
}

bool ClassRoot::keyExists(const QString& keyPath) const
{
    const QString below = keyPath + QLatin1Char('\\');
    for (const Key& key : keys_) {
        if (sameName(key.path, keyPath) || key.path.startsWith(below, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString ClassRoot::ReadRegistryString(const QString& keyPath, const QString& valueName) const
{
    const QString ext = extensionOfExtensionKey(keyPath);
    if (projection_ && !ext.isEmpty() && valueName.isEmpty()) {
        // Who opens these files is the desktop's to say.
        const QString handler = projection_->defaultHandler(ext);
        return handler == ownHandler(ext) ? QStringLiteral("vlmr4_") + ext + QStringLiteral("file") : handler;
    }
    const Key* key = find(keyPath);
    if (!key)
        return {};
    for (const auto& [name, text] : key->values) {
        if (sameName(name, valueName))
            return text;
    }
    return {};
}

void ClassRoot::WriteRegistryString(const QString& parentPath, const QString& subKey, const QString& valueName,
                                    const QString& text)
{
    const QString path = joinKeyPath(parentPath, subKey);
    Key& key = create(path);
    auto it = std::find_if(key.values.begin(), key.values.end(),
                           [&](const auto& value) { return sameName(value.first, valueName); });
    if (it == key.values.end()) {
        key.values.emplace_back(valueName, text);
        dirty_ = true;
    } else if (it->second != text) {
        it->second = text;
        dirty_ = true;
    }
    projectWrite(key.path, valueName, text);
}

QString ClassRoot::CreateRegistryKey(const QString& parentPath, const QString& subKey)
{
    return create(joinKeyPath(parentPath, subKey)).path;
}

void ClassRoot::DeleteRegistryKey(const QString& parentPath, const QString& subKey)
{
    const QString path = joinKeyPath(parentPath, subKey);
    const QString below = path + QLatin1Char('\\');
    for (const Key& key : keys_) {
        if (key.path.startsWith(below, Qt::CaseInsensitive)) {
            qCDebug(lcShell) << "not deleting" << path << "while it has subkeys";
            return;
        }
    }
    const auto it = std::find_if(keys_.begin(), keys_.end(), [&](const Key& key) { return sameName(key.path, path); });
    if (it == keys_.end())
        return;
    const bool hadValues = !it->values.empty();
    keys_.erase(it);
    dirty_ = dirty_ || hadValues;
    projectDelete(path);
}

void ClassRoot::projectAll()
{
    if (!projection_)
        return;
    // A class is there once its command is (the class key itself holds no
    // value, so the file keeps only the keys below it).
    for (const Key& key : keys_) {
        const QStringList parts = key.path.split(QLatin1Char('\\'));
        const QString ext = parts.size() == 4 ? classExtension(parts[0]) : QString();
        if (!ext.isEmpty() && sameName(key.path, joinKeyPath(parts[0], QStringLiteral("shell\\open\\command"))))
            projection_->writeFileClass(ext, ReadRegistryString(joinKeyPath(parts[0], QStringLiteral("DefaultIcon")), {}));
    }
    if (find(QStringLiteral("Folder\\shell\\Play clips\\command")))
        projection_->writeFolderAction();
}

void ClassRoot::projectWrite(const QString& path, const QString& valueName, const QString& text)
{
    if (!projection_ || !valueName.isEmpty())
        return;
    if (const QString ext = extensionOfExtensionKey(path); !ext.isEmpty()) {
        const QString own = QStringLiteral("vlmr4_") + ext + QStringLiteral("file");
        const QString icon = ReadRegistryString(joinKeyPath(own, QStringLiteral("DefaultIcon")), {});
        projection_->setDefaultHandler(ext, text == own ? ownHandler(ext) : text, icon);
        return;
    }
    const QStringList parts = path.split(QLatin1Char('\\'));
    if (parts.size() == 4 && sameName(parts[0], QStringLiteral("Folder")) && sameName(parts[1], QStringLiteral("shell"))
        && sameName(parts[2], QStringLiteral("Play clips")) && sameName(parts[3], QStringLiteral("command"))) {
        projection_->writeFolderAction();
        return;
    }
    const QString ext = classExtension(parts[0]);
    if (ext.isEmpty())
        return;
    const QString commandPath = joinKeyPath(parts[0], QStringLiteral("shell\\open\\command"));
    const QString iconPath = joinKeyPath(parts[0], QStringLiteral("DefaultIcon"));
    const bool commandWritten = sameName(path, commandPath);
    const bool iconChanged = sameName(path, iconPath) && find(commandPath) != nullptr;
    if (commandWritten || iconChanged)
        projection_->writeFileClass(ext, ReadRegistryString(iconPath, {}));
}

void ClassRoot::projectDelete(const QString& path)
{
    if (!projection_)
        return;
    if (sameName(path, QStringLiteral("Folder\\shell\\Play clips"))) {
        projection_->removeFolderAction();
        return;
    }
    if (!path.contains(QLatin1Char('\\'))) {
        if (const QString ext = classExtension(path); !ext.isEmpty())
            projection_->removeFileClass(ext);
    }
}

}  // namespace velmora
