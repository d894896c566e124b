// The stored settings as both front ends read them, from files written by hand.
#include "config/StoredSettings.h"

#include "support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace trackmill;

TEST(StoredSettings, ValuesFollowTheWindowsRulesAndBadOnesAreIgnored)
{
    tmtest::TempDir dir;
    const auto file = dir / "trackmill.ini";
    tmtest::WriteText(file, "[DEFAULT]\ncbapetag_checked=false\ncbID3v1_Checked=maybe\nEdit2_Text=  \"-V 2\"  \n"
                            "ComboID3_Tag=junk\nJobs=lots\nExistingFiles=keepboth\nKeepFolders=TRUE\n");
    TIniFile ini(tmtest::U8(file));
    auto s = config::ReadStoredSettings(ini);
    EXPECT_EQ(s.convertApe, false);
    EXPECT_FALSE(s.copyId3v1.has_value());  // not a switch value: left as it was
    EXPECT_EQ(s.encoderOptions, "-V 2");
    EXPECT_EQ(s.apeTarget, 0);  // not a number reads as 0, as in the window
    EXPECT_FALSE(s.jobs.has_value());  // falls back to the default
    EXPECT_EQ(s.existing, TExistingPolicy::KeepBoth);
    EXPECT_EQ(s.layout, TOutputLayout::Source);  // from the older key when the new one is missing
    EXPECT_FALSE(s.decoderOptions.has_value());

    for (const auto &[text, expected] : std::vector<std::pair<const char *, std::optional<int>>>{
             {"3", 3}, {" 8 ", 8}, {"0", std::nullopt}, {"-1", std::nullopt}, {"100000", config::kMaxJobs},
             {"99999999999999999999", std::nullopt}, {"2x", std::nullopt}})
        EXPECT_EQ(config::ParseJobs(text), expected) << text;
    EXPECT_GE(config::DefaultJobs(), 1);

    config::TSettingValues added;
    added.jobs = 4;
    added.existing = TExistingPolicy::Overwrite;
    added.layout = TOutputLayout::Tags;
    added.libraryFolder = "/music";
    added.namePattern = "%artist%/%title%";
    added.embedFolderArt = false;
    config::WriteStoredSettings(ini, added);
    s = config::ReadStoredSettings(ini);
    EXPECT_EQ(s.jobs, 4);
    EXPECT_EQ(s.existing, TExistingPolicy::Overwrite);
    EXPECT_EQ(s.layout, TOutputLayout::Tags);
    EXPECT_EQ(s.libraryFolder, "/music");
    EXPECT_EQ(s.namePattern, "%artist%/%title%");
    EXPECT_EQ(s.copyFolderArt, true);
    EXPECT_EQ(s.embedFolderArt, false);
    // The library folder however it was typed: absolute and normal, the home folder for "~".
    for (const char *typed : {"/music/.", "/music/../music", "/music//", "/music/"}) {
        ini.WriteString("Default", "LibraryFolder", typed);
        EXPECT_EQ(config::ReadStoredSettings(ini).libraryFolder, "/music") << typed;
    }
    ini.WriteString("Default", "LibraryFolder", "~/Music");
    EXPECT_EQ(config::ReadStoredSettings(ini).libraryFolder, (QDir::homePath() + "/Music").toStdString());
    ini.WriteString("Default", "LibraryFolder", "rel");
    EXPECT_EQ(config::ReadStoredSettings(ini).libraryFolder, (QDir::currentPath() + "/rel").toStdString());
    // A layout the older key cannot say is read from the new one, which wins.
    ini.WriteString("Default", "OutputLayout", "flat");
    EXPECT_EQ(config::ReadStoredSettings(ini).layout, TOutputLayout::Flat);
}

