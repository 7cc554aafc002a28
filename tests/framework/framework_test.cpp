// The window framework on its own: message maps, the modal loop with its pre-translation walk,
// modeless dialogs and data exchange, with real windows under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/MessageMap.h"
#include "framework_test_ids.h"
#include "wait.h"

namespace {

std::vector<std::string> g_events;

// Every scenario runs inside a message loop, started from a timer: a broken dispatch, or an
// assertion that leaves a handler early, would loop until the test program's timeout. The
// watchdog fails the test instead and ends every loop with WM_QUIT.
class Watchdog : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override {
    s_timer = ::SetTimer(nullptr, 0, support::kWaitMs, &Fire);
  }
  void OnTestEnd(const testing::TestInfo&) override {
    ::KillTimer(nullptr, s_timer);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ADD_FAILURE() << "the scenario did not end within " << support::kWaitMs << " ms";
    ::PostQuitMessage(1);
  }
  static inline UINT_PTR s_timer = 0;
};

const bool g_watchdogInstalled = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
  return true;
}();

// The dialog's m_onStart runs from a timer, that is, once its message loop is running.
void AfterLoopStarts(fw::CDialog& dialog) { ::SetTimer(dialog.m_hWnd, 77, 10, nullptr); }

class CInnerButton : public fw::CButton {
 public:
  bool m_bConsume = false;
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN) g_events.push_back("button");
    return m_bConsume && pMsg->message == WM_KEYDOWN;
  }
};

class CPage : public fw::CDialog {
 public:
  CPage() : CDialog(IDD_PAGE) {}
  CInnerButton m_inner;
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN) g_events.push_back("page");
    return FALSE;
  }

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override { fw::DDX_Control(pDX, IDC_INNER, m_inner); }
};

class CHostDlg : public fw::CDialog {
 public:
  explicit CHostDlg(fw::CWnd* pParent = nullptr) : CDialog(IDD_HOST, pParent) {}

  std::function<void(CHostDlg&)> m_onStart;
  std::function<void(CHostDlg&)> m_onAction;
  int m_nRadio = -1;
  CPage m_page;
  bool m_bWithPage = false;
  int m_nAppMessages = 0;
  int m_nActions = 0;

  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN) g_events.push_back("host");
    return CDialog::PreTranslateMessage(pMsg);
  }

 protected:
  const fw::MessageMap* GetMessageMap() const override {
    static const fw::MessageEntry entries[] = {
        fw::OnCommand<&CHostDlg::OnAction>(IDC_ACTION),
        fw::OnMessage<&CHostDlg::OnApp>(WM_APP),
        fw::OnMessage<&CHostDlg::OnThrow>(WM_APP + 1),
        fw::OnMessage<&CHostDlg::OnTimer>(WM_TIMER),
    };
    static const fw::MessageMap map(CDialog::GetMessageMap(), entries);
    return &map;
  }

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    if (m_bWithPage) m_page.Create(IDD_PAGE, this);
    AfterLoopStarts(*this);
    return TRUE;
  }

  void DoDataExchange(fw::CDataExchange* pDX) override {
    fw::DDX_Radio(pDX, IDC_RADIO_FIRST, m_nRadio);
  }

  void OnAction() {
    ++m_nActions;
    if (m_onAction) m_onAction(*this);
  }
  LRESULT OnApp(WPARAM wParam, LPARAM) {
    ++m_nAppMessages;
    return static_cast<LRESULT>(wParam) + 1;
  }
  LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("a handler that fails"); }
  void OnTimer(UINT_PTR nIDEvent) {
    ::KillTimer(m_hWnd, nIDEvent);
    if (m_onStart) m_onStart(*this);
  }
};

// A derived class adds to its base's map and still gets the base's entries.
class CDerivedDlg : public CHostDlg {
 public:
  int m_nNotifies = 0;

 protected:
  const fw::MessageMap* GetMessageMap() const override {
    static const fw::MessageEntry entries[] = {
        fw::OnNotify<&CDerivedDlg::OnCustomNotify>(IDC_AFTER, NM_CLICK),
    };
    static const fw::MessageMap map(CHostDlg::GetMessageMap(), entries);
    return &map;
  }
  void OnCustomNotify(NMHDR* pHeader, LRESULT* pResult) {
    ++m_nNotifies;
    *pResult = static_cast<LRESULT>(pHeader->idFrom);
  }
};

