// What the players and taggers people use read from a written file (players-read.py).
#pragma once

#include "support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace tmtest {

inline QJsonObject PlayersRead(const std::filesystem::path &file)
{
    const auto r = Run({SystemPython(), TRACKMILL_SOURCE_DIR "/tests/e2e/players-read.py", file.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
}

// One reader's field: a text as it is, anything else as compact JSON in brackets.
inline std::string Said(const QJsonObject &readers, const char *reader, const char *field)
{
    const QJsonValue v = readers[reader].toObject()[field];
    return v.isString() ? v.toString().toStdString() : QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact).toStdString();
}

}  // namespace tmtest
