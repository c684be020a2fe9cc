#pragma once
// A dialog from a template in the program's resources, modal or modeless. Messages go to
// the derived class's OnMessage (usually a MessageMap); Exit/Enter end the dialog through
// OnOK, Escape and the close box through OnCancel.

#include "app/win/Wnd.h"

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT idTemplate, CWnd* parent = nullptr);
  ~CDialog() override;

  // Runs the dialog with its own message loop; the owner is disabled meanwhile. The window
  // is destroyed through DestroyWindow before this returns.
  INT_PTR DoModal();
  // Creates the dialog modeless, as a child of parent's window list; not shown yet unless
  // the template says so.
  BOOL Create(UINT idTemplate, CWnd* parent);
  void EndDialog(int result);

 protected:
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // True when the message was handled; result is what the message returns.
  virtual bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  bool Dispatch(UINT msg, WPARAM w, LPARAM l, LRESULT& result);
  void Detach();

  UINT m_nIDTemplate;
  CWnd* m_pParent;
  bool m_bModal = false;
  bool m_bEnded = false;
  int m_nResult = -1;
};
