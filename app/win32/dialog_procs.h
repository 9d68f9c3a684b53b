// The dialog procedures of the three dialogs. Each one carries out the
// portable dialog logic (dialogs/dialogs.h) on the real dialog window.
#pragma once

#include <windows.h>

namespace quorrin {
namespace win32 {

// The procedure of dialog 116, 117 or 122; null for any other number. The
// store-bound dialogs take their ProgressStore as the creation parameter.
DLGPROC dialogProcedure(int dialogId);

}  // namespace win32
}  // namespace quorrin
