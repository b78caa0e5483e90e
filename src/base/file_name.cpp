#include "base/file_name.h"

namespace velmora {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// A lone U+DC80..U+DCFF; the second half of a surrogate pair (U+1F080 is
// D83C DC80) is a character of its own.
bool isEscape(QStringView s, qsizetype i)
{
    const char16_t c = s.at(i).unicode();
    return c >= 0xDC80 && c <= 0xDCFF && (i == 0 || !s.at(i - 1).isHighSurrogate());
}

// Length of the valid UTF-8 sequence at p (0: invalid there).
qsizetype validSequence(const unsigned char* p, qsizetype left)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    qsizetype n = 0;
    char32_t min = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        n = 2, min = 0x80, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3, min = 0x800, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4, min = 0x10000, cp = c & 0x07;
    } else {
        return 0;
    }
    if (left < n)
        return 0;
    for (qsizetype i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;  // overlong, out of range, or a surrogate written as UTF-8
    return n;
}

}  // namespace

bool holdsEscapedBytes(QStringView name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscape(name, i))
            return true;
    }
    return false;
}

QString fileNameFromBytes(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    QString out;
    out.reserve(size);
    qsizetype i = 0;
    while (i < size) {
        const qsizetype n = validSequence(p + i, size - i);
        if (n == 0) {
            out += QChar(static_cast<char16_t>(kEscapeBase + p[i]));
            ++i;
            continue;
        }
        out += QString::fromUtf8(reinterpret_cast<const char*>(p + i), n);
        i += n;
    }
    return out;
}

QByteArray fileNameBytes(const QString& name)
{
    QByteArray out;
    out.reserve(name.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscape(name, i))
            continue;
        const char16_t c = name.at(i).unicode();
        out += QStringView(name).mid(runStart, i - runStart).toUtf8();
        out += static_cast<char>(c - kEscapeBase);
        runStart = i + 1;
    }
    out += QStringView(name).mid(runStart).toUtf8();
    return out;
}

QString displayFileName(QString name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscape(name, i))
            name[i] = QChar::ReplacementCharacter;
    }
    return name;
}

}  // namespace velmora
