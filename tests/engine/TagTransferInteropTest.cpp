// Sources tagged by independent tools (mutagen, mpcenc, mpcgain), carried into an MP3
// made by lame, and read back by mutagen and eyeD3: every item arrives with its value.
#include "engine/TagTransfer.h"

#include "engine/TagReadback.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace trackmill {
namespace {

namespace fs = std::filesystem;
using tmtest::Bytes;

// Tags a file with mutagen. argv: path, kind ("ape" or "id3"), picture file.
constexpr const char *kTagSource = R"PY(
import sys
from mutagen.apev2 import APEv2, APEValue, BINARY
from mutagen import id3
path, kind, picture = sys.argv[1:4]
pic = open(picture, "rb").read()
title = "".join(chr(0x6771 + i) for i in range(100))
comment = "Long comment " + "x" * 600
gains = {"REPLAYGAIN_TRACK_GAIN": "-3.21 dB", "REPLAYGAIN_TRACK_PEAK": "0.912345",
         "REPLAYGAIN_ALBUM_GAIN": "-4.56 dB", "REPLAYGAIN_ALBUM_PEAK": "0.987654"}
if kind == "ape":
    t = APEv2()
    t["Title"] = title; t["Artist"] = ["First Artist", "Second Artist"]; t["Album"] = "The Album"
    t["Album Artist"] = "Band"; t["Year"] = "1999-05-01"; t["Track"] = "7/12"; t["Disc"] = "1/2"
    t["Genre"] = "Jazz"; t["Comment"] = comment; t["Composer"] = "Composer X"
    t["Copyright"] = "(c) 1999 Label"; t["MOOD"] = "calm"
    for k, v in gains.items(): t[k] = v
    t["Cover Art (Front)"] = APEValue(b"cover.jpg\0" + pic, BINARY)
    t.save(path)
else:
    t = id3.ID3()
    t.add(id3.TIT2(encoding=3, text=title)); t.add(id3.TPE1(encoding=3, text=["First Artist", "Second Artist"]))
    t.add(id3.TALB(encoding=3, text="The Album")); t.add(id3.TPE2(encoding=3, text="Band"))
    t.add(id3.TDRC(encoding=3, text="1999-05-01")); t.add(id3.TRCK(encoding=3, text="7/12"))
    t.add(id3.TPOS(encoding=3, text="1/2")); t.add(id3.TCON(encoding=3, text="Jazz"))
    t.add(id3.COMM(encoding=3, lang="eng", desc="", text=comment))
    t.add(id3.COMM(encoding=3, lang="deu", desc="", text="Ein Kommentar"))
    t.add(id3.TCOM(encoding=3, text="Composer X")); t.add(id3.TCOP(encoding=3, text="(c) 1999 Label"))
    t.add(id3.TXXX(encoding=3, desc="MOOD", text="calm"))
    for k, v in gains.items(): t.add(id3.TXXX(encoding=3, desc=k, text=v))
    t.add(id3.APIC(encoding=3, mime="image/jpeg", type=3, desc="", data=pic))
    t.add(id3.USLT(encoding=3, lang="eng", desc="", text="Line one\nLine two"))
    t.add(id3.POPM(email="me@example.org", rating=196, count=12))
    t.add(id3.TSOP(encoding=3, text="Artist, The")); t.add(id3.TDOR(encoding=3, text="1998-02-03"))
    t.add(id3.TIPL(encoding=3, people=[["producer", "P"]])); t.add(id3.TMCL(encoding=3, people=[["guitar", "G"]]))
    t.save(path, v2_version=4, v1=0)
)PY";

// Checks the MP3's ID3v2 tag with mutagen and eyeD3; prints the differences, one a line.
constexpr const char *kCheckMp3 = R"PY(
import sys, logging
logging.disable(logging.CRITICAL)
from mutagen.id3 import ID3
import eyed3
path, kind, picture = sys.argv[1:4]
pic = open(picture, "rb").read()
errs = []
def same(what, got, want):
    if got != want: errs.append("%s: %r != %r" % (what, got, want))
t = ID3(path)
same("version", t.version[:2], (2, 3))
title = "".join(chr(0x6771 + i) for i in range(100))
comment = "Long comment " + "x" * 600
text = lambda k: "/".join(str(x) for x in t[k].text) if k in t else None
for k, v in {"TIT2": title, "TPE1": "First Artist/Second Artist", "TALB": "The Album", "TPE2": "Band",
             "TDRC": "1999-05-01", "TRCK": "7/12", "TPOS": "1/2", "TCON": "Jazz", "TCOM": "Composer X",
             "TCOP": "(c) 1999 Label"}.items():
    same(k, text(k), v)
