// The boot loader's c:\boot.ini as the boot menu window sees it: the choices
// it lists, the CD start entry it appends, and the one-line attribute batch
// file that lifts and restores the file's protection.
#pragma once
#include <string>
#include <vector>

namespace lz {

extern const wchar_t* const kBootIni;       // c:\boot.ini
extern const wchar_t* const kBootBat;       // c:\BackTemp\boot.bat
extern const wchar_t* const kBootSectCopy;  // c:\backtemp\BOOTSECT.cdr
extern const wchar_t* const kBootTxtCD;     // the CD start's description at load

// The list holds at most this many choices; later ones are dropped.
constexpr int kBootSlots = 21;

// The choices of a boot.ini text, read field by field the way BASIC's
// comma-separated input reads a file:
// - a field ends at a comma or a line end (CR, LF or CR LF);
// - blanks (spaces, tabs) before a field are skipped;
// - a field that begins with a double quotation mark runs to its closing
//   mark, line ends included (to the end of the text when there is none),
//   loses both marks, and whatever follows the closing mark up to the next
//   comma or line end is dropped; having no quotation mark left, it is never
//   listed;
// - any other field that holds a quotation mark gives one choice: the text
//   from its first quotation mark to the field's end, without blanks at the
//   end.
// The first kBootSlots choices, in file order.
std::vector<std::wstring> ReadBootChoices(const std::wstring& text);

// The list box text: each choice followed by CR LF.
std::wstring BootListText(const std::vector<std::wstring>& choices);

// The CD start entry without its line end:
// C:\BackTemp\BOOTSECT.cdr="<description>".
std::wstring CdStartEntry(const std::wstring& description);

// Whether a description can stand between the entry's quotation marks: a
// quotation mark would end it early, CR or LF would split the line, and other
// control characters have no place in a menu name. Empty is allowed.
enum class DescriptionFault { None, Quote, Control };
DescriptionFault CheckDescription(const std::wstring& description);

// The single line of boot.bat: lifting (at load) or restoring (at unload)
// the read-only, hidden and system attributes of c:\boot.ini.
std::wstring BootBatLine(bool lift);

}  // namespace lz
