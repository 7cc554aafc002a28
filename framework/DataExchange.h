// Data exchange between a dialog's controls and its members: control wrappers bound by id, and
// a group of radio buttons exchanged with an int.
#pragma once

#include <windows.h>

namespace fw {

class CWnd;

struct CDataExchange {
  bool m_bSaveAndValidate;  // true: controls to members
  CWnd* m_pDlgWnd;
};

// Attaches `control` to the dialog's control `id` the first time; later exchanges keep it.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// `value` is the index of the checked button in the group that starts at `firstId`, or -1.
void DDX_Radio(CDataExchange* pDX, int firstId, int& value);

}  // namespace fw
