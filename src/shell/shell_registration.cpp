#include "shell/shell_registration.h"

#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "shell/class_root.h"
#include "shell/desktop_projection.h"
#include "shell/freedesktop_files.h"

namespace velmora {

namespace {
const QString kFolderVerbParent = QStringLiteral("Folder\\shell");
const QString kFolderVerb = QStringLiteral("Play clips");
}  // namespace

ShellRegistration::ShellRegistration(ClassRoot& root, QString program) : root_(root), program_(std::move(program)) {}

QString ShellRegistration::className(const QString& name)
{
    return QStringLiteral("vlmr4_") + name + QStringLiteral("file");
}

QString ShellRegistration::command() const
{
    // %F: several selected files or folders arrive in one command line, each
    // path whole.
    return quoteExecArgument(program_) + QStringLiteral(" %F");
}

void ShellRegistration::RegisterFileClass(const QString& name, const QString& iconPath)
{
    const QString classKey = root_.CreateRegistryKey({}, className(name));
    root_.WriteRegistryString(classKey, QStringLiteral("DefaultIcon"), {}, iconPath);
    const QString shell = root_.CreateRegistryKey(classKey, QStringLiteral("shell"));
    const QString open = root_.CreateRegistryKey(shell, QStringLiteral("open"));
    root_.WriteRegistryString(open, QStringLiteral("command"), {}, command());
}

void ShellRegistration::UnregisterFileClass(const QString& name)
{
    const QString classKey = root_.CreateRegistryKey({}, className(name));
    root_.DeleteRegistryKey(classKey, QStringLiteral("Defaulticon"));
    const QString shell = root_.CreateRegistryKey(classKey, QStringLiteral("shell"));
    const QString open = root_.CreateRegistryKey(shell, QStringLiteral("open"));
    root_.DeleteRegistryKey(open, QStringLiteral("command"));
    root_.DeleteRegistryKey(shell, QStringLiteral("open"));
    root_.DeleteRegistryKey(classKey, QStringLiteral("shell"));
    root_.DeleteRegistryKey({}, className(name));
}

bool ShellRegistration::IsTypeAssociated(const QString& name) const
{
    return extensionHandler(name) == className(name);
}

QString ShellRegistration::extensionHandler(const QString& name) const
{
    return root_.ReadRegistryString(QLatin1Char('.') + name, {});
}

void ShellRegistration::setExtensionHandler(const QString& name, const QString& handler)
{
    root_.WriteRegistryString({}, QLatin1Char('.') + name, {}, handler);
}

void ShellRegistration::WriteFolderVerb()
{
    const QString folder = root_.CreateRegistryKey({}, QStringLiteral("Folder"));
    const QString shell = root_.CreateRegistryKey(folder, QStringLiteral("shell"));
    const QString verb = root_.CreateRegistryKey(shell, kFolderVerb);
    // Quoted (the shell would split a folder with a blank in its name).
    root_.WriteRegistryString(verb, QStringLiteral("command"), {}, command());
}

void ShellRegistration::RemoveFolderVerb()
{
    const QString verb = root_.CreateRegistryKey(kFolderVerbParent, kFolderVerb);
    root_.DeleteRegistryKey(verb, QStringLiteral("command"));
    root_.DeleteRegistryKey(kFolderVerbParent, kFolderVerb);
}

void ShellRegistration::refreshIcon(const QString& name, const QString& iconPath)
{
    DesktopProjection* desktop = root_.projection();
    if (!desktop || !root_.keyExists(className(name)))
        return;
    desktop->writeFileClass(name, iconPath);
    if (IsTypeAssociated(name))
        desktop->setDefaultHandler(name, ownHandler(name), iconPath);
}

void ShellRegistration::commit()
{
    root_.flush();
    if (DesktopProjection* desktop = root_.projection())
        desktop->commit();
}

void UndoShellRegistration(SettingsStore& store, ShellRegistration& shell)
{
    const QString section = QString::fromLatin1(kFileTypesSection.data(), kFileTypesSection.size());
    const int count = store.get(section, QStringLiteral("Num"), QStringLiteral("0")).toInt();
    for (int n = 1; n <= count; ++n) {
        const QString name = store.get(section, fileTypeKey(n, "name"));
        // Only a type the program holds now is given back: a handler that
        // another program set meanwhile stays (only our name leaves the
        // lists).
        const bool held = shell.IsTypeAssociated(name);
        shell.setExtensionHandler(name, held ? store.get(section, fileTypeKey(n, "type")) : shell.extensionHandler(name));
        // The desktop's lists hold the handler now; the record of it goes,
        // so that nothing of the program is left in its folder.
        shell.root().DeleteRegistryKey({}, QLatin1Char('.') + name);
        shell.UnregisterFileClass(store.get(section, fileTypeKey(n, "name")));
    }
    store.deleteApplication();
    shell.RemoveFolderVerb();
    shell.commit();
}

}  // namespace velmora
