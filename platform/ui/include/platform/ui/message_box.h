#pragma once
// Modal message boxes with a caption, a text, an icon kind (MB_ICONERROR,
// MB_ICONQUESTION, MB_ICONWARNING, MB_ICONINFORMATION) and a button set
// (MB_OK, MB_OKCANCEL, MB_YESNO, ...). They return the ID* of the button
// chosen (closing the box answers IDCANCEL, or IDOK/IDNO where there is no
// cancel button).
//
// With the environment variable KESTRA_MESSAGEBOX=stderr, or when there is
// no display, nothing is shown: "MessageBox: <caption>: <text>" is written to
// standard error as one line and the default button is returned at once
// (the first button, or the one MB_DEFBUTTON2/3 names).

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window_registry.h"

namespace platform::ui {

int MessageBoxA(HWND owner, std::string_view text, std::string_view caption, uint32_t flags);
int MessageBoxW(HWND owner, std::u16string_view text, std::u16string_view caption, uint32_t flags);

// The answer that the non-interactive mode gives for these flags.
int DefaultMessageBoxAnswer(uint32_t flags);

}  // namespace platform::ui
