// How a window looks: icons, fonts and style bits. Icons and fonts are read
// by the hook inside the target (see HookProtocol.h); style bits cross
// processes.
#include <windows.h>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"

namespace uidriver {
namespace {

std::string HexWord(DWORD value) {
  char text[16];
  wsprintfA(text, "0x%08lx", value);
  return text;
}

Query AskFont(Driver& driver, HWND control) {
  Query query{};
  query.kind = kQueryFont;
  const Query answer = driver.hooks.Ask(control, query);
  if (answer.answer != kAnswerGiven) throw Failure{"a font", "GetObjectW refused the font"};
  return answer;
}

std::string FontText(const std::string& face, long height, long weight) {
  return "font \"" + face + "\" " + std::to_string(height) + " " + std::to_string(weight);
}

std::string FontText(const Query& answer) {
  return FontText(Utf8(answer.font.lfFaceName), answer.font.lfHeight, answer.font.lfWeight) +
         (answer.systemFont ? " (no font set: the system font)" : "");
}

void ExpectStyle(Driver& driver, const Command& command, int index, bool set) {
  const HWND control = TheControl(driver, command.args[0]);
  const auto mask = static_cast<DWORD>(ParseNumber(command.args[1]));
  const auto style = static_cast<DWORD>(GetWindowLongA(control, index));
  const DWORD wrong = set ? mask & ~style : mask & style;
  if (wrong != 0) {
    const std::string name = index == GWL_STYLE ? "style " : "extended style ";
    throw Failure{name + "bits " + HexWord(mask) + (set ? " set" : " clear"),
                  name + HexWord(style) + " (" + HexWord(wrong) + (set ? " clear)" : " set)")};
  }
}

}  // namespace

void IconCommand(Driver& driver, const Command& command) {
  const std::string& size = command.args[0];
  if (size != "big" && size != "small") throw ScriptError{"icon big or small"};
  const bool expected = ParseFlag(command.args[1]);
  Query query{};
  query.kind = kQueryIcon;
  query.iconType = size == "big" ? ICON_BIG : ICON_SMALL;
  const bool saw = driver.hooks.Ask(TheWindow(driver), query).hasIcon;
  if (saw != expected) {
    const std::string what = "a " + size + " icon";
    throw Failure{expected ? what : "no " + size + " icon", saw ? what : "none"};
  }
}

// Wine gives every window the screen's one DPI, so a move to a monitor of
// another DPI is played to the window from inside its process.
void DpiChangedCommand(Driver& driver, const Command& command) {
  Query query{};
  query.kind = kQueryDpiChanged;
  query.dpi = static_cast<UINT>(ParseNumber(command.args[0]));
  if (driver.hooks.Ask(TheWindow(driver), query).answer != kAnswerGiven) {
    throw Failure{"the window told of DPI " + command.args[0], "no answer from its process"};
  }
}

void FontCommand(Driver& driver, const Command& command) {
  const Query answer = AskFont(driver, TheControl(driver, command.args[0]));
  const std::string expected =
      FontText(command.args[1], static_cast<long>(ParseNumber(command.args[2])),
               static_cast<long>(ParseNumber(command.args[3])));
  if (FontText(Utf8(answer.font.lfFaceName), answer.font.lfHeight, answer.font.lfWeight) != expected ||
      answer.systemFont) {
    throw Failure{expected, FontText(answer)};
  }
}

void FontNotCommand(Driver& driver, const Command& command) {
  const Query answer = AskFont(driver, TheControl(driver, command.args[0]));
  if (command.args[1] == Utf8(answer.font.lfFaceName)) {
    throw Failure{"a face other than \"" + command.args[1] + "\"", FontText(answer)};
  }
}

void StyleCommand(Driver& driver, const Command& command) {
  ExpectStyle(driver, command, GWL_STYLE, true);
}

void ExStyleCommand(Driver& driver, const Command& command) {
  ExpectStyle(driver, command, GWL_EXSTYLE, true);
}

void NoStyleCommand(Driver& driver, const Command& command) {
  ExpectStyle(driver, command, GWL_STYLE, false);
}

}  // namespace uidriver
