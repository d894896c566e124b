// The job as a person runs it from the window: real mpcdec | lame, real files.
#include "WindowFixture.h"

#include "engine/TranscodeJob.h"
#include "formats/ID3v2.h"
#include "formats/ID3v2Frame.h"
#include "ui/WindowPresenter.h"
#include "system/AppRun.h"
#include "widgets/ConsoleWindow.h"
#include "widgets/StatusArea.h"
#include "widgets/ToolEdit.h"

#include <QCheckBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolTip>

#include <fstream>
#include <optional>
#include <set>

#include "widgets/FileDrop.h"

using namespace trackmill;
namespace fs = std::filesystem;

class WindowJob : public tmtest::ConvertingWindowTest {
protected:
    std::vector<fs::path> MakeSources(int count, double seconds = 0.5)
    {
        std::vector<fs::path> out;
        for (int i = 0; i < count; ++i) {
            const fs::path p = work / ("src" + std::to_string(i) + ".mpc");
            EXPECT_TRUE(tmtest::MakeMpc(p, seconds, {"--artist", "Artist " + std::to_string(i), "--title", "T"}));
            out.push_back(p);
        }
        return out;
    }
    bool Idle() const { return !form->Job().Running(); }
};

TEST_F(WindowJob, TranscodesThreeFilesWithTagsAndControlsFollowTheJob)
{
    const auto sources = MakeSources(3);
    Open();
    form->SetJobs(1);  // one file at a time, as the window has always done it
    DropFiles(sources);
    ASSERT_EQ(EntryCount(), 3);
    form->cbOutputdir->click();
    ASSERT_TRUE(form->OutputFolderEdit->isEnabled());
    form->cbOutputdir->click();  // off again: MP3s beside their sources

    form->TranscodeButton->click();
    // Running: what the job disables and enables.
    EXPECT_FALSE(form->TranscodeButton->isEnabled());
    EXPECT_FALSE(form->ClearButton->isEnabled());
    EXPECT_FALSE(form->DeleteButton->isEnabled());
    EXPECT_TRUE(form->CancelButton->isEnabled());
    EXPECT_FALSE(form->cbOutputdir->isEnabled());
    EXPECT_FALSE(form->OutputFolderEdit->isEnabled());
    EXPECT_FALSE(form->FileDrop1->EnableDrop());
    EXPECT_TRUE(form->EncoderOptionsEdit->isEnabled());
    EXPECT_TRUE(form->FileList->isEnabled());
    // Past the options check, the first file shows.
    TM_TRY_VERIFY(form->Job().RunningCount() > 0, 60000);
    EXPECT_EQ(PanelLines().value(2), "   src0.mpc");
    EXPECT_TRUE(form->Console->isVisible());
    EXPECT_TRUE(form->Console->Text().contains("mpcdec"));

    TM_TRY_VERIFY(Idle(), 60000);
    EXPECT_EQ(EntryCount(), 0);
    EXPECT_TRUE(form->TranscodeButton->isEnabled());
    EXPECT_TRUE(form->ClearButton->isEnabled());
    EXPECT_FALSE(form->CancelButton->isEnabled());
    EXPECT_TRUE(form->OutputFolderEdit->isEnabled());  // whatever cbOutputdir says
    EXPECT_TRUE(form->FileDrop1->EnableDrop());
    EXPECT_TRUE(PanelLines().isEmpty());
    EXPECT_FALSE(form->Console->isVisible());
    // Nothing of ours is left in the folder: no script, no temporary MP3.
    for (const auto &entry : fs::directory_iterator(work.path()))
        EXPECT_TRUE(entry.path().extension() == ".mpc" || entry.path().extension() == ".mp3" ||
                    entry.path().filename() == "trackmill.ini")
            << entry.path();
    EXPECT_TRUE(messages.empty());

    for (int i = 0; i < 3; ++i) {
        const fs::path mp3 = work / ("src" + std::to_string(i) + ".mp3");
        ASSERT_TRUE(fs::exists(mp3)) << mp3;
        EXPECT_GT(fs::file_size(mp3), 1000u);
        // The APE tag became an ID3v2.3 tag (the designed target).
        const tmtest::Bytes bytes = tmtest::ReadBytes(mp3);
        ASSERT_GT(bytes.size(), 4096u);
        const std::string head(bytes.begin(), bytes.begin() + 4096);
        EXPECT_EQ(head.substr(0, 4), "ID3\x03");
        EXPECT_NE(head.find("Artist " + std::to_string(i)), std::string::npos);
    }

    // Transcode on the now empty list.
    form->TranscodeButton->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "The list of files to transcode is empty");
}

