// toolwind window helpers: thin wrappers over user32, comctl32 and shell32
// that fix which flags, constants, limits and orders every caller uses.
// Windows build only; the trace and the message box are in toolwind.h.
#pragma once

#include <windows.h>

#include "TOOLS/toolwind/dialog_template.h"
#include "TOOLS/toolwind/toolwind.h"

// The always-on-top command of the settings dialog's system menu.
enum { IDM_TOPMOST = 40039 };

// Non-fatal handle checks: a failure writes a trace line and returns false.
BOOL IsValidWindow(HWND hWnd);
BOOL IsValidDlgItem(HWND hwndDlg, int id);

// Tooltips.
HWND CreateTooltipCtrl(HWND hwndOwner, HINSTANCE instance);
LRESULT SetTooltipMultiline(HWND hwndTip);
BOOL AddTooltipTool(HWND hwndTip, HWND hwndOwner, HWND hwndTool, const char* text);
BOOL DeleteTooltipTool(HWND hwndTip, HWND hwndOwner, HWND hwndTool);

// Dialog controls and combo boxes.
BOOL EnableDlgItem(HWND hwndDlg, int id, BOOL enable);
int GetDlgItemTextLength(HWND hwndDlg, int id);
LRESULT GetComboSelData(HWND hwndCombo);

// Geometry.
BOOL GetWindowOrigin(HWND hWnd, POINT* origin);
BOOL GetWindowSize(HWND hWnd, SIZE* size);
int GetWindowWidth(HWND hWnd);
int GetWindowHeight(HWND hWnd);
int RectWidth(const RECT* rect);
int RectHeight(const RECT* rect);
BOOL GetWorkArea(RECT* rect);
BOOL MoveWindowTo(HWND hWnd, int x, int y);
BOOL CenterWindowOnCursor(HWND hWnd);
// Centred over the owner window (at the cursor without one), inside the work area.
BOOL CenterWindowOver(HWND hWnd, HWND hwndOwner);
// One step of a deferred layout: moves the window right by dx and widens it
// by dw, keeping its top and height.
void DeferOffsetWindow(HDWP* batch, HWND hWnd, int dx, int dw);
void DeferOffsetDlgItem(HDWP* batch, HWND hwndDlg, int id, int dx, int dw);

// Icons; the caller owns the icons returned.
HICON GetFileIcon(const char* path, UINT size_flag);
HICON GetModuleIcon(HINSTANCE instance, UINT size_flag);
HICON SetWindowIcon(HWND hWnd, WPARAM which, HICON icon);

// Menus.
int FindSysMenuClosePos(HMENU menu);
BOOL InsertMenuSeparator(HMENU menu, UINT position);
DWORD CheckTopmostMenuItem(BOOL checked, HMENU menu);
BOOL TrackPopupMenuAt(HWND hWnd, HMENU menu, POINT point);
BOOL TrackPopupMenuAtCursor(HWND hWnd, HMENU menu);

// A modal dialog from a template built in memory; the dialog's end code, or
// -1 when the template cannot be made or the dialog cannot be created.
INT_PTR DialogBoxFromDescription(HINSTANCE instance, const dlg_template_desc_t* desc,
                                 const dlg_item_desc_t* items, HWND owner, DLGPROC proc, LPARAM param);

// Window state.
BOOL IsTopmost(HWND hWnd);
BOOL SetTopmost(HWND hWnd);
BOOL SetNotTopmost(HWND hWnd);
BOOL SetTopmostState(HWND hWnd, BOOL topmost);
BOOL HideWindow(HWND hWnd);
