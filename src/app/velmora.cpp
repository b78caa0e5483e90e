#include "app/velmora.h"

#include "base/config_paths.h"

#include <QCoreApplication>

namespace velmora {

namespace {
QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString settingsFile(const Velmora::Options& options)
{
    const QString folder = options.configFolder.isEmpty() ? userConfigFolder() : options.configFolder;
    return withSlash(folder) + QStringLiteral("settings.ini");
}
}  // namespace

Velmora::Velmora(Options options)
    : programFolder_(withSlash(options.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                               : options.programFolder)),
      store_(settingsFile(options)),
      settings_(store_)
{
}

Velmora::~Velmora()
{
    store_.flush();
}

QString Velmora::skinFolder() const
{
    return withSlash(toSlashes(settings_.text(keys::Skin, programFolder_ + QStringLiteral("skin/"))));
}

}  // namespace velmora
