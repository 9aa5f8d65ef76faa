' freebasic-windows.bas - a window that counts its clicks, written with
' careless keyword case.  Build with: fbc -s gui freebasic-windows.bas
#include once "windows.bi"
#include "win/commctrl.bi"

#define APP_TITLE "Click counter"
#define CLICK_LIMIT 10

#ifdef __FB_64BIT__
    const BITS_TEXT = "64-bit"
#else
    const BITS_TEXT = "32-bit"
#endif

dim shared clicks as integer
dim shared labelText as zstring ptr

function WndProc(byval hWnd as HWND, byval uMsg as UINT, _
                 byval wParam as WPARAM, byval lParam as LPARAM) as LRESULT
    select case uMsg
    case WM_CREATE
        labelText = callocate(64)
        return 0
    case WM_LBUTTONDOWN
        clicks += 1
        if clicks >= CLICK_LIMIT then goto tooMany
        *labelText = "Clicks: " & str(clicks)
        invalidaterect(hWnd, null, TRUE)
        return 0
tooMany:
        messagebox(hWnd, "That is enough clicking.", APP_TITLE, MB_OK or MB_ICONINFORMATION)
        postmessage(hWnd, WM_CLOSE, 0, 0)
        return 0
    case WM_PAINT
        dim ps as PAINTSTRUCT
        dim hdc as HDC = beginpaint(hWnd, @ps)
        textout(hdc, 10, 10, labelText, len(*labelText))
        endpaint(hWnd, @ps)
        return 0
    case WM_DESTROY
        deallocate(labelText)
        postquitmessage(0)
        return 0
    end select
    return defwindowproc(hWnd, uMsg, wParam, lParam)
end function

dim wc as WNDCLASSEX
dim wMsg as MSG
dim hInstance as HINSTANCE = getmodulehandle(null)

zeromemory(@wc, sizeof(wc))
wc.cbSize = sizeof(WNDCLASSEX)
wc.lpfnWndProc = procptr(WndProc)
wc.hInstance = hInstance
wc.hCursor = loadcursor(null, IDC_ARROW)
wc.hbrBackground = cast(HBRUSH, COLOR_WINDOW + 1)
wc.lpszClassName = @"ClickCounter"
if registerclassex(@wc) = 0 then end 1

dim hWnd as HWND = createwindowex(0, "ClickCounter", APP_TITLE & " (" & BITS_TEXT & ")", _
    WS_OVERLAPPEDWINDOW or WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, _
    null, null, hInstance, null)
updatewindow(hWnd)

while getmessage(@wMsg, null, 0, 0)    ' dim, print and goto stay as typed here
    translatemessage(@wMsg)
    dispatchmessage(@wMsg)
wend
end wMsg.wParam
