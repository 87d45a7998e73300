// The command-line decisions of the entry: the switch, the preview handle and the mode table.
#include "frontend/app/entry.h"

#include <cmath>

#include "frontend/settings/store.h"

namespace varenko {

namespace {

bool IsBlankW(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigitW(wchar_t c) { return c >= L'0' && c <= L'9'; }

wchar_t UpperAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? c - L'a' + L'A' : c; }

}  // namespace

std::wstring_view CommandTail(std::wstring_view full) {
  std::size_t pos = 0;
  if (!full.empty() && full[0] == L'"') {
    const std::size_t close = full.find(L'"', 1);
    pos = close == std::wstring_view::npos ? full.size() : close + 1;
  }
  while (pos < full.size() && !IsBlankW(full[pos])) ++pos;
  while (pos < full.size() && IsBlankW(full[pos])) ++pos;
  return full.substr(pos);
}

wchar_t SwitchOf(std::wstring_view commandLine) {
  return commandLine.size() < 2 ? L'\0' : UpperAscii(commandLine[1]);
}

std::int32_t ParsePreviewHandle(std::wstring_view commandLine) {
  if (commandLine.size() < 4) return 0;
  // Gather the longest prefix that reads as a number, skipping the ignored characters. Only
  // ASCII gets in, and a command line is at most 32767 characters, so the copy is bounded.
  std::string number;
  bool digits = false;
  bool point = false;
  bool exponent = false;
  std::size_t exponentStart = 0;
  for (wchar_t c : commandLine.substr(3)) {
    if (c == L' ' || c == L'\t' || c == L'\n') continue;
    if (IsDigitW(c)) {
      number += static_cast<char>(c);
      digits = true;
    } else if ((c == L'+' || c == L'-') &&
               (number.empty() || (exponent && number.size() == exponentStart))) {
      number += static_cast<char>(c);
    } else if (c == L'.' && !point && !exponent) {
      number += '.';
      point = true;
    } else if ((c == L'e' || c == L'E' || c == L'd' || c == L'D') && digits && !exponent) {
      number += 'e';
      exponent = true;
      exponentStart = number.size();
    } else {
      break;
    }
  }
  // An exponent without digits, or a lone sign, does not belong to the number.
  while (!number.empty() && (number.back() == 'e' || number.back() == '+' || number.back() == '-' ||
                             number.back() == '.')) {
    const char dropped = number.back();
    number.pop_back();
    if (dropped == 'e') break;
  }
  const auto value = ParseDecimalNumber(number);
  if (!value) return 0;
  const double rounded = std::nearbyint(*value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return 0;
  return static_cast<std::int32_t>(rounded);
}

EntryPlan PlanEntry(std::wstring_view commandLine) {
  const wchar_t sw = SwitchOf(commandLine);
  EntryPlan plan{EntryMode::End, true, true, false, 0};
  if (sw == L'P') {
    plan.mode = EntryMode::Preview;
    plan.loadSettings = false;
    plan.checkRenderer = false;
    plan.previewHandle = ParsePreviewHandle(commandLine);
  } else if (sw == L'C') {
    plan.mode = EntryMode::Configure;
  } else if (sw == L'S') {
    plan.mode = EntryMode::Run;
    plan.hideCursor = true;
  } else if (commandLine.empty()) {
    plan.mode = EntryMode::Run;
  }
  return plan;
}

std::string_view WithoutTrailingBackslash(std::string_view path) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return path;
}

}  // namespace varenko
