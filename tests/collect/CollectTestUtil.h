// Small helpers for the collection tests: folder trees made on the spot.
#pragma once

#include "collect/FileNames.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <fstream>
#include <ostream>
#include <string>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList &l, std::ostream *os)
{
    *os << "{\n";
    for (const QString &s : l) *os << "  \"" << s.toStdString() << "\"\n";
    *os << "}";
}

namespace tmtest {

#ifdef _WIN32
inline QString Q(const fs::path &p) { return QString::fromStdString(U8(p)); }
#else
inline QString Q(const fs::path &p) { return QFile::decodeName(p.native().c_str()); }
#endif

// A file that starts like a Musepack SV8 stream, padded to size bytes.
inline void MakeFakeMpc(const fs::path &file, std::size_t size = 64)
{
    fs::create_directories(file.parent_path());
    Bytes bytes(std::max<std::size_t>(size, 4), 0);
    bytes[0] = 'M', bytes[1] = 'P', bytes[2] = 'C', bytes[3] = 'K';
    WriteBytes(file, bytes);
}

inline void MakeOther(const fs::path &file, const std::string &text = "not musepack")
{
    fs::create_directories(file.parent_path());
    WriteText(file, text);
}

// The header test the window gets from the engine, cut down to the signature bytes.
inline bool LooksLikeMpc(const QString &path)
{
    std::ifstream f(trackmill::BytesOfName(path), std::ios::binary);
    char head[4] = {};
    f.read(head, 4);
    const std::string_view read(head, std::size_t(f.gcount()));
    return read == "MPCK" || read.starts_with("MP+");
}

}  // namespace tmtest
