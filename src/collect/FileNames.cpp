#include "collect/FileNames.h"

#include "formats/TextCodec.h"

#include <QByteArray>
#include <QFile>
#include <QStringView>

namespace trackmill {

#ifndef Q_OS_WIN
namespace {

constexpr char16_t kByteBase = 0xDC00;

}  // namespace
#endif

QString NameFromBytes(std::string_view bytes)
{
#ifdef Q_OS_WIN
    return QFile::decodeName(QByteArray(bytes.data(), qsizetype(bytes.size())));
#else
    QString name;
    name.reserve(qsizetype(bytes.size()));
    while (!bytes.empty()) {
        const std::size_t valid = ValidUtf8Prefix(bytes);
        name += QString::fromUtf8(bytes.data(), qsizetype(valid));
        bytes.remove_prefix(valid);
        if (bytes.empty()) break;
        // ASCII is always valid, so what stops the prefix is a byte of 0x80 or more.
        name += QChar(char16_t(kByteBase + static_cast<unsigned char>(bytes.front())));
        bytes.remove_prefix(1);
    }
    return name;
#endif
}

std::string BytesOfName(const QString &name)
{
#ifdef Q_OS_WIN
    return QFile::encodeName(name).toStdString();
#else
    std::string bytes;
    bytes.reserve(std::size_t(name.size()));
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        // The second half of a surrogate pair is a character's, not a carried byte.
        if (u < kByteBase + 0x80 || u > kByteBase + 0xFF || (i > 0 && name[i - 1].isHighSurrogate())) continue;
        bytes += QStringView(name).mid(start, i - start).toUtf8().toStdString();
        bytes += static_cast<char>(u - kByteBase);
        start = i + 1;
    }
    bytes += QStringView(name).mid(start).toUtf8().toStdString();
    return bytes;
#endif
}

}  // namespace trackmill
