// Drops a library of 100,000 Musepack files (1,000 album folders) on the window and
// prints how long the collection took and the longest time the window went without
// serving its events; the status line counts meanwhile and Esc could stop it.
//
//   build-dir/bench/bench_window_drop [FILES]

#include "collect/TranscodeList.h"
#include "main/Form1.h"
#include "widgets/StatusArea.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QProcess>
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
    const int files = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    std::string pattern = (fs::temp_directory_path() / "trackmill-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 1;
    const fs::path base = pattern;

    // Two encoded files, linked under every name (a file system caps one file's links).
    const fs::path wav = base / "tone.wav";
    {
        const QString script = QStringLiteral(
            "import struct,wave\nw=wave.open('%1','wb');w.setnchannels(2);w.setsampwidth(2);w.setframerate(44100)\n"
            "w.writeframes(b'\\0\\0\\0\\0'*4410);w.close()").arg(QString::fromStdString(wav.string()));
        if (QProcess::execute(QStringLiteral("python3"), {QStringLiteral("-c"), script}) != 0) return 1;
    }
    const fs::path samples[2] = {base / "a.mpc", base / "b.mpc"};
    for (const fs::path &s : samples)
        if (QProcess::execute(QStringLiteral("mpcenc"), {QStringLiteral("--silent"), QString::fromStdString(wav.string()),
                                                         QString::fromStdString(s.string())}) != 0) {
            std::fprintf(stderr, "mpcenc failed\n");
            return 1;
        }
    const fs::path library = base / "Library";
    for (int i = 0; i < files; ++i) {
        const fs::path album = library / ("Album " + std::to_string(i / 100));
        if (i % 100 == 0) fs::create_directories(album);
        fs::create_hard_link(samples[i % 2], album / (std::to_string(i % 100) + " Track.mpc"));
    }

    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((base / "config").string()));
    trackmill::TForm1 form;
    form.show();
    QElapsedTimer sinceTick, total;
    qint64 longestGap = 0;
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (sinceTick.isValid()) longestGap = std::max(longestGap, sinceTick.elapsed());
        sinceTick.start();
        ++ticks;
    });
    tick.start(10);
    QTimer::singleShot(0, [&] {
        total.start();
        sinceTick.start();
        form.AddNamed({QString::fromStdString(library.string())});
    });
    // The files are collected on a worker thread; the window serves its events meanwhile.
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, [&] {
        if (!total.isValid() || form.List().Collecting()) return;
        const double seconds = double(total.nsecsElapsed()) / 1e9;
        std::printf("files %d, added %d, %.2f s (%.0f files/s), longest gap between events %lld ms, %d ticks\n",
                    files, form.FileList->model()->rowCount(), seconds, files / seconds, longestGap, ticks);
        std::printf("status: %s\n", qPrintable(form.StatusArea1->Text()));
        app.quit();
    });
    done.start(5);
    app.exec();
    std::error_code ec;
    fs::remove_all(base, ec);
    return 0;
}