HWND Item(const fw::CWnd& dialog, int id) { return ::GetDlgItem(dialog.m_hWnd, id); }

TEST(MessageMap, BindsCommandsMessagesAndNotificationsThroughTheBaseChain) {
  CDerivedDlg dialog;
  dialog.m_onStart = [](CHostDlg& self) {
    auto& derived = static_cast<CDerivedDlg&>(self);
    ::SendMessageW(self.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_ACTION, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(self, IDC_ACTION)));
    // Another notification code of the same control is not the bound one.
    ::SendMessageW(self.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_ACTION, BN_SETFOCUS),
                   reinterpret_cast<LPARAM>(Item(self, IDC_ACTION)));
    EXPECT_EQ(::SendMessageW(self.m_hWnd, WM_APP, 41, 0), 42);
    // The catch-all at the window procedure: a handler that throws answers 0, and the dialog
    // goes on.
    EXPECT_EQ(::SendMessageW(self.m_hWnd, WM_APP + 1, 0, 0), 0);
    NMHDR header{Item(self, IDC_AFTER), IDC_AFTER, NM_CLICK};
    EXPECT_EQ(::SendMessageW(self.m_hWnd, WM_NOTIFY, IDC_AFTER, reinterpret_cast<LPARAM>(&header)),
              IDC_AFTER);
    header.code = NM_DBLCLK;
    ::SendMessageW(self.m_hWnd, WM_NOTIFY, IDC_AFTER, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(derived.m_nNotifies, 1);
    self.EndDialog(5);
  };
  EXPECT_EQ(dialog.DoModal(), 5);
  EXPECT_EQ(dialog.m_nActions, 1);
  EXPECT_EQ(dialog.m_nAppMessages, 1);
  EXPECT_EQ(dialog.m_hWnd, nullptr) << "a modal dialog is destroyed when its loop ends";
}

