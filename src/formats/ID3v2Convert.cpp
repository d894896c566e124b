// Frames of versions 2.2 and 2.4 in the form of version 2.3.
#include "formats/ID3v2Read.h"

#include "formats/TextCodec.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

namespace trackmill::id3v2 {

namespace {

constexpr std::pair<std::string_view, std::string_view> kVersion2Names[] = {
    {"BUF", "RBUF"}, {"CNT", "PCNT"}, {"COM", "COMM"}, {"CRA", "AENC"}, {"ETC", "ETCO"},
    {"EQU", "EQUA"}, {"GEO", "GEOB"}, {"IPL", "IPLS"}, {"MCI", "MCDI"}, {"MLL", "MLLT"},
    {"POP", "POPM"}, {"REV", "RVRB"}, {"RVA", "RVAD"}, {"SLT", "SYLT"}, {"STC", "SYTC"},
    {"TAL", "TALB"}, {"TBP", "TBPM"}, {"TCM", "TCOM"}, {"TCO", "TCON"}, {"TCR", "TCOP"},
    {"TDA", "TDAT"}, {"TDY", "TDLY"}, {"TEN", "TENC"}, {"TFT", "TFLT"}, {"TIM", "TIME"},
    {"TKE", "TKEY"}, {"TLA", "TLAN"}, {"TLE", "TLEN"}, {"TMT", "TMED"}, {"TOA", "TOPE"},
    {"TOF", "TOFN"}, {"TOL", "TOLY"}, {"TOR", "TORY"}, {"TOT", "TOAL"}, {"TP1", "TPE1"},
    {"TP2", "TPE2"}, {"TP3", "TPE3"}, {"TP4", "TPE4"}, {"TPA", "TPOS"}, {"TPB", "TPUB"},
    {"TRC", "TSRC"}, {"TRD", "TRDA"}, {"TRK", "TRCK"}, {"TSI", "TSIZ"}, {"TSS", "TSSE"},
    {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"}, {"TXT", "TEXT"}, {"TXX", "TXXX"},
    {"TYE", "TYER"}, {"UFI", "UFID"}, {"ULT", "USLT"}, {"WAF", "WOAF"}, {"WAR", "WOAR"},
    {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"}, {"WPB", "WPUB"}, {"WXX", "WXXX"},
    {"PIC", "APIC"}, {"TCP", "TCMP"}, {"TS2", "TSO2"}, {"TSC", "TSOC"}, {"TST", "TSOT"},
    {"TSP", "TSOP"}, {"TSA", "TSOA"},
};

// Version 2.4 text frames without a 2.3 counterpart, kept as user text. The sort names
// TSOA, TSOP and TSOT stay frames: players and taggers read them in 2.3 tags too.
constexpr std::pair<std::string_view, std::string_view> kUserTextNames[] = {
    {"TDRL", "RELEASETIME"}, {"TDEN", "ENCODINGTIME"}, {"TDTG", "TAGGINGTIME"},
    {"TMOO", "MOOD"},        {"TPRO", "PRODUCEDNOTICE"}, {"TSST", "SETSUBTITLE"},
};

// Version 2.4 frames of binary data that 2.3 has no place for.
constexpr std::string_view kUncarried[] = {"ASPI", "EQU2", "RVA2", "SEEK", "SIGN"};

template <std::size_t N>
std::string_view Lookup(const std::pair<std::string_view, std::string_view> (&table)[N], std::string_view key)
{
    for (const auto &[from, to] : table)
        if (from == key) return to;
    return {};
}

bool AllDigits(std::string_view s)
{
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// TCON of 2.4 gives genre numbers as plain values; 2.3 writes them in parentheses in
// front of the names: "(17)Rock".
std::string GenreText(const TID3v2Frame &frame)
{
    std::string codes, names;
    for (const std::string &v : TextValues(frame)) {
        if (AllDigits(v) || v == "RX" || v == "CR") {
            codes += "(" + v + ")";
        } else {
            if (!names.empty()) names += '/';
            names += v;
        }
    }
    return codes + names;
}

// A list of texts, each ended by its terminator (IPLS and the 2.4 lists).
TID3v2Frame MakeList(std::string_view id, const std::vector<std::string> &values)
{
    TID3v2Frame f{std::string(id), {kLatin1}, 0};
    for (const std::string &v : values)
        if (!IsLatin1(v)) f.data[0] = kUtf16Bom;
    for (const std::string &v : values) AppendString(f.data, f.data[0], v, true);
    return f;
}

std::vector<std::string> Strings(std::uint8_t enc, const ByteVector &data, std::size_t pos)
{
    std::vector<std::string> out;
    while (pos < data.size()) {
        const std::string_view s = NextString(enc, data, pos);
        out.push_back(DecodeString(enc, reinterpret_cast<const std::uint8_t *>(s.data()), s.size()));
    }
    return out;
}

// Version 2.2 PIC: encoding | image format[3] | type | description | data.
bool PictureFromVersion2(ByteVector &data)
{
    if (data.size() < 5) return false;
    std::string format(reinterpret_cast<const char *>(&data[1]), 3);
    for (char &c : format) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string mime = format == "jpg" ? "image/jpeg" : "image/" + format;
    ByteVector out{data[0]};
    out.insert(out.end(), mime.begin(), mime.end());
    out.push_back(0);
    out.insert(out.end(), data.begin() + 4, data.end());
    data = std::move(out);
    return true;
}

// GEOB: encoding | MIME type (Latin-1) | file name | description | data.
std::optional<TID3v2Frame> ReencodeObject(const ByteVector &d)
{
    std::size_t pos = 1;
    const std::string mime = Latin1ToUtf8(NextString(kLatin1, d, pos));
    auto next = [&] {
        const std::string_view s = NextString(d[0], d, pos);
        return DecodeString(d[0], reinterpret_cast<const std::uint8_t *>(s.data()), s.size());
    };
    const std::string file = next();
    const std::string description = next();
    TID3v2Frame f{"GEOB", {EncodingFor({file, description})}, 0};
    AppendString(f.data, kLatin1, mime, true);
    AppendString(f.data, f.data[0], file, true);
    AppendString(f.data, f.data[0], description, true);
    f.data.insert(f.data.end(), d.begin() + static_cast<std::ptrdiff_t>(std::min(pos, d.size())), d.end());
    return f;
}

}  // namespace

void AppendAsVersion3(int version, std::string_view rawId, ByteVector data, std::uint16_t flags,
                      std::vector<TID3v2Frame> &out)
{
    std::string id(rawId);
    if (version == 2) {
        id = std::string(Lookup(kVersion2Names, rawId));
        if (id.empty()) return;
        if (id == "APIC" && !PictureFromVersion2(data)) return;
    }
    TID3v2Frame frame{id, std::move(data), flags};
    if (flags != 0) {  // compressed: carried as it is
        out.push_back(std::move(frame));
        return;
    }
    for (std::string_view uncarried : kUncarried)
        if (id == uncarried) return;

    const std::uint8_t enc = frame.data[0];
    const bool hasEncoding = id[0] == 'T' || id == "COMM" || id == "USLT" || id == "WXXX" || id == "APIC" ||
                             id == "GEOB" || id == "USER" || id == "IPLS" || id == "SYLT";
    if (hasEncoding && enc > kUtf8) return;  // no text can be read from it
    // Contents that need rewriting: 2.4 lists and encodings 2.3 lacks.
    const bool rewrite = version == 4 || enc > kUtf16Bom;
    if (id == "TDRC") {
        // A year of the tag's own comes first: the recording time then adds only what it lacks.
        std::vector<TID3v2Frame> date;
        AppendDateFrames(Text(frame), "RECORDINGTIME", date);
        for (TID3v2Frame &f : date) {
            const bool taken = std::any_of(out.begin(), out.end(), [&](const TID3v2Frame &o) {
                return o.id == f.id && !Text(o).empty();
            });
            if (!taken) out.push_back(std::move(f));
        }
    } else if (id == "TDOR") {
        const std::string time = Text(frame);
        if (time.size() >= 4 && AllDigits(std::string_view(time).substr(0, 4)))
            out.push_back(MakeText("TORY", std::string_view(time).substr(0, 4)));
        else
            out.push_back(MakeUserText("ORIGINALRELEASETIME", time));
    } else if (const std::string_view user = Lookup(kUserTextNames, id); !user.empty()) {
        out.push_back(MakeUserText(user, Text(frame)));
    } else if (id == "TIPL" || id == "TMCL" || (id == "IPLS" && rewrite)) {
        out.push_back(PeopleList({frame}));
    } else if (!rewrite) {
        out.push_back(std::move(frame));
    } else if (id == "TCON") {
        out.push_back(MakeText(id, GenreText(frame)));
    } else if (frame.IsText()) {
        out.push_back(MakeText(id, Text(frame)));
    } else if (id == "TXXX" || id == "COMM" || id == "USLT" || id == "WXXX") {
        const auto d = ReadDescribed(frame);
        if (!d) return;
        if (id == "TXXX") out.push_back(MakeUserText(d->description, d->text));
        else if (id == "WXXX") out.push_back(MakeUrl(d->description, d->text));
        else out.push_back(MakeComment(id, d->language, d->description, d->text));
    } else if (id == "APIC") {
        if (const auto picture = ReadPicture(frame)) out.push_back(MakePicture(*picture));
    } else if (id == "GEOB") {
        if (auto object = ReencodeObject(frame.data)) out.push_back(std::move(*object));
    } else if (id == "USER" && frame.data.size() >= 4) {
        const std::string text = DecodeString(enc, frame.data.data() + 4, frame.data.size() - 4);
        TID3v2Frame f{id, {EncodingFor({text})}, 0};
        f.data.insert(f.data.end(), frame.data.begin() + 1, frame.data.begin() + 4);
        AppendString(f.data, f.data[0], text, false);
        out.push_back(std::move(f));
    } else if (enc <= kUtf16Bom || (id != "SYLT" && id != "OWNE" && id != "COMR")) {
        // Frames without an encoding byte of their own.
        out.push_back(std::move(frame));
    }
}

TID3v2Frame PeopleList(const std::vector<TID3v2Frame> &lists)
{
    std::vector<std::string> people;
    std::size_t bytes = 0;
    for (const TID3v2Frame &list : lists) {
        if (list.data.empty()) continue;
        for (std::string &name : Strings(list.data[0], list.data, 1)) {
            bytes += name.size() + 1;
            if (bytes > kMaxTextFrame) break;
            people.push_back(std::move(name));
        }
    }
    return MakeList("IPLS", people);
}

void DropDuplicates(std::vector<TID3v2Frame> &frames)
{
    std::map<std::string, std::size_t> firstOf;
    std::vector<bool> dropped(frames.size(), false);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const TID3v2Frame &f = frames[i];
        std::string key;
        if (f.flags != 0) {
            continue;
        } else if (f.IsText()) {
            key = f.id;
        } else if (f.id == "TXXX" || f.id == "COMM" || f.id == "USLT" || f.id == "WXXX") {
            const auto d = ReadDescribed(f);
            if (d) key = f.id + '\0' + d->language + '\0' + d->description;
        } else if (f.id == "APIC") {
            const auto p = ReadPicture(f);
            if (p) key = f.id + '\0' + p->description;
        } else if (f.id == "UFID") {
            if (const auto u = ReadUniqueId(f)) key = f.id + '\0' + u->owner;
        }
        if (key.empty()) continue;
        const auto [at, added] = firstOf.try_emplace(key, i);
        if (added) continue;
        frames[at->second] = std::move(frames[i]);
        dropped[i] = true;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (!dropped[i]) {
            if (kept != i) frames[kept] = std::move(frames[i]);
            ++kept;
        }
    frames.resize(kept);
}

}  // namespace trackmill::id3v2
