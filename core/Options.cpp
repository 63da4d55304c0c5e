#include "core/Options.h"

#include "forms/frmFine.h"
#include "framework/App.h"

namespace {

constexpr char kUsage[] =
    "Usage: corvane DRIVE:\n"
    "  or:  corvane /PATH\n"
    "Ask the system five times to write out everything it holds in memory for a\n"
    "volume, then show its answer in a window.\n"
    "\n"
    "  DRIVE:   a letter, found in the drive table: links named a: to z: in the\n"
    "           folder $CORVANE_DRIVES, else $XDG_CONFIG_HOME/corvane/drives\n"
    "           (~/.config/corvane/drives); c: is / when the table has no c:\n"
    "  /PATH    a block device (every file system mounted from it, then the\n"
    "           device) or the top folder of a mounted file system (syncfs)\n"
    "\n"
    "  -h, --help     show this help and end\n"
    "      --version  show the version and end\n"
    "\n"
    "Exit status: 0 when the window said \"The operation completed successfully.\",\n"
    "1 for any other result, 2 for a wrong option.\n"
    "See corvane(1).\n";

}  // namespace

std::optional<int> HandleOption(const std::string& arguments, std::ostream& out, std::ostream& err) {
  const std::string word = arguments.substr(0, arguments.find(' '));
  if (word.size() < 2 || word[0] != '-') return std::nullopt;
  if (word == "--help" || word == "-h") {
    out << kUsage;
  } else if (word == "--version") {
    out << "corvane " << VersionText(App.Major(), App.Minor(), App.Revision()) << "\n";
  } else {
    err << "corvane: unrecognised option '" << word << "'\n"
        << "Try 'corvane --help' for more information.\n";
    return kExitUsage;
  }
  out.flush();
  return out ? 0 : 1;
}