TEST(ModalLoop, DisablesTheOwnerAndEnablesItBeforeReturning) {
  CHostDlg owner;
  owner.m_onStart = [](CHostDlg& self) {
    CHostDlg inner(&self);
    inner.m_onStart = [&self](CHostDlg& dialog) {
      EXPECT_FALSE(::IsWindowEnabled(self.m_hWnd));
      dialog.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(inner.DoModal(), IDCANCEL);
    EXPECT_TRUE(::IsWindowEnabled(self.m_hWnd));
    self.EndDialog(IDOK);
  };
  EXPECT_EQ(owner.DoModal(), IDOK);
}

// A modal dialog run from a timer handler of a modeless window returns into that handler, and
// the handler goes on; the modeless window's messages keep flowing meanwhile.
TEST(ModalLoop, NestsInsideATimerHandlerOfAModelessWindow) {
  std::vector<std::string> steps;
  CHostDlg host;
  CHostDlg modeless;
  modeless.m_onStart = [&](CHostDlg& timerOwner) {
    steps.push_back("timer");
    CHostDlg nested;
    nested.m_onStart = [&](CHostDlg& dialog) {
      EXPECT_EQ(::SendMessageW(timerOwner.m_hWnd, WM_APP, 1, 0), 2);
      steps.push_back("nested");
      dialog.EndDialog(IDOK);
    };
    EXPECT_EQ(nested.DoModal(), IDOK);
    steps.push_back("timer goes on");
    host.EndDialog(IDOK);
  };
  host.m_onStart = [&](CHostDlg& self) { ASSERT_TRUE(modeless.Create(IDD_HOST, &self)); };
  EXPECT_EQ(host.DoModal(), IDOK);
  EXPECT_EQ(steps, (std::vector<std::string>{"timer", "nested", "timer goes on"}));
}

TEST(Modeless, EndDialogHidesTheWindowAndKeepsIt) {
  CHostDlg host;
  CHostDlg modeless;
  host.m_onStart = [&](CHostDlg& self) {
    ASSERT_TRUE(modeless.Create(IDD_HOST, &self));
    modeless.ShowWindow(SW_SHOW);
    modeless.EndDialog(IDCANCEL);
    EXPECT_FALSE(::IsWindowVisible(modeless.m_hWnd));
    EXPECT_TRUE(::IsWindow(modeless.m_hWnd));
    self.EndDialog(IDOK);
  };
  EXPECT_EQ(host.DoModal(), IDOK);
}

TEST(ModalLoop, QuitEndsTheLoopAndReachesTheLoopAround) {
  CHostDlg dialog;
  dialog.m_onStart = [](CHostDlg&) { ::PostQuitMessage(3); };
  EXPECT_EQ(dialog.DoModal(), -1);
  MSG msg;
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST(ModalLoop, AMissingTemplateAnswersMinusOne) {
  fw::CDialog dialog(999);
  EXPECT_EQ(dialog.DoModal(), -1);
}

// A key for a control of a child page goes to the control's object, the page, then the dialog
// that runs the loop; an object that consumes it ends the walk.
TEST(PreTranslate, WalksFromTheTargetControlUpThroughItsParents) {
  for (bool consume : {false, true}) {
    SCOPED_TRACE(consume ? "the button consumes the key" : "nobody consumes the key");
    g_events.clear();
    CHostDlg dialog;
    dialog.m_bWithPage = true;
    dialog.m_onStart = [consume](CHostDlg& self) {
      self.m_page.m_inner.m_bConsume = consume;
      ::PostMessageW(Item(self.m_page, IDC_INNER), WM_KEYDOWN, 'X', 0);
      ::PostMessageW(self.m_hWnd, WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    const std::vector<std::string> expected =
        consume ? std::vector<std::string>{"button"}
                : std::vector<std::string>{"button", "page", "host"};
    EXPECT_EQ(g_events, expected);
  }
}

TEST(DataExchange, ExchangesARadioGroupWithAnInt) {
  CHostDlg dialog;
  dialog.m_nRadio = 1;
  dialog.m_onStart = [](CHostDlg& self) {
    auto checked = [&](int id) { return ::SendMessageW(Item(self, id), BM_GETCHECK, 0, 0); };
    EXPECT_EQ(checked(IDC_RADIO_FIRST), BST_UNCHECKED);
    EXPECT_EQ(checked(IDC_RADIO_SECOND), BST_CHECKED);
    EXPECT_EQ(checked(IDC_RADIO_THIRD), BST_UNCHECKED);

    ::SendMessageW(Item(self, IDC_RADIO_SECOND), BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendMessageW(Item(self, IDC_RADIO_THIRD), BM_SETCHECK, BST_CHECKED, 0);
    self.UpdateData(TRUE);
    EXPECT_EQ(self.m_nRadio, 2);

    ::SendMessageW(Item(self, IDC_RADIO_THIRD), BM_SETCHECK, BST_UNCHECKED, 0);
    self.UpdateData(TRUE);
    EXPECT_EQ(self.m_nRadio, -1);

    // The group ends at the next WS_GROUP control: index 3 does not exist.
    self.m_nRadio = 3;
    self.UpdateData(FALSE);
    for (int id : {IDC_RADIO_FIRST, IDC_RADIO_SECOND, IDC_RADIO_THIRD}) {
      EXPECT_EQ(checked(id), BST_UNCHECKED);
    }
    self.EndDialog(IDCANCEL);
  };
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

// A notification is read only when its header names one of the window's children: WM_NOTIFY
// with a null pointer, which any program can send, or from elsewhere, is ignored.
TEST(MessageMap, NotificationsWithoutAHeaderOfAChildAreIgnored) {
  CDerivedDlg dialog;
  dialog.m_onStart = [](CHostDlg& self) {
    auto& derived = static_cast<CDerivedDlg&>(self);
    EXPECT_EQ(::SendMessageW(self.m_hWnd, WM_NOTIFY, IDC_AFTER, 0), 0);
    NMHDR foreign{self.m_hWnd, IDC_AFTER, NM_CLICK};
    EXPECT_EQ(::SendMessageW(self.m_hWnd, WM_NOTIFY, IDC_AFTER, reinterpret_cast<LPARAM>(&foreign)),
              0);
    EXPECT_EQ(derived.m_nNotifies, 0);
    self.EndDialog(IDOK);
  };
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

// A dialog owned by an owned window (the calibration screen over the main window) disables the
// top-level owner too, and enables both again.
TEST(ModalLoop, DisablesTheTopLevelOwnerOfItsOwnerToo) {
  CHostDlg top;
  top.m_onStart = [](CHostDlg& self) {
    CHostDlg owned;
    ASSERT_TRUE(owned.Create(IDD_HOST, &self));
    owned.ShowWindow(SW_SHOW);
    CHostDlg inner(&owned);
    inner.m_onStart = [&](CHostDlg& dialog) {
      EXPECT_FALSE(::IsWindowEnabled(owned.m_hWnd));
      EXPECT_FALSE(::IsWindowEnabled(self.m_hWnd));
      dialog.EndDialog(IDOK);
    };
    EXPECT_EQ(inner.DoModal(), IDOK);
    EXPECT_TRUE(::IsWindowEnabled(owned.m_hWnd));
    EXPECT_TRUE(::IsWindowEnabled(self.m_hWnd));
    owned.DestroyWindow();
    self.EndDialog(IDOK);
  };
  EXPECT_EQ(top.DoModal(), IDOK);
}

TEST(ModalLoop, EndsWhenTheDialogIsDestroyedAnotherWay) {
  CHostDlg owner;
  owner.m_onStart = [](CHostDlg& self) {
    CHostDlg inner(&self);
    inner.m_onStart = [](CHostDlg& dialog) { dialog.DestroyWindow(); };
    EXPECT_EQ(inner.DoModal(), -1);
    EXPECT_TRUE(::IsWindowEnabled(self.m_hWnd));
    self.EndDialog(IDOK);
  };
  EXPECT_EQ(owner.DoModal(), IDOK);
}

class CThrowingDlg : public CHostDlg {
 public:
  using CHostDlg::CHostDlg;
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN) throw std::runtime_error("pre-translation fails");
    return CHostDlg::PreTranslateMessage(pMsg);
  }
};

TEST(ModalLoop, AnExceptionThroughTheLoopEnablesTheOwnerAndDestroysTheDialog) {
  CHostDlg owner;
  owner.m_onStart = [](CHostDlg& self) {
    CThrowingDlg inner(&self);
    inner.m_onStart = [](CHostDlg& dialog) { ::PostMessageW(dialog.m_hWnd, WM_KEYDOWN, 'X', 0); };
    EXPECT_THROW(inner.DoModal(), std::runtime_error);
    EXPECT_TRUE(::IsWindowEnabled(self.m_hWnd));
    EXPECT_EQ(inner.m_hWnd, nullptr);
    self.EndDialog(IDOK);
  };
  EXPECT_EQ(owner.DoModal(), IDOK);
}

// A heap-owned modeless window that frees itself with its last message: the framework touches
// nothing of it afterwards. Its memory is filled and kept by its operator delete, so that a
// later write shows.
class CSelfFreeingDlg : public fw::CDialog {
 public:
  CSelfFreeingDlg() : CDialog(IDD_HOST) {}
  static void* operator new(std::size_t size) {
    s_size = size;
    return ::operator new(size);
  }
  static void operator delete(void* block) {
    std::memset(block, 0xDD, s_size);
    s_freed = block;
  }
  static inline std::size_t s_size = 0;
  static inline void* s_freed = nullptr;

 protected:
  const fw::MessageMap* GetMessageMap() const override {
    static const fw::MessageEntry entries[] = {
        fw::OnMessage<&CSelfFreeingDlg::OnNcDestroy>(WM_NCDESTROY),
    };
    static const fw::MessageMap map(CDialog::GetMessageMap(), entries);
    return &map;
  }
  void OnNcDestroy() {
    Default();
    delete this;
  }
};

TEST(Lifetime, AWindowFreedByItsLastMessageIsNotTouchedAfterIt) {
  auto* window = new CSelfFreeingDlg;
  ASSERT_TRUE(window->Create(IDD_HOST, nullptr));
  HWND hWnd = window->m_hWnd;
  EXPECT_TRUE(::DestroyWindow(hWnd));
  ASSERT_EQ(CSelfFreeingDlg::s_freed, window);
  const auto* bytes = static_cast<const unsigned char*>(CSelfFreeingDlg::s_freed);
  std::size_t touched = 0;
  for (std::size_t i = 0; i < CSelfFreeingDlg::s_size; ++i) touched += bytes[i] != 0xDD ? 1 : 0;
  EXPECT_EQ(touched, 0u) << "bytes of the freed object were written after its last message";
  EXPECT_EQ(fw::CWnd::FromHandlePermanent(hWnd), nullptr);
  ::operator delete(CSelfFreeingDlg::s_freed);
}

}  // namespace
