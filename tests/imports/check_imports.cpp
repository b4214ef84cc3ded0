// Reads a Windows executable's import table and delay-load import table, and every DLL name
// written anywhere in it, and fails on any DLL outside the list below: Windows loads those from
// the system folder whatever lies beside the program (the KnownDLLs of Windows 10 and 11), so no
// file in the folder the saver was downloaded to can run inside it.
//   check_imports <program.exe>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::set<std::string> kAllowed = {
    "advapi32.dll", "comdlg32.dll", "gdi32.dll",    "imm32.dll",  "kernel32.dll", "msvcrt.dll",
    "ntdll.dll",    "ole32.dll",    "oleaut32.dll", "shcore.dll", "shell32.dll",  "user32.dll",
};

constexpr std::size_t kImportDirectory = 1;
constexpr std::size_t kDelayImportDirectory = 13;
constexpr std::size_t kImportDescriptorBytes = 20;
constexpr std::size_t kDelayDescriptorBytes = 32;
constexpr std::size_t kSectionHeaderBytes = 40;

class Image {
 public:
  explicit Image(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
    const std::size_t pe = Read32(0x3C);
    if (Read32(pe) != 0x00004550) throw std::runtime_error("no PE signature");
    sections_ = Read16(pe + 6);
    const std::size_t optional = pe + 24;
    sectionTable_ = optional + Read16(pe + 20);
    const bool plus = Read16(optional) == 0x20B;
    imageBase_ = plus ? Read32(optional + 24) | (std::uint64_t{Read32(optional + 28)} << 32U)
                      : Read32(optional + 28);
    directoryCount_ = Read32(optional + (plus ? 108 : 92));
    directories_ = optional + (plus ? 112 : 96);
  }

  // The RVA of a data directory, 0 when the image has none.
  [[nodiscard]] std::uint32_t Directory(std::size_t index) const {
    return index < directoryCount_ ? Read32(directories_ + index * 8) : 0;
  }

  [[nodiscard]] std::size_t Offset(std::uint64_t rva) const {
    for (std::size_t i = 0; i < sections_; ++i) {
      const std::size_t header = sectionTable_ + i * kSectionHeaderBytes;
      const std::uint32_t address = Read32(header + 12);
      const std::uint32_t size = std::max(Read32(header + 8), Read32(header + 16));
      if (rva >= address && rva < std::uint64_t{address} + size) {
        return Read32(header + 20) + static_cast<std::size_t>(rva - address);
      }
    }
    throw std::runtime_error("an address outside every section");
  }

  [[nodiscard]] std::string Text(std::uint64_t rva) const {
    std::string text;
    for (std::size_t at = Offset(rva); Byte(at) != 0; ++at)
      text.push_back(static_cast<char>(Byte(at)));
    return text;
  }

  [[nodiscard]] std::uint32_t Read32(std::size_t at) const {
    return Read16(at) | (std::uint32_t{Read16(at + 2)} << 16U);
  }
  [[nodiscard]] std::uint64_t imageBase() const { return imageBase_; }

 private:
  [[nodiscard]] std::uint8_t Byte(std::size_t at) const {
    if (at >= bytes_.size()) throw std::runtime_error("the file ends early");
    return bytes_[at];
  }
  [[nodiscard]] std::uint16_t Read16(std::size_t at) const {
    return static_cast<std::uint16_t>(Byte(at) | (Byte(at + 1) << 8U));
  }

  std::vector<std::uint8_t> bytes_;
  std::size_t sections_ = 0;
  std::size_t sectionTable_ = 0;
  std::uint64_t imageBase_ = 0;
  std::size_t directoryCount_ = 0;
  std::size_t directories_ = 0;
};

// The DLL names of a descriptor table: each descriptor holds its name at `nameAt`; the table
// ends with a descriptor of zeros.
std::vector<std::string> Names(const Image& image, std::uint32_t table, std::size_t descriptorBytes,
                               std::size_t nameAt, bool delayLoad) {
  std::vector<std::string> names;
  if (table == 0) return names;
  for (std::size_t at = image.Offset(table);; at += descriptorBytes) {
    const std::uint32_t name = image.Read32(at + nameAt);
    if (name == 0) return names;
    // Old delay-load descriptors (attribute bit 0 clear) hold addresses, not RVAs.
    const bool address = delayLoad && (image.Read32(at) & 1U) == 0;
    names.push_back(image.Text(address ? name - image.imageBase() : name));
  }
}

// Every DLL name written into the file, in ASCII or UTF-16, lower-cased: also those of delay
// loads, whose table GNU ld leaves out of the image's directory, and of libraries loaded by name.
std::set<std::string> NamesInFile(const std::vector<std::uint8_t>& bytes) {
  std::set<std::string> names;
  const auto scan = [&](std::size_t start, std::size_t width) {
    std::string run;
    for (std::size_t at = start; at + width <= bytes.size(); at += width) {
      const auto c = static_cast<unsigned char>(bytes[at]);
      if ((width == 1 || bytes[at + 1] == 0) &&
          (std::isalnum(c) != 0 || c == '_' || c == '.' || c == '-')) {
        run.push_back(static_cast<char>(std::tolower(c)));
        continue;
      }
      if (run.size() > 4 && run.ends_with(".dll")) names.insert(run);
      run.clear();
    }
  };
  scan(0, 1);
  scan(0, 2);
  scan(1, 2);
  return names;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: check_imports <program.exe>\n";
    return 2;
  }
  try {
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) throw std::runtime_error("cannot open the file");
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                    std::istreambuf_iterator<char>()};
    const std::set<std::string> written = NamesInFile(bytes);
    const Image image(std::move(bytes));
    std::vector<std::string> dlls =
        Names(image, image.Directory(kImportDirectory), kImportDescriptorBytes, 12, false);
    for (std::string& name :
         Names(image, image.Directory(kDelayImportDirectory), kDelayDescriptorBytes, 4, true)) {
      dlls.push_back(name + " (delay-loaded)");
    }
    // Each table's names are written in the file too: only the others are listed again.
    std::set<std::string> listed;
    for (const std::string& dll : dlls) listed.insert(Lower(dll.substr(0, dll.find(' '))));
    for (const std::string& name : written) {
      if (listed.count(name) == 0) dlls.push_back(name + " (named in the file)");
    }
    int refused = 0;
    for (const std::string& dll : dlls) {
      const bool allowed = kAllowed.count(Lower(dll.substr(0, dll.find(' ')))) != 0;
      std::cout << (allowed ? "  " : "  NOT ALLOWED: ") << dll << '\n';
      refused += allowed ? 0 : 1;
    }
    if (dlls.empty()) throw std::runtime_error("no import table");
    return refused == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << argv[1] << ": " << error.what() << '\n';
    return 1;
  }
}
