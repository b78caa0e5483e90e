#include "base/text_codec.h"

#include <QStringDecoder>

#include <algorithm>

#include <iconv.h>
#include <langinfo.h>

namespace velmora {

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

QString decodeUtf8OrCp1251(const QByteArray& bytes)
{
    {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(bytes);
        if (!decoder.hasError())
            return text;
    }
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(bytes);
    QByteArray out(bytes.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            // CP1251 leaves one byte (0x98) unassigned: skip it.
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    out.truncate(static_cast<int>(outPtr - out.data()));
    return QString::fromUtf8(out);
}

std::optional<QString> decodeAs(const QByteArray& bytes, const char* encoding)
{
    iconv_t cd = iconv_open("UTF-8", encoding);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    QByteArray out(bytes.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    const bool ok = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.truncate(static_cast<qsizetype>(outPtr - out.data()));
    return QString::fromUtf8(out);
}

std::vector<QByteArray> legacyEncodings()
{
    std::vector<QByteArray> out;
    const QByteArray locale = QByteArray(nl_langinfo(CODESET)).toUpper();
    const bool unicodeOrAscii = locale.isEmpty() || locale == "UTF-8" || locale == "UTF8"
                                || locale == "ANSI_X3.4-1968" || locale == "ASCII" || locale == "US-ASCII";
    if (!unicodeOrAscii)
        out.push_back(locale);
    for (const char* fallback : {"CP1252", "CP1251"}) {
        if (std::find(out.begin(), out.end(), QByteArray(fallback)) == out.end())
            out.emplace_back(fallback);
    }
    return out;
}

}  // namespace velmora
