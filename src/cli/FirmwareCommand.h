#pragma once

#include <ostream>
#include <string>

namespace cli {

// tessaro-cli firmware FIRMWARE BIN_DIR OUT_DIR: one generation run of the
// product's board variant. The first pass reads FIRMWARE, the bank files come
// from BIN_DIR, the intermediates and the result OUT_DIR/New_<name of
// FIRMWARE> are written in OUT_DIR. Every message the window would show goes
// to err, one a line, as does the failure that ends a run (a file that cannot
// be read or created, a result that cannot be renamed into place). Answers
// kExitSuccess when every pass that ran inserted its bank, kExitFailure
// otherwise (a bank not inserted, the firmware refused, the run stopped or
// failed), the files left as the window's run leaves them. Never throws.
int runFirmwareCommand(const std::string& firmware, const std::string& binDir, const std::string& outDir,
                       std::ostream& err);

}  // namespace cli