TEST_F(WindowJob, CancelStopsAfterTheCurrentFile)
{
    const auto sources = MakeSources(3);
    Open();
    form->SetJobs(1);
    DropFiles(sources);
    form->TranscodeButton->click();
    // Past the options check, the first file is converting.
    TM_TRY_VERIFY(form->Job().RunningCount() > 0, 60000);
    form->CancelButton->click();
    TM_TRY_VERIFY(Idle(), 60000);
    EXPECT_EQ(ListEntries(), QStringList({Q(sources[1]), Q(sources[2])}));
    EXPECT_TRUE(fs::exists(work / "src0.mp3"));
    EXPECT_FALSE(fs::exists(work / "src1.mp3"));
    EXPECT_TRUE(form->TranscodeButton->isEnabled());
    EXPECT_FALSE(form->CancelButton->isEnabled());
}

TEST_F(WindowJob, AnOutputFolderThatCannotBeMadeFailsEachFileWithItsReason)
{
    const auto sources = MakeSources(2);
    // A name that reads as markup is shown as it stands, never as a heading with an image.
    const fs::path out = work / "<h1><font color=red>BIG <img src=x.png>";
    fs::create_directory(out);
    Open();
    DropFiles(sources);
    form->cbOutputdir->click();
    form->OutputFolderEdit->SetText(Q(out));
    ASSERT_EQ(form->OutputFolderEdit->Text(), Q(out) + "/");
    // A file takes the folder's place, so it cannot be made again.
    fs::remove_all(out);
    tmtest::WriteText(out, "a file");
    form->TranscodeButton->click();
    TM_TRY_VERIFY(Idle(), 60000);
    // Failed files stay in the list, so that Transcode tries them again.
    EXPECT_EQ(ListEntries(), QStringList({Q(sources[0]), Q(sources[1])}));
    EXPECT_TRUE(form->TranscodeButton->isEnabled());
    // The entry's tooltip as the list shows it, read as Qt reads a tooltip.
    QWidget *viewport = form->FileList->viewport();
    QHelpEvent hint(QEvent::ToolTip, EntryCentre(0), viewport->mapToGlobal(EntryCentre(0)));
    QCoreApplication::sendEvent(viewport, &hint);
    const QString shown = QToolTip::text();
    const QString tip = Qt::mightBeRichText(shown) ? QTextDocumentFragment::fromHtml(shown).toPlainText() : shown;
    EXPECT_TRUE(tip.contains(Q(out)) && tip.contains("cannot be created")) << tip.toStdString();
    EXPECT_EQ(tmtest::ReadText(out), "a file");
}

TEST_F(WindowJob, ClosingDuringAFileSavesSettingsAndFinishesTheFileFirst)
{
    const auto sources = MakeSources(1, 20.0);
    Open();
    DropFiles(sources);
    form->EncoderOptionsEdit->setText("--alt-preset cbr 96");
    form->TranscodeButton->click();
    TM_TRY_VERIFY(form->Job().RunningCount() > 0, 60000);  // past the options check
    CloseAndDelete();

    // The settings were saved on close.
    EXPECT_TRUE(tmtest::ReadText(work / "trackmill.ini").find("Edit2_Text=--alt-preset cbr 96") != std::string::npos);
    // The window went only when the file was done: its MP3 is whole, tagged and in place.
    const fs::path mp3 = work / "src0.mp3";
    ASSERT_TRUE(fs::exists(mp3));
    const tmtest::Bytes bytes = tmtest::ReadBytes(mp3);
    ASSERT_GT(bytes.size(), 128u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "ID3");  // the APE tag, converted
    for (const auto &entry : fs::directory_iterator(work.path()))
        EXPECT_NE(entry.path().filename().string().rfind(".tm-", 0), 0u) << entry.path();
}

TEST_F(WindowJob, AnAlbumAndThenItsLibraryConvertEachSourceOnce)
{
    const fs::path lib = work / "music", out = work / "out";
    fs::create_directories(lib / "Artist" / "Album"), fs::create_directories(lib / "Other");
    ASSERT_TRUE(tmtest::MakeMpc(lib / "Artist" / "Album" / "1.mpc", 0.3));
    fs::copy_file(lib / "Artist" / "Album" / "1.mpc", lib / "Other" / "2.mpc");
    Open();
    TForm1::TLibrarySettings library = form->LibrarySettings();
    library.libraryFolder = lib.string();
    form->SetLibrarySettings(library);
    form->cbOutputdir->click();
    form->OutputFolderEdit->SetText(QString::fromStdString(out.string()));

    for (const fs::path &dropped : {lib / "Artist" / "Album", lib}) {
        Drop({QUrl::fromLocalFile(QString::fromStdString(dropped.string()))});
        form->TranscodeButton->click();
        TM_TRY_VERIFY(Idle(), 60000);
    }
    EXPECT_EQ(form->Presenter().LastEnd().converted, 1);
    EXPECT_EQ(form->Presenter().LastEnd().skipped, 1);
    std::set<std::string> tree;
    for (const auto &e : fs::recursive_directory_iterator(out))
        if (e.is_regular_file()) tree.insert(fs::relative(e.path(), out).string());
    EXPECT_EQ(tree, (std::set<std::string>{"Artist/Album/1.mp3", "Other/2.mp3"}));
}

