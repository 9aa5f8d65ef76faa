'INVENTORY.BAS - a dialog that lists the stock and marks the low shelves.
'PB/Win: DDT dialog, one subclassed list box, data in INVENTORY.INC.
#COMPILE EXE
#DIM ALL
#INCLUDE "WIN32API.INC"
#INCLUDE "inventory.inc"

GLOBAL OldListProc AS DWORD
GLOBAL Total AS CUR                  ' what the whole stock is worth

FUNCTION PBMAIN () AS LONG
  LOCAL count AS LONG, i AS LONG
  count = LoadStock($DATAFILE)
  IF COUNT = 0 THEN Count = samplestock()
  DIALOG NEW 0, "Inventory", , , 260, 180, %WS_CAPTION OR %WS_SYSMENU TO hDlg
  CONTROL ADD LISTBOX, hDlg, %IDC_LIST, , 5, 5, 250, 140, %WS_VSCROLL OR %LBS_NOTIFY
  CONTROL ADD BUTTON, hDlg, %IDC_SAVE, "&Save", 5, 150, 60, 14
  CONTROL ADD LABEL, hDlg, %IDC_STATUS, "", 70, 152, 185, 12
  FOR i = 1 TO COUNT
    LISTBOX ADD hDlg, %IDC_LIST, TRIM$(items(i).CAPTION) + $TAB + PRICETEXT(items(i).Price)
    total = TOTAL + items(i).price * Items(i).COUNT
  NEXT
  DIALOG SHOW MODAL hDlg, CALL DlgProc
END FUNCTION

CALLBACK FUNCTION DlgProc() AS LONG
  LOCAL state AS LONG, sel AS LONG
  SELECT CASE CB.MSG
    CASE %WM_INITDIALOG
      OldListProc = SetWindowLong(GetDlgItem(CB.HNDL, %IDC_LIST), %GWL_WNDPROC, CODEPTR(ListProc))
      CONTROL SET TEXT CB.HNDL, %IDC_STATUS, "Stock: " + PriceText(TOTAL)
    CASE %WM_COMMAND
      SELECT CASE CB.CTL
        CASE %IDC_LIST
          IF CB.CTLMSG = %LBN_SELCHANGE THEN
            LISTBOX GET SELECT CB.HNDL, %IDC_LIST TO sel
            STATE = StateOf(items(sel).Count)
            IF State = %STATE_LOW THEN CONTROL SET TEXT CB.HNDL, %IDC_STATUS, "Low: reorder """ + TRIM$(items(sel).CODE) + """"
          END IF
        CASE %IDC_SAVE
          IF CB.CTLMSG = %BN_CLICKED THEN SaveStock $backupdir
      END SELECT
  END SELECT
END FUNCTION

FUNCTION ListProc(BYVAL hWnd AS DWORD, BYVAL wMsg AS DWORD, BYVAL wParam AS DWORD, BYVAL lParam AS LONG) AS LONG
  ' Del takes the selected line out of the list (not out of the file)
  IF wMsg = %WM_KEYDOWN AND LO(WORD, WPARAM) = %VK_DELETE THEN
    SendMessage hwnd, %LB_DELETESTRING, SendMessage(HWND, %LB_GETCURSEL, 0, 0), 0
    FUNCTION = 0 : EXIT FUNCTION
  END IF
  FUNCTION = CallWindowProc(OldListProc, hWnd, wMsg, Wparam, LPARAM)
END FUNCTION

FUNCTION sampleStock() AS LONG
  ' three items to start from when there is no stock file yet
  LOCAL i AS LONG, n AS LONG
  n = DATACOUNT \ 4
  REDIM Items(1 TO n) AS StockItem
  FOR I = 1 TO n
    items(i).code = READ$(i * 4 - 3) : items(i).caption = READ$(i * 4 - 2)
    items(i).COUNT = VAL(READ$(i * 4 - 1)) : items(i).PRICE = VAL(READ$(i * 4))
    Items(I).State = StateOf(items(i).count)
  NEXT
  itemcount = n
  FUNCTION = n
  DATA "A-100", "Hex bolts, M6", 240, 0.12
  data "A-220", "Washers: steel, 6 mm", 3, 0.05
  DATA B-310, Wall plugs for brick, 0, 0.09
END FUNCTION

SUB SaveStock(BYVAL FileName AS STRING)
  LOCAL ff AS LONG
  IF RIGHT$(FileName, 1) = "\" THEN FileName = FileName + "STOCK.BAK"
  ff = FREEFILE
  OPEN filename FOR BINARY AS #ff
  PUT #ff, 1, Items()
  CLOSE #ff
  REM the status line says where it went: PRINT is not needed
  CONTROL SET TEXT hDlg, %IDC_STATUS, "Saved: " + FileName
END SUB
