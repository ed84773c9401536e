// The line editor of a build without libedit (FORTH_LINE_EDITING=OFF): there is none, and
// the plain reader serves at the console too. See line_editor.h.
#include "platform/line_editor.h"

std::unique_ptr<LINE_SOURCE> open_line_editor(WORD_NAMES /*names*/) { return nullptr; }
