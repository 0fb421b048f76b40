// parvane-pack: builds, lists, verifies and extracts installer packages.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/pack/Commands.h"

namespace {

const char kHelp[] =
    "usage:\n"
    "  parvane-pack build --image IMAGE --out PACKAGE [--title TEXT] [--list FILE]\n"
    "                     [--jobs N] [--from-utf8] [ROOTDIR]\n"
    "      Writes IMAGE followed by a payload of every file below ROOTDIR (depth\n"
    "      first, path components in byte order) or of the entries of the list\n"
    "      FILE, one per line: the name inside the package (relative, backslash\n"
    "      separators), a tab, the source path (relative to the list's folder).\n"
    "      Names and title are GBK bytes; with --from-utf8 they are converted\n"
    "      from UTF-8. --jobs: compression threads (default: one per core); the\n"
    "      package is the same for any number. PACKAGE appears only when complete.\n"
    "  parvane-pack list PACKAGE [--json]\n"
    "      Prints the directory; --json prints one object: code, title_hex and\n"
    "      entries (folder_hex, file_hex, inflated, compressed, offset).\n"
    "  parvane-pack verify PACKAGE\n"
    "      Inflates every entry in memory and reports damaged streams, streams\n"
    "      that do not end, inflated sizes that differ and unsafe names.\n"
    "  parvane-pack extract PACKAGE DIR [--events]\n"
    "      Extracts every entry into DIR as the installer does; --events prints\n"
    "      BEGIN <index>, DONE <index>, PERCENT <value> per callback and\n"
    "      RESULT <code> at the end.\n"
    "exit status:\n"
    "  0  success (list and extract: result 1002)\n"
    "  1  not a good package, a failed check or entry, or a failed build\n"
    "  2  wrong command line\n"
    "  3  a read or write failed\n";

int Usage(const std::string& message) {
  pack::ReportError(message + " (see parvane-pack --help)");
  return pack::EXIT_USAGE;
}

// Splits arguments into options (with their values) and positional words.
struct Arguments {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;
  std::string error;
};

Arguments Parse(int argc, char** argv, const std::vector<std::string>& withValue,
                const std::vector<std::string>& flags) {
  Arguments parsed;
  for (int i = 2; i < argc; ++i) {
    const std::string word = argv[i];
    auto is = [&](const std::vector<std::string>& names) {
      for (const std::string& name : names) if (name == word) return true;
      return false;
    };
    if (is(withValue)) {
      if (i + 1 >= argc) {
        parsed.error = word + " needs a value";
        return parsed;
      }
      parsed.options.emplace_back(word, argv[++i]);
    } else if (is(flags)) {
      parsed.options.emplace_back(word, "");
    } else if (word.size() > 1 && word[0] == '-' && word != "--") {
      parsed.error = "unknown option " + word;
      return parsed;
    } else {
      parsed.positional.push_back(word);
    }
  }
  return parsed;
}

bool Has(const Arguments& arguments, const std::string& name) {
  for (const auto& option : arguments.options) if (option.first == name) return true;
  return false;
}

std::string Value(const Arguments& arguments, const std::string& name) {
  std::string value;
  for (const auto& option : arguments.options) if (option.first == name) value = option.second;
  return value;
}

int Build(int argc, char** argv) {
  Arguments arguments =
      Parse(argc, argv, {"--image", "--out", "--title", "--list", "--jobs"}, {"--from-utf8"});
  if (!arguments.error.empty()) return Usage(arguments.error);
  pack::BuildRequest request;
  request.imagePath = Value(arguments, "--image");
  request.outputPath = Value(arguments, "--out");
  request.title = Value(arguments, "--title");
  request.listPath = Value(arguments, "--list");
  request.fromUtf8 = Has(arguments, "--from-utf8");
  if (request.imagePath.empty()) return Usage("build needs --image IMAGE");
  if (request.outputPath.empty()) return Usage("build needs --out PACKAGE");
  if (Has(arguments, "--jobs")) {
    const std::string jobs = Value(arguments, "--jobs");
    char* end = nullptr;
    const long value = std::strtol(jobs.c_str(), &end, 10);
    if (jobs.empty() || *end != '\0' || value < 1 || value > 256) {
      return Usage("--jobs needs a number from 1 to 256");
    }
    request.jobs = static_cast<unsigned>(value);
  }
  if (arguments.positional.size() > 1) return Usage("build takes at most one ROOTDIR");
  if (!arguments.positional.empty()) request.rootFolder = arguments.positional[0];
  if (request.listPath.empty() == request.rootFolder.empty()) {
    return Usage("build needs either ROOTDIR or --list FILE");
  }
  return pack::RunBuild(request);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kHelp, stderr);
    return pack::EXIT_USAGE;
  }
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kHelp, stdout);
    return pack::EXIT_OK;
  }
  if (command == "build") return Build(argc, argv);

  Arguments arguments = Parse(argc, argv, {}, {"--json", "--events"});
  if (!arguments.error.empty()) return Usage(arguments.error);
  if (command == "list" || command == "verify") {
    if (arguments.positional.size() != 1) return Usage(command + " needs one PACKAGE");
    if (Has(arguments, "--events") || (command == "verify" && Has(arguments, "--json"))) {
      return Usage("option not known to " + command);
    }
    return command == "list" ? pack::RunList(arguments.positional[0], Has(arguments, "--json"))
                             : pack::RunVerify(arguments.positional[0]);
  }
  if (command == "extract") {
    if (arguments.positional.size() != 2) return Usage("extract needs PACKAGE and DIR");
    if (Has(arguments, "--json")) return Usage("option not known to extract");
    return pack::RunExtract(arguments.positional[0], arguments.positional[1],
                            Has(arguments, "--events"));
  }
  return Usage("unknown command " + command);
}
