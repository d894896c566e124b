// The subcommands of trackmill-cli. Each returns the process exit status:
// 0 success, 1 a file failed, 2 a usage error.
#pragma once


#include <string>
#include <vector>

namespace trackmill {

// `info [--json] FILE...`. Paths stay raw bytes so that any file name can be named.
int RunInfo(const std::vector<std::string> &args);

// `convert [options] PATH...`. Paths stay raw bytes too.
int RunConvert(const std::vector<std::string> &args);

}  // namespace trackmill