txxx = {"MOOD": "calm", "REPLAYGAIN_TRACK_GAIN": "-3.21 dB", "REPLAYGAIN_TRACK_PEAK": "0.912345",
        "REPLAYGAIN_ALBUM_GAIN": "-4.56 dB", "REPLAYGAIN_ALBUM_PEAK": "0.987654"}
if kind == "id3": same("TSOP", text("TSOP"), "Artist, The")  # a sort name stays a frame
for d, v in txxx.items(): same("TXXX:" + d, text("TXXX:" + d), v)
same("COMM", text("COMM::eng"), comment)
pics = t.getall("APIC")
same("pictures", len(pics), 1)
if pics:
    same("APIC data", pics[0].data == pic, True); same("APIC mime", pics[0].mime, "image/jpeg")
    same("APIC type", int(pics[0].type), 3)
if kind == "id3":
    same("COMM deu", text("COMM::deu"), "Ein Kommentar")
    same("USLT", str(t["USLT::eng"]) if "USLT::eng" in t else None, "Line one\nLine two")
    p = t.getall("POPM")
    same("POPM", [(x.email, x.rating, x.count) for x in p], [("me@example.org", 196, 12)])
    same("TDOR", text("TDOR"), "1998")
    same("people", sorted(t["TIPL"].people) if "TIPL" in t else None, [["guitar", "G"], ["producer", "P"]])
e = eyed3.load(path).tag
same("eyeD3 title", e.title, title); same("eyeD3 album artist", e.album_artist, "Band")
same("eyeD3 track", tuple(e.track_num), (7, 12)); same("eyeD3 disc", tuple(e.disc_num), (1, 2))
same("eyeD3 year", str(e.recording_date)[:4], "1999")  # eyeD3 reads no TDAT
same("eyeD3 picture", [(i.picture_type, i.mime_type, i.image_data == pic) for i in e.images], [(3, "image/jpeg", True)])
same("eyeD3 MOOD", e.user_text_frames.get("MOOD").text if e.user_text_frames.get("MOOD") else None, "calm")
print("\n".join(errs))
)PY";

// ReplayGain in the MP3 against mutagen's reading of the source's header; mutagen's
// peaks count from 65535, ours (as ReplayGain does) from full scale, 32768.
constexpr const char *kCheckGain = R"PY(
import sys, math
from mutagen.id3 import ID3
from mutagen.musepack import Musepack
mpc, mp3 = sys.argv[1:3]
i = Musepack(mpc).info
t = ID3(mp3)
errs = []
def value(d):
    f = t.get("TXXX:" + d)
    return float(str(f.text[0]).split()[0]) if f else None
for d, want, peak in [("REPLAYGAIN_TRACK_GAIN", getattr(i, "title_gain", None), False),
                      ("REPLAYGAIN_TRACK_PEAK", getattr(i, "title_peak", None), True),
                      ("REPLAYGAIN_ALBUM_GAIN", getattr(i, "album_gain", None), False),
                      ("REPLAYGAIN_ALBUM_PEAK", getattr(i, "album_peak", None), True)]:
    got = value(d)
    if not want:
        if got is not None: errs.append("%s: %r, mutagen sees none" % (d, got))
        continue
    if got is None: errs.append("%s missing" % d); continue
    if peak: got, want = 20 * math.log10(got), 20 * math.log10(want * 65535 / 32768)
    if abs(got - want) > 0.01: errs.append("%s: %r != %r" % (d, got, want))
print("\n".join(errs))
)PY";

