#include "options/option_controls.h"

#include <QFileInfo>

#include <algorithm>

namespace velmora {

int sliderOpacity(int stored)
{
    return std::clamp(stored, kOpacityMinimum, kOpacityMaximum);
}

QString skinFolderOfChosenFile(const QString& chosenFile)
{
    // The folder of whatever file was chosen: the dialog's filter offers
    // only "skin.ini", but a typed name need not be eight letters long.
    QString folder = QFileInfo(chosenFile).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

CoupledChange coupledChange(const SettingKey& changed, bool value)
{
    if (changed.name == keys::NotClose.name && value)
        return {"Tray", true};
    if (changed.name == keys::Tray.name && !value)
        return {"NotClose", false};
    return {};
}

}  // namespace velmora
