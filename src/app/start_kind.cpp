#include "app/start_kind.h"

namespace velmora {

StartKind classifyStart(bool anotherCopyRuns, const QString& commandLine)
{
    const QString lower = commandLine.toLower();
    const bool maintenance = lower == QLatin1String("init") || lower == QLatin1String("uninstall");
    if (anotherCopyRuns)
        return commandLine.isEmpty() || maintenance ? StartKind::EndAtOnce : StartKind::HandOver;
    if (lower == QLatin1String("uninstall"))
        return StartKind::Uninstall;
    if (lower == QLatin1String("init"))
        return StartKind::Init;
    return StartKind::Normal;
}

}  // namespace velmora
