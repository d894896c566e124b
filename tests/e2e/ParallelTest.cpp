// Several files at once from the terminal: the events as JSON Lines, and the text mode's
// numbered lines. The encoder is slowed so that files are surely in progress together.
#include "e2e/ConvertSupport.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <sstream>

namespace {

namespace fs = std::filesystem;

class Parallel : public tmtest::ConvertFixture {};

TEST_F(Parallel, JsonLinesCarryEveryEventAndNothingElse)
{
    for (const char *name : {"a.mpc", "bad.mpc", "c.mpc", "d.mpc"}) ASSERT_TRUE(tmtest::MakeMpc(src / name, 2.0));
    tmtest::WriteText(src / "c.mp3", "already there");
    tmtest::WriteExecutable(cli.Bin() / "mpcdec", "#!/bin/sh\ncase \"$1\" in *bad*) echo broken >&2; exit 3;; esac\nexec " +
                                                      tmtest::Installed("mpcdec") + " \"$@\"\n");
    tmtest::WriteSlowLame(cli.Bin() / "lame", 264600);  // 2 s of audio take about 1.3 s

    for (const char *jobs : {"1", "3"}) {
        SCOPED_TRACE(jobs);
        for (const char *name : {"a.mp3", "d.mp3"}) fs::remove(src / name);
        const auto r = cli.Run({"--json", "-j", jobs, src.string()}, work);
        EXPECT_EQ(r.exitCode, 1) << r.err;
        std::vector<QJsonObject> events;
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);) {
            QJsonParseError error;
            const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
            ASSERT_EQ(error.error, QJsonParseError::NoError) << line;
            ASSERT_TRUE(doc.isObject()) << line;
            events.push_back(doc.object());
        }
        ASSERT_GE(events.size(), 2u);
        EXPECT_EQ(events.front()["event"].toString(), "planned");
        EXPECT_EQ(events.front()["total"].toInt(), 4);
        const QJsonObject ended = events.back();
        EXPECT_EQ(ended["event"].toString(), "ended");
        EXPECT_EQ(ended["converted"].toInt(), 2);
        EXPECT_EQ(ended["skipped"].toInt(), 1);
        EXPECT_EQ(ended["failed"].toInt(), 1);
        EXPECT_EQ(ended["cancelled"].toInt(), 0);

        std::map<QString, QStringList> perFile;
        int progressSeen = 0;
        for (const QJsonObject &e : events) {
            const QString kind = e["event"].toString();
            if (kind == "planned" || kind == "ended") continue;
            ASSERT_TRUE(e.contains("source") && e.contains("file")) << QJsonDocument(e).toJson().toStdString();
            const QString name = QString::fromStdString(fs::path(e["source"].toString().toStdString()).filename().string());
            if (kind == "progress") {
                ++progressSeen;
                EXPECT_GE(e["percent"].toInt(), 0);
                EXPECT_LT(e["percent"].toInt(), 100);
                continue;
            }
            if (kind == "finished") perFile[name] << "finished:" + e["state"].toString();
            else if (perFile[name].isEmpty() || perFile[name].back() != kind) perFile[name] << kind;
        }
        EXPECT_EQ(perFile["a.mpc"], QStringList({"started", "output", "finished:converted"}));
        EXPECT_EQ(perFile["bad.mpc"], QStringList({"started", "output", "finished:failed"}));
        EXPECT_EQ(perFile["c.mpc"], QStringList({"finished:skipped"}));
        EXPECT_GT(progressSeen, 0);
        EXPECT_TRUE(r.err.find("Converted 2 of 4 files") != std::string::npos) << r.err;  // the summary is not on stdout
    }
}

TEST_F(Parallel, TextModeNumbersEachOutputLineWithItsFile)
{
    for (const char *name : {"1.mpc", "2.mpc", "3.mpc"}) ASSERT_TRUE(tmtest::MakeMpc(src / name, 1.0));
    const auto r = cli.Run({"-v", "-j", "2", src.string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    std::istringstream lines(r.out.substr(0, r.out.find("\nConverted")));
    int commandLines = 0;
    std::string first;
    std::getline(lines, first);
    EXPECT_TRUE(first.starts_with("Settings file: ")) << first;  // -v names it before any file
    for (std::string line; std::getline(lines, line);) {
        EXPECT_TRUE(line.rfind("[1/3] ", 0) == 0 || line.rfind("[2/3] ", 0) == 0 || line.rfind("[3/3] ", 0) == 0) << line;
        if (line.find("LAME") != std::string::npos) ++commandLines;
    }
    EXPECT_EQ(commandLines, 3);
}

}  // namespace
