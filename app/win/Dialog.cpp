#include "app/win/Dialog.h"

#include "app/win/DialogInit.h"

namespace {

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT msg) {
  return msg == WM_QUERYDRAGICON || msg == WM_CHARTOITEM || msg == WM_VKEYTOITEM ||
         msg == WM_COMPAREITEM || msg == WM_INITDIALOG ||
         (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC);
}

HINSTANCE Instance() { return ::GetModuleHandleA(nullptr); }

// A modal dialog whose template does not place it opens over the middle of its owner,
// kept on the owner's screen.
void CenterOverOwner(HWND dialog) {
  HWND owner = ::GetWindow(dialog, GW_OWNER);
  if (!owner || (::GetWindowLongA(dialog, GWL_STYLE) & DS_CENTER)) return;
  RECT over, own;
  ::GetWindowRect(owner, &over);
  ::GetWindowRect(dialog, &own);
  const int w = own.right - own.left, h = own.bottom - own.top;
  int x = (over.left + over.right - w) / 2, y = (over.top + over.bottom - h) / 2;
  MONITORINFO mi = {sizeof mi, {}, {}, 0};
  if (::GetMonitorInfoA(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &mi)) {
    x = x + w > mi.rcWork.right ? mi.rcWork.right - w : x;
    y = y + h > mi.rcWork.bottom ? mi.rcWork.bottom - h : y;
    x = x < mi.rcWork.left ? mi.rcWork.left : x;
    y = y < mi.rcWork.top ? mi.rcWork.top : y;
  }
  ::SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CDialog::CDialog(UINT idTemplate, CWnd* parent) : m_nIDTemplate(idTemplate), m_pParent(parent) {}

CDialog::~CDialog() {
  // The object goes first: make sure the window no longer calls into it.
  if (m_hWnd) {
    HWND h = m_hWnd;
    Detach();
    ::DestroyWindow(h);
  }
}

INT_PTR CDialog::DoModal() {
  HWND owner = m_pParent ? m_pParent->GetSafeHwnd() : nullptr;
  m_bModal = true;
  m_bEnded = false;
  m_nResult = -1;
  if (!::CreateDialogParamA(Instance(), MAKEINTRESOURCEA(m_nIDTemplate), owner, DialogProc,
                            reinterpret_cast<LPARAM>(this))) {
    m_bModal = false;
    return -1;
  }
  const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
  if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
  if (!m_bEnded) ShowWindow(SW_SHOWNORMAL);

  MSG msg;
  while (!m_bEnded) {
    const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop further out
      break;
    }
    if (got < 0) break;
    if (!::IsDialogMessageA(m_hWnd, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }

  // The owner comes back before this window goes, so that activation returns to it.
  if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
  if (m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
  DestroyWindow();
  m_bModal = false;
  return m_nResult;
}

BOOL CDialog::Create(UINT idTemplate, CWnd* parent) {
  m_nIDTemplate = idTemplate;
  m_pParent = parent;
  m_bModal = false;
  return ::CreateDialogParamA(Instance(), MAKEINTRESOURCEA(idTemplate),
                              parent ? parent->GetSafeHwnd() : nullptr, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(int result) {
  m_nResult = result;
  m_bEnded = true;
  if (m_bModal) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the modal loop
}

BOOL CDialog::OnInitDialog() { return TRUE; }

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool CDialog::Dispatch(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  if (OnMessage(msg, w, l, result)) return true;
  if (msg == WM_COMMAND && HIWORD(w) == BN_CLICKED) {
    if (LOWORD(w) == IDOK) {
      OnOK();
      return true;
    }
    if (LOWORD(w) == IDCANCEL) {
      OnCancel();
      return true;
    }
  }
  if (msg == WM_NCDESTROY) Detach();
  return false;
}

void CDialog::Detach() {
  if (m_hWnd) ::SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
  m_hWnd = nullptr;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CDialog*>(l);
    ::SetWindowLongPtrA(hwnd, DWLP_USER, l);
    self->m_hWnd = hwnd;
    RunDialogInitData(hwnd, self->m_nIDTemplate);
    if (self->m_bModal) CenterOverOwner(hwnd);
    return self->OnInitDialog();
  }
  auto* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!self) return FALSE;
  LRESULT result = 0;
  if (!self->Dispatch(msg, w, l, result)) return FALSE;
  if (ReturnsDirectly(msg)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}