class TransferInterop : public ::testing::Test {
protected:
    void SetUp() override
    {
        TM_REQUIRE_TOOL("mpcenc");
        TM_REQUIRE_TOOL("lame");
        TM_REQUIRE_TOOL("eyeD3");
        Bytes pic{0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F', 0};
        std::mt19937 rng(13);
        while (pic.size() < 30000) pic.push_back(static_cast<std::uint8_t>(rng()));
        tmtest::WriteBytes(dir_ / "cover.jpg", pic);
        tmtest::MakeSineWav(dir_ / "tone.wav", 0.4);
        ASSERT_EQ(tmtest::Run({"lame", "--quiet", tmtest::U8(dir_ / "tone.wav"), tmtest::U8(dir_ / "plain.mp3")})
                      .exitCode,
                  0);
    }

    // Python's output, which is empty when every check held.
    std::string Py(const char *script, const std::vector<std::string> &args)
    {
        std::vector<std::string> argv{tmtest::SystemPython(), "-c", script};
        argv.insert(argv.end(), args.begin(), args.end());
        const auto r = tmtest::Run(argv);
        return r.exitCode == 0 ? r.out.substr(0, r.out.find_last_not_of('\n') + 1) : "python failed: " + r.err;
    }

    fs::path Transfer(const fs::path &source, TTagSwitches switches = {})
    {
        const fs::path mp3 = dir_.path() / fs::path(source.stem()).concat(".mp3");
        fs::copy_file(dir_ / "plain.mp3", mp3, fs::copy_options::overwrite_existing);
        const TTransferResult r = TransferTags(tmtest::U8(source), tmtest::U8(mp3), switches);
        EXPECT_EQ(r.writesFailed, 0) << r.error;
        return mp3;
    }

    std::string Cover() const { return tmtest::U8(dir_ / "cover.jpg"); }

    tmtest::TempDir dir_;
};

TEST_F(TransferInterop, EveryApeItemArrivesInId3v23)
{
    const fs::path mpc = dir_ / "ape.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(mpc, 0.4));
    // mpcgain writes header values; the tag's own ReplayGain items come first.
    ASSERT_EQ(tmtest::Run({"mpcgain", tmtest::U8(mpc)}).exitCode, 0);
    ASSERT_EQ(Py(kTagSource, {tmtest::U8(mpc), "ape", Cover()}), "");
    const fs::path mp3 = Transfer(mpc);
    EXPECT_EQ(Py(kCheckMp3, {tmtest::U8(mp3), "ape", Cover()}), "");
    // The audio lame wrote follows the tag unchanged.
    const Bytes plain = tmtest::ReadBytes(dir_ / "plain.mp3"), out = tmtest::ReadBytes(mp3);
    ASSERT_GE(out.size(), plain.size());
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), out.end() - static_cast<std::ptrdiff_t>(plain.size())));
}

TEST_F(TransferInterop, EveryId3v24FrameArrivesInId3v23)
{
    const fs::path mpc = dir_ / "id3.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(mpc, 0.4));
    ASSERT_EQ(Py(kTagSource, {tmtest::U8(mpc), "id3", Cover()}), "");
    EXPECT_EQ(Py(kCheckMp3, {tmtest::U8(Transfer(mpc)), "id3", Cover()}), "");
}

