// The output format beside the encoder line: Opus has a line, a caption and presets of its
// own, lame's line stays the designed Edit2, and the choice and both lines come back.
#include "WindowFixture.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

using namespace trackmill;

class WindowFormat : public tmtest::WindowTest {};

TEST_F(WindowFormat, OpusSwapsTheLineItsCaptionAndPresetsAndAllComeBack)
{
    TForm1 &f = Open();
    EXPECT_EQ(f.FormatLabel->text().remove('&'), "Output format");
    ASSERT_EQ(f.ComboFormat->currentText(), "MP3");
    EXPECT_FALSE(f.OpusOptionsEdit->isVisible());
    const QRect line = f.EncoderOptionsEdit->geometry();

    f.ComboFormat->setCurrentIndex(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.EncoderLabel->text(), "Encoder options (opusenc)");
    EXPECT_FALSE(f.EncoderOptionsEdit->isVisible());
    ASSERT_TRUE(f.OpusOptionsEdit->isVisible());
    EXPECT_EQ(f.OpusOptionsEdit->geometry(), line);
    const TJobSettings s = f.Settings();
    EXPECT_EQ(s.format, TOutputFormat::Opus);
    EXPECT_EQ(s.opusOptions, "--bitrate 160");
    EXPECT_EQ(s.encoderOptions, "--alt-preset cbr 128");

    // A right click in the Opus line offers opusenc's presets, the line's own marked; an
    // item writes that line alone.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 10), f.OpusOptionsEdit->mapToGlobal(QPoint(20, 10)));
    QCoreApplication::sendEvent(f.OpusOptionsEdit, &click);
    auto *menu = f.findChild<QMenu *>("OpusOptionsEditMenu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().last()->menu(), f.OpusPresetsMenu);
    emit f.OpusPresetsMenu->aboutToShow();
    QStringList marked;
    for (QAction *a : f.OpusPresetsMenu->actions())
        if (a->isChecked()) marked << a->text();
    EXPECT_EQ(marked, QStringList{"--bitrate 160: VBR, about 160 kbit/s"});
    menu->close();
    QAction *low = f.OpusPresetsMenu->findChild<QAction *>("opusbitrate961");
    ASSERT_NE(low, nullptr);
    low->trigger();
    EXPECT_EQ(f.OpusOptionsEdit->text(), "--bitrate 96");
    EXPECT_EQ(f.EncoderOptionsEdit->text(), "--alt-preset cbr 128");

    f.ComboFormat->setCurrentIndex(0);
    EXPECT_EQ(f.EncoderLabel->text(), "Encoder options (lame)");
    EXPECT_TRUE(f.EncoderOptionsEdit->isVisible());
    EXPECT_FALSE(f.OpusOptionsEdit->isVisible());
    f.EncoderOptionsEdit->setText("-V 2");
    f.ComboFormat->setCurrentIndex(1);
    CloseAndDelete();

    std::string ini = tmtest::ReadText(work / "trackmill.ini");
    EXPECT_NE(ini.find("\nEdit2_Text=-V 2\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("\nOutputFormat=Opus\nOpusOptions=--bitrate 96\n"), std::string::npos) << ini;
    TForm1 &g = Open();
    EXPECT_EQ(g.OutputFormat(), TOutputFormat::Opus);
    EXPECT_EQ(g.EncoderLabel->text(), "Encoder options (opusenc)");
    EXPECT_TRUE(g.OpusOptionsEdit->isVisible());
    EXPECT_FALSE(g.EncoderOptionsEdit->isVisible());
    EXPECT_EQ(g.OpusOptionsEdit->text(), "--bitrate 96");
    EXPECT_EQ(g.EncoderOptionsEdit->text(), "-V 2");
    CloseAndDelete();

    // A format this version does not know is MP3.
    ini = tmtest::ReadText(work / "trackmill.ini");
    ini.replace(ini.find("OutputFormat=Opus"), 17, "OutputFormat=FLAC");
    tmtest::WriteText(work / "trackmill.ini", ini);
    TForm1 &h = Open();
    EXPECT_EQ(h.OutputFormat(), TOutputFormat::Mp3);
    EXPECT_EQ(h.EncoderLabel->text(), "Encoder options (lame)");
    EXPECT_TRUE(h.EncoderOptionsEdit->isVisible());
    EXPECT_EQ(h.OpusOptionsEdit->text(), "--bitrate 96");
}
