// Commands this player does not carry out yet. Each keeps the interpreter's flow as the
// command would (SELECT, SELECTCG, WAIT and EXIT go on in the same line, the others with the
// next line) and says once on standard error that it did nothing, so that a game relying on
// it is not mistaken for one that works.
#include <cstdio>
#include <set>
#include <string>

#include "script/command_handlers.h"

namespace orv {
namespace {
bool Pending(const char* keyword, bool result) {
  static std::set<std::string> reported;
  if (reported.insert(keyword).second) std::fprintf(stderr, "orvane: the %s command is not supported yet\n", keyword);
  return result;
}
}  // namespace

bool CmdSelect(TForm1&) { return Pending("SELECT", false); }
bool CmdDatalog(TForm1&) { return Pending("DATALOG", true); }
bool CmdSelectcg(TForm1&) { return Pending("SELECTCG", false); }
bool CmdOnload(TForm1&) { return Pending("ONLOAD", true); }
bool CmdOnsave(TForm1&) { return Pending("ONSAVE", true); }
bool CmdPsave(TForm1&) { return Pending("PSAVE", true); }
bool CmdPload(TForm1&) { return Pending("PLOAD", true); }
bool CmdSavepoint(TForm1&) { return Pending("SAVEPOINT", true); }

}  // namespace orv
