#pragma once

#include <cstdint>

#include "framework/ChildPage.h"
#include "framework/Controls.h"
#include "touch_settings/RightClickButton.h"

// The Touch Setting tab: the driver's cursor-movement filter and touch sound, the system's
// double-click speed and area with a test button, the pointer's display, and the start of the
// mouse-button program. Every change takes effect at once; nothing waits for the program's end.
class CTouchSettingPage : public fw::CChildPage {
 public:
  explicit CTouchSettingPage(fw::CWnd* pParent = nullptr);

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  const fw::MessageMap* GetMessageMap() const override;

  void OnReleasedCaptureCursorMovement(NMHDR* pNMHDR, LRESULT* pResult);
  void OnReleasedCaptureDblclkSpeed(NMHDR* pNMHDR, LRESULT* pResult);
  void OnReleasedCaptureDblclkArea(NMHDR* pNMHDR, LRESULT* pResult);
  void OnReleasedCaptureSoundFrequency(NMHDR* pNMHDR, LRESULT* pResult);
  void OnReleasedCaptureSoundDuration(NMHDR* pNMHDR, LRESULT* pResult);
  void OnTouchSound();
  void OnCursorDisplay();
  void OnDblclkTest();
  void OnLaunch();

  // Bits of SaveTouchSettings' mask; every caller passes exactly one.
  enum SaveMask : int { kSaveFilter = 1, kSaveBeep = 2, kSaveCursor = 4 };
  // Writes the values whose bits are set, in the order "Beep", "Filter", "Cursor".
  BOOL SaveTouchSettings(int mask);

  fw::CSliderCtrl m_sliderCursorMovement;
  fw::CSliderCtrl m_sliderDblclkSpeed;
  fw::CSliderCtrl m_sliderDblclkArea;
  fw::CSliderCtrl m_sliderSoundFrequency;
  fw::CSliderCtrl m_sliderSoundDuration;
  fw::CButton m_btnDblclkTest;
  fw::CButton m_btnCursorDisplay;
  fw::CButton m_btnTouchSound;
  CRightClickButton m_btnLaunch;
  fw::CBitmap m_bmpBulbUnlit;  // 189
  fw::CBitmap m_bmpBulbLit;    // 188

  std::uint32_t m_nDoubleClickTime = 0;
  std::int32_t m_nDoubleClickArea = 0;
  std::int32_t m_nTestState = 0;
  std::uint32_t m_nPrevClickTime = 0;
  std::uint32_t m_nCurClickTime = 0;
  std::int32_t m_nCursorDisplay = 1;
  std::int32_t m_nTouchSound = 0;
  std::int32_t m_nFrequencyPosition = 1;
  std::uint32_t m_nDuration = 1;
  std::uint16_t m_nToneDivisor;
  std::uint32_t m_nFilterPosition = 0;

 private:
  void InitDoubleClickSliders();
  void LoadTouchSettings();
  void SendBeepSetting() const;
  void ReplaceArrowCursor(UINT nIconId) const;
};
