#include "platform/pictures/colour_profile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <utility>

#include "platform/pictures/byte_order.h"
#include "platform/pictures/inflate.h"

namespace platform {
namespace {

using namespace std::string_view_literals;

constexpr std::size_t kProfileHeaderBytes = 128;

std::uint32_t Signature(std::string_view four) {
  return Be32(reinterpret_cast<const std::uint8_t*>(four.data()));
}

// The zlib stream inflated, or nothing where it is broken, cut short or inflates past the most a
// profile may take.
std::optional<std::vector<std::uint8_t>> InflatedProfile(std::span<const std::uint8_t> stream) {
  std::vector<std::uint8_t> inflated;
  const bool whole =
      Inflater().Inflate([&] { return std::exchange(stream, {}); },
                         [&](std::span<const std::uint8_t> piece) {
                           inflated.insert(inflated.end(), piece.begin(), piece.end());
                           return inflated.size() <= kMaxProfileBytes;
                         });
  if (!whole) return std::nullopt;
  return inflated;
}

// Builds an ICC version 2 display profile, big-endian as ICC writes numbers.
class ProfileWriter {
 public:
  void U8(std::uint8_t v) { bytes_.push_back(v); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v >> 8));
    U8(static_cast<std::uint8_t>(v));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v >> 16));
    U16(static_cast<std::uint16_t>(v));
  }
  void Sig(std::string_view four) { U32(Signature(four)); }
  void Fixed(double v) {  // s15Fixed16Number
    U32(static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(v * 65536))));
  }
  void Xyz(const std::array<double, 3>& xyz) {
    for (const double v : xyz) Fixed(v);
  }
  void Ascii(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    U8(0);
  }
  void Zeros(std::size_t count) { bytes_.resize(bytes_.size() + count); }
  void Align() { bytes_.resize((bytes_.size() + 3) & ~std::size_t{3}); }
  [[nodiscard]] std::size_t Size() const { return bytes_.size(); }
  std::vector<std::uint8_t> Take() && { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

constexpr std::array<double, 3> kD50 = {0.9642, 1.0, 0.8249};

// A display profile whose channels' full values make the colours `primaries` (XYZ, adapted to
// D50), each through the tone curve `curve` (one entry: a gamma in 8.8 fixed point).
std::vector<std::uint8_t> MatrixProfile(std::string_view description,
                                        const std::array<std::array<double, 3>, 3>& primaries,
                                        const std::vector<std::uint16_t>& curve) {
  struct Element {
    std::string_view signature;
    std::size_t at = 0, bytes = 0;
  };
  std::array<Element, 9> tags{
      {{"desc"}, {"cprt"}, {"wtpt"}, {"rXYZ"}, {"gXYZ"}, {"bXYZ"}, {"rTRC"}, {"gTRC"}, {"bTRC"}}};
  ProfileWriter data;  // the tags' data, counted from the end of the tag table
  const auto element = [&](Element& tag, const auto& write) {
    data.Align();
    tag.at = data.Size();
    write();
    tag.bytes = data.Size() - tag.at;
  };
  element(tags[0], [&] {
    data.Sig("desc");
    data.U32(0);
    data.U32(static_cast<std::uint32_t>(description.size() + 1));
    data.Ascii(description);
    data.Zeros(4 + 4 + 2 + 1 + 67);  // no Unicode and no ScriptCode description
  });
  element(tags[1], [&] {
    data.Sig("text");
    data.U32(0);
    data.Ascii("No copyright, use freely");
  });
  element(tags[2], [&] {
    data.Sig("XYZ ");
    data.U32(0);
    data.Xyz(kD50);
  });
  for (std::size_t channel = 0; channel < 3; ++channel) {
    element(tags[3 + channel], [&] {
      data.Sig("XYZ ");
      data.U32(0);
      data.Xyz(primaries[channel]);
    });
  }
  element(tags[6], [&] {
    data.Sig("curv");
    data.U32(0);
    data.U32(static_cast<std::uint32_t>(curve.size()));
    for (const std::uint16_t v : curve) data.U16(v);
  });
  tags[7] = {"gTRC", tags[6].at, tags[6].bytes};
  tags[8] = {"bTRC", tags[6].at, tags[6].bytes};
  data.Align();

  const std::size_t dataAt = kProfileHeaderBytes + 4 + tags.size() * 12;
  ProfileWriter profile;
  profile.U32(static_cast<std::uint32_t>(dataAt + data.Size()));
  profile.U32(0);           // no preferred engine
  profile.U32(0x02100000);  // version 2.1
  profile.Sig("mntr");
  profile.Sig("RGB ");
  profile.Sig("XYZ ");
  profile.Zeros(12);  // no date
  profile.Sig("acsp");
  profile.Zeros(4 + 4 + 4 + 4 + 8);  // platform, flags, maker, model, attributes
  profile.U32(0);                    // perceptual
  profile.Xyz(kD50);
  profile.Zeros(kProfileHeaderBytes - profile.Size());
  profile.U32(static_cast<std::uint32_t>(tags.size()));
  for (const Element& tag : tags) {
    profile.Sig(tag.signature);
    profile.U32(static_cast<std::uint32_t>(dataAt + tag.at));
    profile.U32(static_cast<std::uint32_t>(tag.bytes));
  }
  std::vector<std::uint8_t> bytes = std::move(profile).Take();
  const std::vector<std::uint8_t> tagData = std::move(data).Take();
  bytes.insert(bytes.end(), tagData.begin(), tagData.end());
  return bytes;
}

}  // namespace

