' notes-window.bas -- a scratch pad window, kept in -lang fblite from its
' QuickBASIC days. Option Escape: every plain string below takes \ escapes,
' so "\r\n" is a line end and "\"" a quote; $"..." keeps its backslashes.
#lang "fblite"
option escape
#include once "windows.bi"

const IDC_EDIT = 100
const SAVE_DIR = $"C:\notes\"   ' no escapes: the last \ is a backslash
dim shared hEdit as HWND
dim shared status as string

declare function WndProc(byval hWnd as HWND, byval uMsg as UINT, byval wParam as WPARAM, byval lParam as LPARAM) as LRESULT

function WndProc(byval hWnd as HWND, byval uMsg as UINT, byval wParam as WPARAM, byval lParam as LPARAM) as LRESULT
    select case uMsg
    case WM_CREATE
        hEdit = CreateWindowEx(WS_EX_CLIENTEDGE, "EDIT", "Type here.\r\nPress F2 to clear.", _
                               WS_CHILD or WS_VISIBLE or ES_MULTILINE or WS_VSCROLL, _  ' grows with the window
                               0, 0, 0, 0, HWND, cast(HMENU, IDC_EDIT), getmodulehandle(NULL), NULL)
        return 0
    case WM_SIZE
        movewindow(hEdit, 0, 0, loword(LPARAM), hiword(LPARAM), TRUE)
        return 0
    case WM_KEYDOWN
        if WPARAM = VK_F2 then SetWindowText(hEdit, "") : status = "cleared by \"F2\" if it was pressed"
    case WM_CLOSE
        if len(status) then messagebox(hwnd, "Last action: " & status & "\nSaved in " & SAVE_DIR, "Notes", MB_OK)
        destroywindow(hWnd)
        return 0
    case WM_DESTROY
        PostQuitMessage(0)
        return 0
    end select
    return DefWindowProc(hWnd, uMsg, WParam, lParam)
end function

REM the window class; the brush is the system's window colour
dim wc as WNDCLASS
dim className as zstring * 32 = "NotesWindow"
wc.style = CS_HREDRAW or CS_VREDRAW
wc.lpfnWndProc = @wndproc
wc.hInstance = GetModuleHandle(NULL)
wc.hCursor = LoadCursor(NULL, IDC_ARROW)
wc.hbrBackground = cast(HBRUSH, COLOR_WINDOW + 1)
wc.lpszClassName = @CLASSNAME
if RegisterClass(@wc) = 0 then
    MessageBox(NULL, "RegisterClass failed.\nThis needs Windows 95 or later.", "Notes", MB_ICONERROR)
    end 1
end if

dim hWnd as HWND
dim msg as MSG
hwnd = CreateWindowEx(0, classname, "Notes \45 " & SAVE_DIR, WS_OVERLAPPEDWINDOW or WS_VISIBLE, _
                      CW_USEDEFAULT, CW_USEDEFAULT, 480, 320, NULL, NULL, wc.hInstance, NULL)
while GetMessage(@msg, NULL, 0, 0)
    TranslateMessage(@msg)
    DispatchMessage(@MSG)
wend
end msg.wParam
