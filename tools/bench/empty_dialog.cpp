// empty_dialog: the smallest Win32 dialog program, the baseline of the start-up benchmark.
// It shows one modal dialog with an OK button and ends when the dialog is closed.
#include "empty_dialog.h"

#include <windows.h>

namespace {

INT_PTR CALLBACK EmptyDialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      // OK, ESC and WM_CLOSE (which the dialog manager turns into IDCANCEL) all end it.
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(hWnd, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  const INT_PTR result =
      DialogBoxParamW(hInstance, MAKEINTRESOURCEW(IDD_EMPTY), nullptr, &EmptyDialogProc, 0);
  return result == -1 ? 1 : 0;
}
