// quenzil-pack: validates a volume source and writes the resource table of
// its packed articles and index. Errors go to standard error as
// file:line: message; nothing is written then.
//
//   quenzil-pack SOURCE OUTPUT.cpp
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "content/article.h"
#include "tools/pack/containers.h"
#include "tools/pack/volume_source.h"

namespace {

constexpr auto kIndexResource = static_cast<uint16_t>(kIndexNumber + kArticleResourceBase);
constexpr uint16_t kTagBase = 20;  // both tags of article N are N + 20
constexpr uint16_t kIndexTag1 = 1, kIndexTag2 = 255;

int Usage() {
  std::cerr << "usage: quenzil-pack SOURCE OUTPUT.cpp\n";
  return 2;
}

// Writes the file whole or not at all: to a temporary beside it, then renamed.
bool WriteAtomically(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  return !ec;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "--help") {
    std::cout << "usage: quenzil-pack SOURCE OUTPUT.cpp\n"
                 "Validates a volume source, packs its 414 articles and index and writes\n"
                 "the C++ resource table that the reader is linked with.\n";
    return 0;
  }
  if (argc != 3) return Usage();
  const std::string sourcePath = argv[1];
  std::ifstream in(sourcePath, std::ios::binary);
  if (!in) {
    std::cerr << sourcePath << ": cannot be read\n";
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();

  Volume volume;
  std::vector<SourceError> errors;
  if (!ParseVolumeSource(text.str(), &volume, &errors)) {
    for (const SourceError& e : errors) {
      std::cerr << sourcePath << ':' << (e.line ? std::to_string(e.line) + ":" : std::string()) << ' ' << e.message
                << '\n';
    }
    return 1;
  }

  std::vector<PackedResource> resources;
  bool ok = true;
  auto pack = [&](std::span<const uint8_t> data, uint16_t id, uint16_t tag1, uint16_t tag2, const std::string& what) {
    PackedResource r{id, {}};
    std::string message;
    if (!MakeContainer(data, tag1, tag2, &r.bytes, &message)) {
      std::cerr << sourcePath << ": " << what << ' ' << message << '\n';
      ok = false;
    }
    resources.push_back(std::move(r));
  };
  for (size_t i = 0; i < volume.articles.size(); ++i) {
    const auto n = static_cast<uint16_t>(i + 1);
    pack(volume.articles[i], static_cast<uint16_t>(kArticleResourceBase + n), static_cast<uint16_t>(n + kTagBase),
         static_cast<uint16_t>(n + kTagBase), "article " + std::to_string(n));
  }
  pack(volume.index, kIndexResource, kIndexTag1, kIndexTag2, "the index");
  if (!ok) return 1;

  const std::string from = std::filesystem::path(sourcePath).filename().string();
  if (!WriteAtomically(argv[2], ResourceTableSource(resources, from))) {
    std::cerr << argv[2] << ": cannot be written\n";
    return 1;
  }
  return 0;
}
