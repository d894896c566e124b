// The presenter with stand-ins for the job's runner and host and a view that records what
// it is told, and reads the list through its model as a list view would.
#pragma once

#include "ui/WindowPresenter.h"

#include "collect/FileNames.h"
#include "collect/TranscodeList.h"
#include "engine/Acceptance.h"
#include "engine/OptionsCheck.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace trackmill::test {

namespace fs = std::filesystem;

// Starts nothing; the test ends each command with the status it wants.
class StandInRunner : public TCommandRunner {
public:
    void SetHandlers(Handlers h) override { handlers = std::move(h); }
    StartResult Start(std::uint64_t id, const std::vector<std::string> &, const os::TOwnFolder *, std::string *) override
    {
        running.push_back(id);
        return StartResult::Started;
    }
    void Stop(std::uint64_t) override {}
    void EndFirst(int status)
    {
        const std::uint64_t id = running.front();
        running.erase(running.begin());
        handlers.ended(id, status);
    }
    Handlers handlers;
    std::vector<std::uint64_t> running;
};

class StandInHost : public TJobHost {
public:
    void ArmTimer(int) override { ++armed; }
    void SetProgressPolling(bool) override {}
    bool RequestShutdown() override { return ++shutdowns, true; }
    int armed = 0;
    int shutdowns = 0;
};

class RecordingView : public TWindowView {
public:
    // The rows as a list view keeps them: read through the model's roles whenever its
    // signals say they changed, so a change the model does not announce stays unseen.
    std::vector<TListRow> rows;
    std::vector<int> focused;
    int busy = 0;  // wait cursors set and not yet taken back
    TControlStates controls;
    QStringList info;
    QString status;
    int progress = -1;
    QStringList errors, reports;
    bool notice = false;
    int noticesStarted = 0;
    bool details = false;
    QStringList shownDetails, opened, notices;
    QString outputFolder;

    void Watch(const QAbstractItemModel &model)
    {
        model_ = &model;
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, [this](const QModelIndex &, int first, int last) {
            for (int row = first; row <= last; ++row) rows.insert(rows.begin() + row, Read(row));
        });
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved, [this](const QModelIndex &, int first, int last) {
            rows.erase(rows.begin() + first, rows.begin() + last + 1);
        });
        QObject::connect(&model, &QAbstractItemModel::dataChanged, [this](const QModelIndex &from, const QModelIndex &to) {
            for (int row = from.row(); row <= to.row(); ++row) rows.at(std::size_t(row)) = Read(row);
        });
        QObject::connect(&model, &QAbstractItemModel::modelReset, [this] {
            rows.clear();
            for (int row = 0; row < model_->rowCount(); ++row) rows.push_back(Read(row));
        });
    }
    TListRow Read(int row) const
    {
        const QModelIndex index = model_->index(row, 0);
        return {index.data().toString(), index.data(TListModel::StateRole).toString(),
                TRowTone(index.data(TListModel::ToneRole).toInt()), index.data(Qt::ToolTipRole).toString()};
    }

    void FocusRow(int row) override { focused.push_back(row); }
    void SetControls(const TControlStates &c) override { controls = c; }
    void ShowInfo(const QStringList &lines) override { info = lines; }
    void ShowStatus(const QString &text) override { status = text; }
    void ShowProgress(int percent) override { progress = percent; }
    void ShowCollecting(bool) override {}
    void SetBusy(bool on) override { busy += on ? 1 : -1; }
    void SetLogAvailable(bool) override {}
    void ShowError(const QString &m) override { errors << m; }
    void ShowReport(const QString &t) override { reports << t; }
    void StartShutdownNotice() override { notice = true, ++noticesStarted; }
    void CancelShutdownNotice() override { notice = false; }
    bool ShutdownNoticeRunning() const override { return notice; }
    void SetDetailsAvailable(bool available) override { details = available; }
    void ShowDetails(const QString &heading, const QStringList &lines) override { shownDetails = QStringList{heading} + lines; }
    void SetOutputFolder(const QString &folder) override { outputFolder = folder; }
    void OpenFolder(const QString &folder) override { opened << folder; }
    void NotifyJobEnded(const QString &summary) override { notices << summary; }
    void ConsoleBeginJob() override {}
    void ConsoleBeginFile(const TWorkItem &, const QString &) override {}
    void ConsoleAppend(const TWorkItem &, const QByteArray &) override {}
    void ConsoleEndFile(const TWorkItem &, const QString &) override {}
    void ConsoleEndJob() override {}
    void LogBeginJob() override {}
    void LogBeginFile(const TWorkItem &, const QString &) override {}
    void LogAppend(const TWorkItem &, const QByteArray &) override {}
    void LogEndFile(const TWorkItem &) override {}
    bool LogEmpty() const override { return false; }

private:
    const QAbstractItemModel *model_ = nullptr;
};

class Presenter : public ::testing::Test {
protected:
    Presenter()
    {
        TJobPlatform platform;
        platform.commandTemplate = platform.scriptTemplate = "%DECODER %INFILE | %ENCODER - %OUTFILE";
        platform.quotePath = [](const std::string &s) { return "'" + s + "'"; };
        platform.shell = "/bin/sh";
        platform.judgeStatuses = [](const TCommandsOutput &commands) {
            TCommandsEnd end;
            if (commands.encoderStatus != 0)
                end.failure = "the encoder stopped with exit status " + std::to_string(commands.encoderStatus);
            return end;
        };
        platform.encoder = {"enc", "ENCODER missing"};
        platform.decoder = {"dec", "DECODER missing"};
        platform.opusEncoder = {"opusenc", "OPUSENC missing"};
        platform.findProgram = [this](const std::string &name) {
            return programs && !missing.count(name) ? "/bin/" + name : std::string();
        };
        job = std::make_unique<TranscodeJob>(runner, host, platform);
        list = std::make_unique<TTranscodeList>(job->Queue(), [this](const QString &name) {
            return !realFiles || HasValidMusepackHeader(BytesOfName(name));
        });
        presenter = std::make_unique<TWindowPresenter>(*job, *list, view);
        view.Watch(presenter->Rows());
        for (const char *name : {"a.mpc", "b.mpc", "c.mpc"}) {
            tmtest::WriteText(dir / name, "stand-in");
            names << QFile::decodeName((dir / name).string().c_str());
        }
    }
    // Transcode, the programs taking the option lines on the check's silence.
    void Transcode()
    {
        presenter->Transcode();
        if (!runner.running.empty() && runner.running.front() == kOptionsCheckId) runner.EndFirst(0);
    }
    void Settings(bool shutdown)
    {
        TJobSettings s;
        s.shutdownAfterJob = shutdown;
        presenter->SettingsChanged(s);
    }

    tmtest::TempDir dir;
    bool programs = true;
    std::set<std::string> missing;  // programs not found even when the others are
    bool realFiles = false;  // the window's test of a Musepack file, not any name taken
    StandInRunner runner;
    StandInHost host;
    RecordingView view;
    std::unique_ptr<TranscodeJob> job;
    std::unique_ptr<TTranscodeList> list;
    std::unique_ptr<TWindowPresenter> presenter;
    QStringList names;
};

}  // namespace trackmill::test
