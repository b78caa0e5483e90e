#pragma once
// The four kinds of start, told apart by whether another copy runs and by
// the command line (compared in lower case, as a whole).

#include <QString>

namespace velmora {

enum class StartKind {
    Uninstall,  // remove associations and settings, then end
    Init,       // remove, set up defaults, then end
    Normal,     // show the windows and handle the command line
    HandOver,   // give the command line to the running copy, then end
    EndAtOnce,  // another copy runs and there is nothing to give it
};

StartKind classifyStart(bool anotherCopyRuns, const QString& commandLine);

}  // namespace velmora
