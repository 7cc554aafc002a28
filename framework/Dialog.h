// Dialog base class: a window made from a dialog template, run modally with its own message
// loop (DoModal) or created modeless as a child or owned window (Create).
#pragma once

#include <string>

#include "framework/DataExchange.h"
#include "framework/Wnd.h"

namespace fw {

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

  // Creates the dialog, disables its owner (and the owner's top-level owner) and runs the loop
  // until EndDialog or until the window is destroyed. Returns the value given to EndDialog, or
  // -1 when the dialog could not be created or ended without it.
  virtual INT_PTR DoModal();
  // Creates a modeless dialog; its initialisation runs before this returns.
  BOOL Create(UINT nIDTemplate, CWnd* pParentWnd);

  // Modal: ends the loop with this result. Modeless: hides the window.
  void EndDialog(INT_PTR nResult);

  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* pDX);

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND CreateFromTemplate(HWND hWndParent);
  void RunModalLoop();

  bool m_bModal = false;
  bool m_bEndModal = false;
  INT_PTR m_nModalResult = -1;
};

// A message box owned by the window the user is working in, captioned with the program's name.
// Like a modal dialog, it disables its owner and the owner's top-level owner while it shows.
int AfxMessageBox(const char* text, UINT type = MB_OK | MB_ICONEXCLAMATION);

// Paints a minimised dialog's client area with its icon, centred: the dialog manager paints no
// icon of its own. False, painting nothing, when the window is not minimised.
bool PaintMinimizedIcon(const CWnd& wnd, HICON icon);

// Adds a separator and the string resource `idString` as command `idCommand` to the window's
// system menu. The text is loaded and added as Unicode, so that a Korean entry shows on any code
// page; nothing is added when the menu or the string is missing.
void AppendAboutItem(const CWnd& wnd, UINT idString, UINT idCommand);

// The icon for the window's title bar and its task-switcher entry alike.
void SetDialogIcons(const CWnd& wnd, HICON icon);

// The program's file name without folder and extension.
std::string ProgramName();

}  // namespace fw