TEST_F(TransferInterop, CopiedId3v2AndConvertedApeAreMerged)
{
    const fs::path mpc = dir_ / "both.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(mpc, 0.4, {"--tag", "Title=APE title", "--tag", "Comment=APE comment"}));
    ASSERT_EQ(Py(R"PY(
import sys
from mutagen import id3
t = id3.ID3()
t.add(id3.TIT2(encoding=3, text="ID3 title")); t.add(id3.TPE1(encoding=3, text="ID3 artist"))
t.add(id3.TXXX(encoding=3, desc="KEEP", text="kept")); t.add(id3.COMM(encoding=3, lang="eng", desc="", text="old"))
t.add(id3.APIC(encoding=3, mime="image/png", type=4, desc="", data=b"\x89PNG back"))
t.save(sys.argv[1], v2_version=4, v1=0)
)PY", {tmtest::U8(mpc)}), "");
    const fs::path mp3 = Transfer(mpc);
    EXPECT_EQ(Py(R"PY(
import sys
from mutagen.id3 import ID3
t = ID3(sys.argv[1])
got = (str(t["TIT2"]), str(t["TPE1"]), str(t["TXXX:KEEP"]), str(t["COMM::eng"]),
       [int(p.type) for p in t.getall("APIC")])
want = ("APE title", "ID3 artist", "kept", "APE comment", [4])
print("" if got == want else "%r != %r" % (got, want))
)PY", {tmtest::U8(mp3)}), "");
}

TEST_F(TransferInterop, ReplayGainOfTheHeaderWhenTheTagsHaveNone)
{
    // SV8 after mpcgain, and without it.
    const fs::path gained = dir_ / "gained.mpc", plain = dir_ / "ungained.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(gained, 0.6, {"--tag", "Title=Gained"}));
    ASSERT_TRUE(tmtest::MakeMpc(plain, 0.6, {"--tag", "Title=Plain"}));
    ASSERT_EQ(tmtest::Run({"mpcgain", tmtest::U8(gained)}).exitCode, 0);
    EXPECT_EQ(Py(kCheckGain, {tmtest::U8(gained), tmtest::U8(Transfer(gained))}), "");
    EXPECT_EQ(Py(kCheckGain, {tmtest::U8(plain), tmtest::U8(Transfer(plain))}), "");

    // No tag at all: the header's values make a tag of their own whenever an ID3v2.3 tag is
    // to be written (the ID3v2 switch, or APE to "ID3V2.3"), and only then.
    const fs::path bare = dir_ / "bare.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(bare, 0.6));
    ASSERT_EQ(tmtest::Run({"mpcgain", tmtest::U8(bare)}).exitCode, 0);
    for (const TTagSwitches &on : {TTagSwitches{}, TTagSwitches{true, true, false, 0}, TTagSwitches{true, false, true, 1}})
        EXPECT_EQ(Py(kCheckGain, {tmtest::U8(bare), tmtest::U8(Transfer(bare, on))}), "");
    EXPECT_FALSE(tmtest::ReadTags(Transfer(bare, {true, false, true, 0}))["v2"].isObject());

    // SV7: title peak 23456, gain -3.21 dB, album peak 30000, gain +4.56 dB; then one
    // with every field 0, which means none.
    for (const bool zero : {false, true}) {
        Bytes sv7 = tmtest::B("MP+\x07");
        auto put16 = [&](unsigned v) { sv7.insert(sv7.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); };
        sv7.insert(sv7.end(), {100, 0, 0, 0, 0, 0, 0xA0, 0x40});
        for (unsigned v : {23456u, 0x10000u - 321u, 30000u, 456u}) put16(zero ? 0 : v);
        sv7.resize(20000, 0x55);
        const fs::path file = dir_ / (zero ? "sv7zero.mpc" : "sv7.mpc");
        tmtest::WriteBytes(file, sv7);
        ASSERT_EQ(Py("import sys\nfrom mutagen.apev2 import APEv2\nt = APEv2()\nt['Title'] = 'SV7'\n"
                     "t.save(sys.argv[1])\n", {tmtest::U8(file)}),
                  "");
        EXPECT_EQ(Py(kCheckGain, {tmtest::U8(file), tmtest::U8(Transfer(file))}), "") << zero;
    }
}

TEST_F(TransferInterop, TenMegabyteCoverRebuildsTheMp3)
{
    Bytes big{0xFF, 0xD8, 0xFF, 0xE1};
    std::mt19937 rng(5);
    big.resize(10 * 1000 * 1000);
    for (std::size_t i = 4; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(rng());
    tmtest::WriteBytes(dir_ / "big.jpg", big);
    const fs::path mpc = dir_ / "bigcover.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(mpc, 0.3));
    ASSERT_EQ(Py("import sys\nfrom mutagen.apev2 import APEv2, APEValue, BINARY\nt = APEv2()\n"
                 "t['Title'] = 'Big'\nt['Cover Art (Front)'] = APEValue(b'big.jpg\\0' + open(sys.argv[2], 'rb').read(), BINARY)\n"
                 "t.save(sys.argv[1])\n", {tmtest::U8(mpc), tmtest::U8(dir_ / "big.jpg")}),
              "");
    const fs::path mp3 = Transfer(mpc);
    EXPECT_EQ(Py("import sys\nfrom mutagen.id3 import ID3\nt = ID3(sys.argv[1])\np = t.getall('APIC')\n"
                 "print('' if len(p) == 1 and p[0].data == open(sys.argv[2], 'rb').read() and str(t['TIT2']) == 'Big' "
                 "else 'picture or title differ')\n", {tmtest::U8(mp3), tmtest::U8(dir_ / "big.jpg")}),
              "");
    const Bytes plain = tmtest::ReadBytes(dir_ / "plain.mp3"), out = tmtest::ReadBytes(mp3);
    ASSERT_GT(out.size(), plain.size() + big.size());
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), out.end() - static_cast<std::ptrdiff_t>(plain.size())));
    EXPECT_TRUE(tmtest::Run({"lame", "--quiet", "--decode", tmtest::U8(mp3), tmtest::U8(dir_ / "back.wav")}).exitCode == 0);
}

TEST_F(TransferInterop, Id3v1TargetStaysWithinItsFormat)
{
    const fs::path mpc = dir_ / "v1.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(mpc, 0.3, {"--tag", "Title=\xD0\x9D\xD0\xB5 ASCII \xE2\x9C\x93 / \xE6\x9D\xB1\xE4\xBA\xAC",
                                           "--tag", "Track=300", "--tag", "Year=1999-05-01"}));
    const Bytes out = tmtest::ReadBytes(Transfer(mpc, {true, true, true, 0}));
    ASSERT_GE(out.size(), 128u);
    const Bytes tag(out.end() - 128, out.end());
    EXPECT_EQ(std::string(tag.begin(), tag.begin() + 3), "TAG");
    EXPECT_EQ(std::string(tag.begin() + 3, tag.begin() + 20), std::string("?? ASCII ? / ??\0\0", 17));
    EXPECT_EQ(std::string(tag.begin() + 93, tag.begin() + 97), "1999");
    EXPECT_EQ(tag[126], 0);  // 300 does not fit: no track rather than 44
}

}  // namespace
}  // namespace trackmill
