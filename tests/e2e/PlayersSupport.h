// What the players and taggers people use read from a written file (players-read.py).
#pragma once

#include "support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <map>
#include <string>

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

// What beets' reader finds of the rich sources' fields, whatever the format.
inline const std::map<std::string, std::string> kRichFieldsForBeets = {
        {"title", "Nocturne ночь 夜"}, {"artist", "Artist"}, {"album", "Album"}, {"albumartist", "Band"},
        {"track", "[3]"}, {"tracktotal", "[12]"}, {"disc", "[1]"}, {"disctotal", "[2]"}, {"year", "[2004]"},
        {"genre", "Progressive Rock"}, {"composer", "Composer"}, {"comments", "A comment"},
        {"lyrics", "Line one\nLine two"}, {"artist_sort", "Artist, The"}, {"albumartist_sort", "Band, The"},
        {"mb_trackid", "8f3471b5-7e6a-48da-86a9-c1c07a0f47ae"}, {"mb_albumid", "9e873859-8aa4-4790-b985-5a953e8ef628"},
        {"mb_artistid", "7e84f845-ac16-41fe-9ff8-df12eb32af55"},
        {"mb_albumartistid", "b10bbbfc-cf9e-42e0-be17-e2c3e1d2600d"}, {"comp", "[true]"}};

}  // namespace tmtest
