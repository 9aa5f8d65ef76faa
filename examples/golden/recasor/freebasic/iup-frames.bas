' iup-frames.bas -- the settings window of a small file viewer, built with
' IUP: a frame with the user's details, a list of recent files, a status line.
' Most of the texts are escaped strings, !"...", so that quotes and tabs fit.
#include once "iup.bi"

const APP_TITLE = !"File viewer\t(v1.2)"
const HOME_DIR = $"C:\Users\default\"   ' $"..." is never escaped

dim shared as Ihandle ptr dlg, lblStatus, lstRecent

'' Paths with blanks get quotes, the way the shell wants them.
function QuoteIfNeeded(byref f as const string) as string
    if instr(f, " ") = 0 then return f
    if left(f, 1) = !"\"" then return f
    return !"\"" & f & !"\""
end function

function StripQuotes(byval f as string) as string
    If Left(f, 1) = !"\"" then f = mid(f, 2)
    if right(f, 1) = !"\"" then f = left(f, len(f) - 1)
    return f
end function

function FolderOf(byref path as const string) as string
    dim as integer i = instrrev(path, !"\\")
    if i = 0 then return HOME_DIR else return left(path, i)
end function

function on_select cdecl(byval ih as Ihandle ptr, byval text as zstring ptr, byval item as long, byval state as long) as long
    if state = 1 then
        IupSetStrAttribute(lblStatus, "TITLE", !"Selected: \"" & StripQuotes(*text) & !"\"\nin " & FolderOf(*text))
    end if
    return IUP_DEFAULT
end function

function on_open cdecl(byval ih as Ihandle ptr) as long
    dim as zstring ptr chosen = IupGetAttribute(lstRecent, "VALUESTRING")
    if chosen = 0 then
        IupMessage("Open", !"Nothing is selected.\nPick a file in the list first.")
    else
        shell "notepad " & QuoteIfNeeded(*chosen)
    end if
    return IUP_DEFAULT
end function

IupOpen(0, 0)

dim as Ihandle ptr frame = IupFrame(IupVbox(IupLabel(!"Name:\tuser"), IupLabel($"Home:" & HOME_DIR), 0))
IupSetAttributes(frame, !"TITLE=\"This is the frame\", MARGIN=10x10")

lstRecent = IupList(0)
IupSetAttributes(lstRecent, !"EXPAND=YES, 1=\"C:\\Program Files\\viewer\\readme.txt\", 2=\"notes.txt\"")
IupSetCallback(lstRecent, "ACTION", cast(Icallback, @on_select))

lblStatus = IupLabel(!"Ready.\nChoose a file, then press \"Open\".")
dim as Ihandle ptr btnOpen = IupButton("&Open", 0)
IupSetAttribute(btnOpen, "TIP", "Opens the ""selected"" file")   ' doubled quotes: a plain string
IupSetCallback(btnOpen, "ACTION", cast(Icallback, @on_open))

dim as Ihandle ptr frame2 = IupFrame(IupVbox(lstRecent, lblStatus, 0))
IupSetAttribute(frame2, "TITLE", $"Recent files (kept in C:\temp\)")
if left(HOME_DIR, 3) = $"C:\" then print "home is on drive C"

dlg = IupDialog(IupVbox(frame, frame2, btnOpen, 0))
IupSetAttributes(dlg, !"TITLE=\"" & APP_TITLE & !"\", SIZE=HALFxHALF")
IupShowXY(dlg, IUP_CENTER, IUP_CENTER)
IupMainLoop()
IupClose()
end 0
