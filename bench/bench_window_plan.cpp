// Transcodes a list of 20,000 sources in the window, each with a cover of 1 MiB in its APE
// tag, named from their tags into an output folder, and prints the longest time the window
// went without serving its events while the plan was made (the goal: under 70 ms) and while
// the plan was then taken into the list; the job is stopped when its first file starts.
//
//   build-dir/bench/bench_window_plan [SOURCES]

#include "BenchSupport.h"

#include "collect/TranscodeList.h"
#include "main/Form1.h"
#include "widgets/ToolEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int sources = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
    std::string pattern = (fs::temp_directory_path() / "trackmill-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 1;
    const fs::path base = pattern;
    const fs::path library = base / "Library", out = base / "out";
    for (int i = 0; i < sources; ++i) {
        const fs::path album = library / ("Album " + std::to_string(i / 20));
        if (i % 20 == 0) fs::create_directories(album);
        if (!WriteCoveredSource((album / (std::to_string(i % 20 + 1) + " Track.mpc")).string(), i, 1024 * 1024)) return 1;
    }
    fs::create_directories(out);

    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((base / "config").string()));
    trackmill::TForm1 form;
    form.show();
    trackmill::TForm1::TLibrarySettings names = form.LibrarySettings();
    names.libraryFolder = library.string();
    names.layout = trackmill::TOutputLayout::Tags;
    form.SetLibrarySettings(names);
    if (!form.cbOutputdir->isChecked()) form.cbOutputdir->click();
    form.OutputFolderEdit->SetText(QString::fromStdString(out.string()));

    enum class Phase { Collecting, Checking, Planning, TakingIn, Done } phase = Phase::Collecting;
    QElapsedTimer sinceTick, planning;
    qint64 longestPlanning = 0, longestTakingIn = 0, planned = 0;
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 gap = sinceTick.isValid() ? sinceTick.elapsed() : 0;
        sinceTick.start();
        switch (phase) {
        case Phase::Collecting:
            if (form.List().Collecting()) return;
            phase = Phase::Checking;
            form.TranscodeButton->click();
            return;
        case Phase::Checking:
            if (!form.Job().Planning()) return;
            phase = Phase::Planning;
            planning.start();
            return;
        case Phase::Planning:
            // The wait that ends the plan is the plan's being taken in.
            if (!form.Job().Planning()) {
                planned = planning.elapsed();
                longestTakingIn = gap;
                phase = Phase::TakingIn;
                return;
            }
            ++ticks;
            longestPlanning = std::max(longestPlanning, gap);
            return;
        case Phase::TakingIn:
            longestTakingIn = std::max(longestTakingIn, gap);
            if (form.Job().RunningCount() == 0 && form.Job().Running()) return;
            phase = Phase::Done;
            form.Job().Abort();
            return;
        case Phase::Done:
            if (form.Job().Running()) return;
            std::printf("%d sources with a 1 MiB cover, named from their tags: planned in %.2f s in the window; "
                        "longest wait for its events while planning %lld ms (%d ticks)%s; "
                        "then while the plan was taken into the list %lld ms\n",
                        sources, planned / 1000.0, longestPlanning, ticks,
                        longestPlanning < 70 ? "" : "  <-- over 70 ms", longestTakingIn);
            app.quit();
            return;
        }
    });
    tick.start(10);
    QTimer::singleShot(0, [&] { form.AddNamed({QString::fromStdString(library.string())}); });
    app.exec();
    std::error_code ec;
    fs::remove_all(base, ec);
    return 0;
}
