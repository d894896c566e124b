#include "formats/ID3v2.h"

namespace trackmill {

TID3v2::TID3v2() = default;

void TID3v2::Clear()
{
    present_ = false;
    tagVersion_ = 0;
    tagSize_ = 0;
    track_ = 0;
    title_.clear(); artist_.clear(); album_.clear(); year_.clear(); genre_.clear();
    comment_.clear(); composer_.clear(); encoder_.clear(); copyright_.clear();
    language_.clear(); url_.clear();
}

bool TID3v2::LoadFromFile(const std::string &) { Clear(); return false; }
bool TID3v2::WriteToFile(const std::string &) const { return false; }
void TID3v2::SetTitle(const std::string &v) { title_ = v; }
void TID3v2::SetArtist(const std::string &v) { artist_ = v; }
void TID3v2::SetAlbum(const std::string &v) { album_ = v; }
void TID3v2::SetYear(const std::string &v) { year_ = v; }
void TID3v2::SetGenre(const std::string &v) { genre_ = v; }
void TID3v2::SetComment(const std::string &v) { comment_ = v; }

}  // namespace trackmill
