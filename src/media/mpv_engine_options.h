#pragma once
// MpvEngineOptions: how the libmpv engine is set up. Plain data that the
// program and the tests fill in and the media module reads; it carries no
// libmpv types, so the program can pass it across the module boundary.

#include <QList>
#include <QPair>
#include <QString>

#include <cstdint>

namespace velmora {

struct MpvEngineOptions {
    // libmpv's "vo" and "ao". An empty videoOutput tries the outputs that can
    // draw into a host window (defaultVideoOutputs()); an empty audioOutput
    // keeps libmpv's choice. Headless tests use "null"; audioOutput "pcm"
    // with pcmFile writes the sound to a WAV file.
    QString videoOutput;
    QString audioOutput;
    QString pcmFile;
    // The native window the picture is drawn into (0: none yet).
    std::uintptr_t videoWindow = 0;
    // Interval of the periodic tick while a clip plays.
    int tickIntervalMs = 200;
    // Further libmpv options (name, value), set before initialisation.
    QList<QPair<QString, QString>> extraOptions;
};

}  // namespace velmora