std::vector<FileSpan> ProfileOfChunks(std::vector<IccChunk> chunks) {
  std::sort(chunks.begin(), chunks.end(),
            [](const IccChunk& a, const IccChunk& b) { return a.number < b.number; });
  std::vector<FileSpan> pieces;
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    if (chunks[i].number != i + 1 || chunks[i].count != chunks.size()) return {};
    pieces.push_back(chunks[i].span);
  }
  return pieces;
}

bool IsRgbProfile(std::span<const std::uint8_t> profile) {
  const std::size_t tableAt = kProfileHeaderBytes + 4;
  if (profile.size() < tableAt) return false;
  const std::uint32_t declared = Be32(profile.data());
  if (declared < tableAt || declared > profile.size() || Be32(&profile[36]) != Signature("acsp") ||
      Be32(&profile[16]) != Signature("RGB ")) {
    return false;
  }
  const std::uint32_t connection = Be32(&profile[20]);
  if (connection != Signature("XYZ ") && connection != Signature("Lab ")) return false;
  const std::uint64_t tags = Be32(&profile[kProfileHeaderBytes]);
  if (tags == 0 || tags > (declared - tableAt) / 12) return false;
  for (std::uint64_t t = 0; t < tags; ++t) {
    const std::uint8_t* entry = &profile[tableAt + t * 12];
    if (std::uint64_t{Be32(entry + 4)} + Be32(entry + 8) > declared) return false;
  }
  return true;
}

std::optional<std::vector<std::uint8_t>> RgbProfile(std::vector<std::uint8_t> bytes) {
  if (!IsRgbProfile(bytes)) return std::nullopt;
  bytes.resize(Be32(bytes.data()));
  return bytes;
}

std::optional<std::vector<std::uint8_t>> ProfileOf(const PictureFileReader& read,
                                                   const ColourTag& tag) {
  if (tag.profile.empty()) {
    if (tag.adobeRgbByExif) return AdobeRgbProfile();
    return std::nullopt;
  }
  std::uint64_t stored = 0;
  for (const FileSpan& piece : tag.profile) stored += piece.bytes;
  if (stored > kMaxProfileBytes) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stored));
  std::size_t filled = 0;
  for (const FileSpan& piece : tag.profile) {
    const auto into = std::span(bytes).subspan(filled, static_cast<std::size_t>(piece.bytes));
    if (read(piece.at, into) != into.size()) return std::nullopt;
    filled += into.size();
  }
  if (tag.deflated) {
    std::optional<std::vector<std::uint8_t>> inflated = InflatedProfile(bytes);
    if (!inflated) return std::nullopt;
    bytes = std::move(*inflated);
  }
  return RgbProfile(std::move(bytes));
}

std::vector<std::uint8_t> SrgbProfile() {
  // The sRGB tone curve: a line near black, a 2.4 power above it.
  std::vector<std::uint16_t> curve(1024);
  for (std::size_t i = 0; i < curve.size(); ++i) {
    const double v = static_cast<double>(i) / static_cast<double>(curve.size() - 1);
    const double linear = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    curve[i] = static_cast<std::uint16_t>(std::lround(linear * 65535));
  }
  return MatrixProfile("sRGB",
                       {{{0.4360747, 0.2225045, 0.0139322},
                         {0.3850649, 0.7168786, 0.0971045},
                         {0.1430804, 0.0606169, 0.7141733}}},
                       curve);
}

std::vector<std::uint8_t> AdobeRgbProfile() {
  // Gamma 563/256, about 2.2, in 8.8 fixed point.
  return MatrixProfile("Compatible with Adobe RGB (1998)",
                       {{{0.6097559, 0.3111242, 0.0194811},
                         {0.2052401, 0.6256560, 0.0608902},
                         {0.1492240, 0.0632197, 0.7448387}}},
                       {563});
}

}  // namespace platform
