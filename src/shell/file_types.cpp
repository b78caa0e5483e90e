#include "shell/file_types.h"

#include "settings/settings.h"
#include "shell/default_file_types.h"
#include "shell/file_type_name.h"
#include "shell/shell_log.h"
#include "shell/shell_registration.h"
#include "shell/type_icons.h"

#include <algorithm>

namespace velmora {

namespace {

const QString kSection = QString::fromLatin1(kFileTypesSection.data(), kFileTypesSection.size());
const QString kNum = QStringLiteral("Num");

}  // namespace

FileTypes::FileTypes(Settings& settings, ShellRegistration& shell, TypeIcons& icons)
    : settings_(settings), shell_(shell), icons_(icons)
{
}

QString FileTypes::read(int n, const char* field) const
{
    return settings_.store().get(kSection, fileTypeKey(n, field));
}

// Many keys change at once: they reach the disk together at the end of the
// edit (flush), not one file write each.
void FileTypes::write(int n, const char* field, const QString& value)
{
    settings_.store().saveSoon(kSection, fileTypeKey(n, field), value);
}

void FileTypes::writeCount(int count)
{
    settings_.store().saveSoon(kSection, kNum, QString::number(count));
}

void FileTypes::rebuildPattern()
{
    QStringList parts;
    parts.reserve(count());
    for (const FileTypeEntry& e : table_)
        parts << QStringLiteral("*.") + e.name;
    mediaPattern_ = parts.join(QLatin1Char(';'));
    if (onPattern_)
        onPattern_(mediaPattern_);
}

void FileTypes::writeDefaults()
{
    writeCount(static_cast<int>(kDefaultFileTypes.size()));
    int n = 1;
    for (const DefaultFileType& type : kDefaultFileTypes) {
        const QString name = QString::fromLatin1(type.name.data(), type.name.size());
        write(n, "name", name);
        write(n, "icon", icons_.iconPath(name));
        ++n;
    }
    // Classes only: no extension is taken over until the user marks it.
    for (n = 1; n <= static_cast<int>(kDefaultFileTypes.size()); ++n)
        shell_.RegisterFileClass(read(n, "name"), read(n, "icon"));
}

// 1. Defaults on the first run. 2. The folder verb. 3. The table, each mark
// recomputed from the desktop (another program may hold an extension now).
// 4. The media pattern.
void FileTypes::LoadFileTypes()
{
    icons_.fillCurrentFolder();
    if (settings_.store().get(kSection, kNum, QStringLiteral("None")) == QLatin1String("None"))
        writeDefaults();
    // Entries lost to a kill during the delayed write, deleted by hand or
    // missing after a restore of the settings alone come back.
    shell_.refreshDesktop();
    shell_.WriteFolderVerb();

    const int stored = settings_.store().get(kSection, kNum).toInt();
    const int total = std::clamp(stored, 0, 32767);
    table_.assign(static_cast<size_t>(total), {});
    for (int n = 1; n <= total; ++n) {
        FileTypeEntry& e = table_[static_cast<size_t>(n - 1)];
        e.name = read(n, "name");
        e.icon = read(n, "icon");
        e.checked = shell_.IsTypeAssociated(e.name);
        const QString mark = e.checked ? QStringLiteral("1") : QStringLiteral("0");
        if (read(n, "checked") != mark)
            write(n, "checked", mark);
    }
    // What changed reaches the disk with the start's next save (or shortly).
    rebuildPattern();
    shell_.commit();
}

void FileTypes::AddFileType(const QString& text)
{
    const std::optional<QString> accepted = acceptableFileTypeName(text);
    if (!accepted)
        return;
    const QString& name = *accepted;
    // Case apart, "MP3" is "mp3": the class root's keys and the desktop's
    // globs compare without case, so a second entry would share mp3's class.
    for (const FileTypeEntry& e : table_) {
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return;
    }
    const int n = count() + 1;
    const QString icon = icons_.iconPath(name);
    writeCount(n);
    write(n, "name", name);
    write(n, "icon", icon);
    write(n, "checked", QStringLiteral("0"));
    settings_.store().flush();
    icons_.addType(name);
    shell_.RegisterFileClass(name, icon);
    table_.push_back({name, icon, false});
    AssociateType(n);
    rebuildPattern();
}

void FileTypes::RemoveFileType(int n)
{
    if (!inRange(n))
        return;
    DissociateType(n);
    const QString name = entry(n).name;
    shell_.UnregisterFileClass(name);
    icons_.removeType(name);

    const int oldCount = count();
    for (int j = n; j < oldCount; ++j) {
        table_[static_cast<size_t>(j - 1)] = table_[static_cast<size_t>(j)];
        for (const char* field : {"icon", "name", "checked", "type"})
            write(j, field, read(j + 1, field));
    }
    SettingsStore& store = settings_.store();
    for (const char* field : {"icon", "name", "checked", "type"})
        store.deleteKey(kSection, fileTypeKey(oldCount, field));
    writeCount(oldCount - 1);
    store.flush();
    table_.pop_back();
    rebuildPattern();
    shell_.commit();
}

void FileTypes::ReplaceTypeIcon(int n, const QString& sourceFile)
{
    if (!inRange(n))
        return;
    icons_.replace(entry(n).name, sourceFile);
    shell_.refreshIcon(entry(n).name, entry(n).icon);
    shell_.commit();
}

void FileTypes::RestoreTypeIcon(int n)
{
    if (!inRange(n))
        return;
    icons_.restore(entry(n).name);
    shell_.refreshIcon(entry(n).name, entry(n).icon);
    shell_.commit();
}

void FileTypes::AssociateType(int n)
{
    if (!inRange(n))
        return;
    FileTypeEntry& e = table_[static_cast<size_t>(n - 1)];
    icons_.finishFilling();  // the desktop shows the icon while we hold the type
    // The earlier handler is saved only when the program does not hold the
    // extension yet, so marking again keeps the first one.
    if (read(n, "checked").toInt() == 0) {
        const QString earlier = shell_.extensionHandler(e.name);
        if (earlier != ShellRegistration::className(e.name))
            write(n, "type", earlier);
        settings_.store().flush();
        shell_.setExtensionHandler(e.name, ShellRegistration::className(e.name));
        if (!shell_.IsTypeAssociated(e.name)) {
            // The desktop's list could not take it (read-only, unreadable):
            // the mark says what the desktop does.
            qCWarning(lcShell) << "cannot take" << e.name << "over: the list of default applications is not writable";
            shell_.commit();
            return;
        }
    }
    write(n, "checked", QStringLiteral("1"));
    settings_.store().flush();
    e.checked = true;
    shell_.commit();
}

void FileTypes::DissociateType(int n)
{
    if (!inRange(n))
        return;
    FileTypeEntry& e = table_[static_cast<size_t>(n - 1)];
    write(n, "checked", QStringLiteral("0"));
    settings_.store().flush();
    e.checked = false;
    // A handler another program set meanwhile is not ours to replace.
    if (shell_.IsTypeAssociated(e.name))
        shell_.setExtensionHandler(e.name, read(n, "type"));
    shell_.commit();
}

}  // namespace velmora
