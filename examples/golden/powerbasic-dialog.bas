' powerbasic-dialog.bas - a DDT dialog that converts temperatures,
' written with careless keyword case.
#compile exe
#dim all
#include "win32api.inc"

%IDC_CELSIUS    = 1001
%IDC_FAHRENHEIT = 1002
%IDC_CONVERT    = 1003

callback function DlgProc() as long
    local txt as string
    local celsius as double
    select case as long cb.msg
    case %wm_initdialog
        control set text cb.hndl, %IDC_CELSIUS, "20"
    case %wm_command
        select case as long cb.ctl
        case %IDC_CONVERT
            if cb.ctlmsg = %bn_clicked or cb.ctlmsg = 1 then
                control get text cb.hndl, %IDC_CELSIUS to txt
                celsius = val(txt)
                control set text cb.hndl, %IDC_FAHRENHEIT, format$(celsius * 9 / 5 + 32, "0.0")
            end if
        case %idcancel
            if cb.ctlmsg = %bn_clicked then dialog end cb.hndl, 0
        end select
    end select
end function

function pbmain() as long
    local hDlg as dword
    dialog new pixels, 0, "Temperature", , , 260, 120, %ws_caption or %ws_sysmenu to hDlg
    control add label,   hDlg, -1, "Celsius:", 10, 12, 80, 20
    control add textbox, hDlg, %IDC_CELSIUS, "", 100, 10, 80, 22
    control add label,   hDlg, -1, "Fahrenheit:", 10, 44, 80, 20
    control add textbox, hDlg, %IDC_FAHRENHEIT, "", 100, 42, 80, 22, %es_readonly or %ws_border
    control add button,  hDlg, %IDC_CONVERT, "&Convert", 190, 10, 60, 24
    control add button,  hDlg, %idcancel, "Close", 190, 42, 60, 24
    dialog show modal hDlg, call DlgProc
end function
