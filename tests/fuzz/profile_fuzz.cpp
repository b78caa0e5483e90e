// Profile documents (skin.ini, .pml) from any bytes: reading never fails,
// and a key written reads back as written, also after a save and re-read.

#include "settings/profile_document.h"

#include <cstdint>
#include <cstdlib>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ProfileDocument doc = ProfileDocument::fromBytes(bytes);
    (void)doc.readKey(u"Main", u"Left", QStringLiteral("none"));
    (void)doc.hasSection(u"Playlist");
    for (int i = 0; i < doc.sectionCount(); ++i)
        (void)doc.section(u"Main").readKey(u"Width");

    // A value on one line, without the quotes the reader strips, survives.
    const QString value = QStringLiteral("fuzz value %1").arg(size);
    doc.writeKey(QStringLiteral("Fuzz"), QStringLiteral("Key"), value);
    if (doc.readKey(u"Fuzz", u"Key") != value)
        std::abort();
    const ProfileDocument again = ProfileDocument::fromBytes(doc.toUtf8());
    if (again.readKey(u"Fuzz", u"Key") != value)
        std::abort();
    return 0;
}