// A console place edited by hand: numbers that no rectangle can hold are no place.
TEST(StoredSettings, AConsolePlaceMustBeARectangle)
{
    using trackmill::config::ParseStoredRect;
    EXPECT_EQ(ParseStoredRect("30,-40,500,200"), (std::array<int, 4>{30, -40, 500, 200}));
    for (const char *bad : {"2147483000,0,5000,100", "0,0,0,100", "1,2,3", "1,2,3,4,5", "a,0,10,10", "0,0,10,-1"})
        EXPECT_FALSE(ParseStoredRect(bad)) << bad;
}

// What the window writes comes back as it was, each key where the schema puts it; its texts
// lose only their blanks at the ends, and one in quotes keeps them.
TEST(StoredSettings, EverySettingComesBackFromTheFile)
{
    tmtest::TempDir dir;
    TIniFile ini(tmtest::U8(dir / "trackmill.ini"));
    ini.WriteString("Default", "Mine", "kept");
    config::TSettingValues v;
    v.convertApe = v.copyId3v1 = v.copyId3v2 = false;
    v.decoderOptions = " \t-i ";
    v.encoderOptions = "'--alt-preset insane'";
    v.shutdown = v.useOutputDir = true;
    v.outputDir = "\"/out/\"";
    v.apeTarget = 0;
    v.jobs = 7;
    v.existing = TExistingPolicy::KeepBoth;
    v.layout = TOutputLayout::Flat;
    v.libraryFolder = "/music";
    v.namePattern = "%artist% - %title%";
    v.copyFolderArt = v.embedFolderArt = v.showConsole = false;
    v.consolePos = {{-5, 6, 70, 80}};
    v.format = TOutputFormat::Opus;
    v.opusOptions = " --bitrate 96 ";
    config::WriteStoredSettings(ini, v);

    EXPECT_EQ(ini.ReadSection("Default"),
              (std::vector<std::string>{"Mine", config::kConvertApe.key, config::kCopyId3v1.key, config::kCopyId3v2.key,
                                        config::kDecoderOptions.key, config::kEncoderOptions.key, config::kShutdown.key,
                                        config::kUseOutputDir.key, config::kOutputDir.key, config::kApeTarget.key,
                                        config::kJobs.key, config::kExistingFiles.key, config::kKeepFolders.key,
                                        config::kLibraryFolder.key, config::kOutputLayout.key, config::kNamePattern.key,
                                        config::kCopyFolderArt.key, config::kEmbedFolderArt.key, config::kShowConsole.key,
                                        config::kConsolePos.key, config::kOutputFormat.key, config::kOpusOptions.key}));
    const config::TStoredSettings s = config::ReadStoredSettings(ini);
    EXPECT_EQ(s.convertApe, false);
    EXPECT_EQ(s.copyId3v1, false);
    EXPECT_EQ(s.copyId3v2, false);
    EXPECT_EQ(s.decoderOptions, "-i");
    EXPECT_EQ(s.encoderOptions, "'--alt-preset insane'");
    EXPECT_EQ(s.shutdown, true);
    EXPECT_EQ(s.useOutputDir, true);
    EXPECT_EQ(s.outputDir, "\"/out/\"");
    EXPECT_EQ(s.apeTarget, 0);
    EXPECT_EQ(s.jobs, 7);
    EXPECT_EQ(s.existing, TExistingPolicy::KeepBoth);
    EXPECT_EQ(s.layout, TOutputLayout::Flat);
    EXPECT_EQ(ini.ReadString("Default", config::kKeepFolders.key, ""), "False");  // for older versions
    EXPECT_EQ(s.libraryFolder, "/music");
    EXPECT_EQ(s.namePattern, "%artist% - %title%");
    EXPECT_EQ(s.copyFolderArt, false);
    EXPECT_EQ(s.embedFolderArt, false);
    EXPECT_EQ(s.showConsole, false);
    EXPECT_EQ(s.consolePos, (std::array<int, 4>{-5, 6, 70, 80}));
    EXPECT_EQ(s.format, TOutputFormat::Opus);
    EXPECT_EQ(ini.ReadString("Default", config::kOutputFormat.key, ""), "Opus");
    EXPECT_EQ(s.opusOptions, "--bitrate 96");
}