namespace {

// Appends an APE tag whose front cover of `coverBytes` stands between its texts, as a
// tagger that sorts its keys writes it.
void AppendCoveredTag(const fs::path &mpc, const std::string &title, std::size_t coverBytes)
{
    std::string items;
    auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) items += char(v >> (8 * i));
    };
    auto item = [&](const std::string &key, const std::string &value, std::uint32_t flags) {
        put32(std::uint32_t(value.size()));
        put32(flags);
        items += key + '\0' + value;
    };
    std::string cover = std::string("cover.jpg") + '\0' + "\xFF\xD8\xFF\xE0";
    cover.resize(coverBytes, '\x5A');
    item("Album", "Album", 0);
    item("Artist", "Artist", 0);
    item("Cover Art (Front)", cover, 2);
    item("Title", title, 0);
    item("Track", "1", 0);
    std::string footer = "APETAGEX";
    const std::string body = items;
    items.clear();
    put32(2000);
    put32(std::uint32_t(body.size() + 32));
    put32(5);
    put32(0x80000000u);
    footer += items + std::string(8, '\0');
    std::ofstream(mpc, std::ios::binary | std::ios::app) << body << footer;
}

}  // namespace

TEST_F(WindowJob, EscWhilePlanningStartsNoFileAndTheCoversStillReachTheMp3s)
{
    constexpr std::size_t kCover = 1024 * 1024;
    const fs::path lib = work / "music", out = work / "out";
    fs::create_directories(lib / "Album");
    for (const auto &[name, title] : {std::pair{"a.mpc", "First"}, std::pair{"b.mpc", "Second"}}) {
        ASSERT_TRUE(tmtest::MakeMpc(lib / "Album" / name, 0.3));
        AppendCoveredTag(lib / "Album" / name, title, kCover);
    }
    Open();
    TForm1::TLibrarySettings library = form->LibrarySettings();
    library.libraryFolder = lib.string();
    library.layout = TOutputLayout::Tags;
    form->SetLibrarySettings(library);
    form->cbOutputdir->click();
    form->OutputFolderEdit->SetText(Q(out));
    DropFiles({lib});
    ASSERT_EQ(EntryCount(), 2);

    // Past the options check the plan is made aside: the window offers Stop, and Esc takes it.
    form->TranscodeButton->click();
    TM_TRY_VERIFY(form->Job().Planning(), 60000);
    EXPECT_TRUE(form->StatusArea1->StopButton()->isVisible());
    EXPECT_FALSE(form->StatusArea1->ShowLogButton()->isVisible());
    QTest::keyClick(form.get(), Qt::Key_Escape);
    TM_TRY_VERIFY(Idle(), 60000);
    EXPECT_EQ(form->StatusArea1->Text(),
              QCoreApplication::translate("WindowPresenter", "Planning stopped: no file was started"));
    EXPECT_FALSE(form->StatusArea1->StopButton()->isVisible());
    EXPECT_FALSE(form->StatusArea1->ShowLogButton()->isEnabled());
    EXPECT_TRUE(form->TranscodeButton->isEnabled());
    EXPECT_EQ(EntryCount(), 2);
    EXPECT_FALSE(fs::exists(out / "Artist"));
    EXPECT_TRUE(messages.empty());

    // Named from the texts after each cover, and converted with the covers.
    form->TranscodeButton->click();
    TM_TRY_VERIFY(Idle(), 60000);
    EXPECT_EQ(form->Presenter().LastEnd().converted, 2);
    for (const char *title : {"First", "Second"}) {
        const fs::path mp3 = out / "Artist" / "Album" / ("01 " + std::string(title) + ".mp3");
        TID3v2 tag;
        ASSERT_TRUE(tag.LoadFromFile(mp3.string())) << mp3;
        std::optional<id3v2::TPicture> picture;
        for (const TID3v2Frame &frame : tag.Frames())
            if (frame.id == "APIC") picture = id3v2::ReadPicture(frame);
        ASSERT_TRUE(picture) << mp3;
        EXPECT_EQ(picture->type, 3);
        EXPECT_EQ(picture->bytes.size(), kCover - std::string("cover.jpg").size() - 1);
        EXPECT_EQ(picture->bytes.at(0), 0xFF);
    }
}
