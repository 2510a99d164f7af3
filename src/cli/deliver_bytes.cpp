#include "cli/deliver_bytes.h"

#include <ostream>

#include "formats/file_save.h"
#include "formats/standard_input.h"

namespace delvix::cli {

int deliverBytes(const std::string& target, std::vector<std::uint8_t> bytes, Streams streams,
                 formats::Reporter& reporter) {
  if (target == formats::standardInputName) {
    std::ostream& out = streams.fileOutput ? *streams.fileOutput : streams.out;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (out) return exitOk;
    streams.err << "delvix-cli: standard output: write error\n";
    return exitRefused;
  }
  return formats::deliverFile(target, {std::move(bytes)}, "Could not open this file.", reporter) ? exitOk : exitRefused;
}

}  // namespace delvix::cli
