// Paths and typed texts on their way into batch files and command lines.
// Plain paths stay as they are, so the classic command lines keep their exact
// bytes; everything cmd.exe or a program's argument parser would misread is
// quoted, and what no quoting can make safe is refused.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace lz {

enum class TextCheck {
    Ok,
    HasQuote,    // a double quote: cmd toggles quoting on it, so it cannot be enclosed
    HasControl,  // CR, LF or another control character: would end or break the line
};

// Whether a text may go into a command line at all. Callers refuse anything
// but Ok with a message.
TextCheck CheckCommandText(const std::wstring& text);

// True when cmd.exe or one of its built-ins treats some character of the text
// specially: blanks and , ; = (cmd splits arguments there), & | < > ( )
// (operators), ^ (escape), % and ! (expansion), " (quoting), ' and ` (for /f),
// + (COPY joins the files on either side of it) and / (built-ins take it as
// the start of a switch, also in the middle of a word). Inside double quotes
// all but % and ! lose their meaning.
bool NeedsQuotes(const std::wstring& text);

// A path or text as one argument: unchanged when plain, otherwise in double
// quotes, with a final backslash doubled so that it cannot escape the closing
// quote. "" gives "" in quotes, which keeps the argument's place.
// Expects CheckCommandText(text) == Ok.
std::wstring QuoteArg(const std::wstring& text);

// A program path started directly: quoted when it holds a blank, so that
// CreateProcess cannot run a shorter prefix ("C:\Program.exe").
std::wstring QuoteProgram(const std::wstring& path);

// Text for a line of a .bat or .cmd file: cmd expands % even inside quotes.
// Apply it to each inserted piece, after quoting.
std::wstring ForBatch(const std::wstring& text);

// QuoteArg then ForBatch; nullopt when the text cannot be made safe.
std::optional<std::wstring> BatchArg(const std::wstring& text);

// The /tr argument of schtasks in a batch line: the scheduler receives the
// path with its own quotes when it holds a blank ("\"C:\My Tools\a.exe\""),
// and cmd sees no & | < > ^ ( ) outside its quotes on the way. Plain paths
// stay as they are. Apply ForBatch afterwards.
std::wstring SchedulerTarget(const std::wstring& path);

}  // namespace lz
