#include "app/FirmwareUpdateDlg.h"

#include "app/AboutDlg.h"

const MessageEntry<CFirmwareUpdateDlg> CFirmwareUpdateDlg::kMessageMap[] = {
    {WM_SYSCOMMAND, 0, 0,
     [](Self& d, WPARAM w, LPARAM l, LRESULT&) { return d.OnSysCommand(UINT(w), l); }},
    {WM_PAINT, 0, 0, [](Self& d, WPARAM, LPARAM, LRESULT&) { return d.OnPaint(); }},
    {WM_QUERYDRAGICON, 0, 0,
     [](Self& d, WPARAM, LPARAM, LRESULT& r) {
       r = reinterpret_cast<LRESULT>(d.OnQueryDragIcon());
       return true;
     }},
    {WM_COMMAND, IDC_PORT, CBN_SELCHANGE, CommandHandler<&Self::OnSelchangePort, Self>},
    {WM_COMMAND, IDC_FIND, BN_CLICKED, CommandHandler<&Self::OnFind, Self>},
    {WM_COMMAND, IDC_OPEN, BN_CLICKED, CommandHandler<&Self::OnOpen, Self>},
    {WM_COMMAND, IDC_UPGRADE, BN_CLICKED, CommandHandler<&Self::OnUpgrade, Self>},
};

CFirmwareUpdateDlg::CFirmwareUpdateDlg(CWnd* parent)
    : CDialog(IDD, parent), m_core(m_serialDriver, *this) {
  m_hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CFirmwareUpdateDlg::~CFirmwareUpdateDlg() = default;

bool CFirmwareUpdateDlg::OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  return DispatchMessageMap(*this, kMessageMap, msg, w, l, result);
}

void CFirmwareUpdateDlg::DoDataExchange(bool save) {
  if (save)
    m_core.ChooseImage(GetDlgItemText(IDC_FILENAME));
  else
    SetDlgItemText(IDC_FILENAME, m_core.ImageName());
}

BOOL CFirmwareUpdateDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  DoDataExchange(false);

  if (HMENU sysMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
    char about[128] = "";
    ::LoadStringA(::GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof about);
    if (about[0] != '\0') {
      ::AppendMenuA(sysMenu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuA(sysMenu, MF_STRING, IDM_ABOUTBOX, about);
    }
  }
  ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

  m_core.ResetDialogState(*this);
  return TRUE;  // the focus goes to the first tab stop, Exit
}

void CFirmwareUpdateDlg::OnOK() {
  DoDataExchange(true);
  CDialog::OnOK();
}

bool CFirmwareUpdateDlg::OnSysCommand(UINT nID, LPARAM) {
  if ((nID & 0xFFF0) != IDM_ABOUTBOX) return false;  // the system's own commands
  CAboutDlg about(this);
  about.DoModal();
  return true;
}

bool CFirmwareUpdateDlg::OnPaint() {
  if (!::IsIconic(m_hWnd)) return false;
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const int cxIcon = ::GetSystemMetrics(SM_CXICON);
  const int cyIcon = ::GetSystemMetrics(SM_CYICON);
  RECT rect;
  ::GetClientRect(m_hWnd, &rect);
  ::DrawIcon(dc, (rect.right - cxIcon + 1) / 2, (rect.bottom - cyIcon + 1) / 2, m_hIcon);
  ::EndPaint(m_hWnd, &ps);
  return true;
}

HICON CFirmwareUpdateDlg::OnQueryDragIcon() { return m_hIcon; }

void CFirmwareUpdateDlg::OnSelchangePort() {
  m_core.OnPortSelected(static_cast<int>(SendDlgItemMessage(IDC_PORT, CB_GETCURSEL)));
}

BOOL CFirmwareUpdateDlg::DestroyWindow() {
  m_core.ReleasePort();
  // Pop-ups of an operation cut short go with their owner.
  m_pStatusDlg.reset();
  m_pProgressDlg.reset();
  return CDialog::DestroyWindow();
}
