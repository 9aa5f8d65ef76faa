#!/usr/bin/env python3
"""Build Keywords.ini, the vocabulary of the keyword-case tool.

Keywords.ini holds five word lists, each enclosed by its own start and end tag:

  FreeBasic keywords   <- tools/vocabulary/freebasic-keywords.txt
  PowerBasic keywords  <- tools/vocabulary/powerbasic-keywords.txt
  API keywords         <- Windows API functions that the mingw-w64 import
                          libraries (lib*.a) export and its headers declare,
                          the generic names of A/W pairs, and the macro-only
                          names of tools/vocabulary/api-macros.txt
  FreeBasic constants  <- tools/vocabulary/freebasic-constants.txt, then the
                          Windows constants taken from the mingw-w64 headers
  PowerBasic constants <- tools/vocabulary/powerbasic-constants.txt, then the
                          same Windows constants written with a leading '%'

The hand-written lists hold one entry per line; blank lines and lines that
start with // are ignored, except that a keyword list's opening // block (its
spelling rules) is copied into the remarks of Keywords.ini.  Every entry is
written in the letter case the tool should produce.  Inside a list the first
spelling of a word wins, so later entries that differ only in letter case are
dropped.  Entries with characters a
BASIC word can never contain are dropped too (and counted on stderr).

Usage:
  python3 tools/make_keywords_ini.py [--mingw-root DIR]... [--include-dir DIR]
                                     [--vocabulary-dir DIR] [--output PATH]

Only the Python standard library is used.  The import libraries are listed
with the mingw-w64 'nm' (or plain 'nm'); if no working nm is found, the
symbol index of the ar archive is read directly.  The output depends only on
the inputs: no dates, no host names, so the same inputs give the same bytes.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
from collections import OrderedDict

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# ---------------------------------------------------------------------------
# Sections, in file order: (tag name, short description)
# ---------------------------------------------------------------------------
SECTION_FB_KEYWORDS = "FreeBasicKeywords"
SECTION_PB_KEYWORDS = "PowerBasicKeywords"
SECTION_API = "ApiKeywords"
SECTION_FB_CONSTANTS = "FreeBasicConstants"
SECTION_PB_CONSTANTS = "PowerBasicConstants"
SECTION_ORDER = [SECTION_FB_KEYWORDS, SECTION_PB_KEYWORDS, SECTION_API,
                 SECTION_FB_CONSTANTS, SECTION_PB_CONSTANTS]

# Names that C headers define only as macros but BASIC Windows headers
# declare as functions (CreateWindow, ZeroMemory, ...).
API_MACRO_FILE = "api-macros.txt"

HAND_LIST_FILES = {
    SECTION_FB_KEYWORDS: "freebasic-keywords.txt",
    SECTION_PB_KEYWORDS: "powerbasic-keywords.txt",
    SECTION_FB_CONSTANTS: "freebasic-constants.txt",
    SECTION_PB_CONSTANTS: "powerbasic-constants.txt",
}

# A word can only ever match BASIC text when it consists of these characters.
WORD_RE = re.compile(r"[A-Za-z0-9_%&$.!?@]+\Z")

LINE_WIDTH = 100

# ---------------------------------------------------------------------------
# Windows API: import libraries whose exported functions form the API section
# ---------------------------------------------------------------------------
API_LIBRARIES = [
    "kernel32", "user32", "gdi32", "comctl32", "comdlg32", "shell32",
    "advapi32", "ole32", "oleaut32", "winmm", "ws2_32",
    # Further libraries that BASIC Windows programs commonly call into.
    "shlwapi", "version", "msimg32", "uxtheme", "imm32", "winspool",
]

# Headers whose declarations decide which exports are API names: these, and
# every header they include.
API_HEADERS = [
    "windows.h", "commctrl.h", "commdlg.h", "shellapi.h", "shlobj.h",
    "shlwapi.h", "winsock2.h", "ws2tcpip.h", "ole2.h", "oleauto.h",
    "mmsystem.h", "uxtheme.h", "winspool.h", "richedit.h", "winver.h", "imm.h",
]

# Exports that headers declare but no program calls: the COM marshalling
# helpers (HWND_UserMarshal, BSTR_UserSize64, ...), shell32's unaligned
# string helpers (uaw_lstrlenW, ...) and the runtime's own helpers behind
# compiler features and macros (__C_specific_handler, __WSAFDIsSet).
INTERNAL_EXPORT_RE = re.compile(r"[A-Za-z0-9]+_User(Marshal|Unmarshal|Size|Free)(64)?\Z|uaw_|__")

DEFAULT_MINGW_ROOTS = ["/usr/x86_64-w64-mingw32", "/usr/i686-w64-mingw32"]
DEFAULT_INCLUDE_DIR = "/usr/share/mingw-w64/include"

# ---------------------------------------------------------------------------
# Windows constants: headers scanned and the name families taken from them
# ---------------------------------------------------------------------------
CONSTANT_HEADERS = [
    "minwindef.h", "windef.h", "winuser.h", "wingdi.h", "minwinbase.h",
    "winbase.h", "handleapi.h", "fileapi.h", "processthreadsapi.h",
    "synchapi.h", "winnt.h", "winerror.h", "winnls.h", "wincon.h", "winreg.h",
    "winver.h", "commctrl.h", "prsht.h", "commdlg.h", "cderr.h", "richedit.h",
    "shellapi.h", "shlobj.h", "mmsystem.h", "winsock2.h", "oleauto.h",
]

# Family prefixes.  A prefix entry "FOO_" takes every object-like macro whose
# name starts with it.  A prefix may be tied to a few headers when the same
# prefix also names unrelated things elsewhere (winnt.h has a great many
# IMAGE_ constants describing the PE file format, for example).
CONSTANT_PREFIXES = [
    # Windows, messages, window styles and classes
    ("WM_", None), ("WS_", None), ("WS_EX_", None), ("CS_", None),
    ("CW_", None), ("SW_", None), ("SWP_", None), ("GWL_", None),
    ("GWLP_", None), ("GCL_", None), ("GCLP_", None), ("GCW_", None),
    ("GW_", None), ("GA_", None), ("HWND_", None), ("SM_", None),
    ("SPI_", None), ("SPIF_", None), ("COLOR_", None), ("SIZE_", None),
    ("WA_", None), ("SC_", None), ("WH_", None), ("HC_", None),
    ("HCBT_", None), ("PM_", None), ("QS_", None), ("MA_", None),
    ("WPF_", None), ("WVR_", None), ("ICON_", None), ("RDW_", None),
    ("AW_", None), ("FLASHW_", None), ("MONITOR_", None), ("MDITILE_", None),
    ("MDIS_", None), ("CTLCOLOR_", None), ("DLGC_", None), ("UIS_", None),
    ("UISF_", None), ("ULW_", None), ("LWA_", None), ("SMTO_", None),
    ("BSM_", None), ("BSF_", None), ("EWX_", None), ("GR_", None),
    # Keyboard and mouse
    ("VK_", None), ("MK_", None), ("KEYEVENTF_", None),
    ("MOUSEEVENTF_", None), ("INPUT_", None), ("KF_", None),
    ("XBUTTON", ("winuser.h",)), ("WHEEL_", ("winuser.h",)),
    ("TME_", None), ("HOVER_", None),
    # Message boxes, dialogs, resources
    ("MB_", None), ("DS_", None), ("DM_", None), ("IDC_", None),
    ("IDI_", None), ("IDB_", ("commctrl.h",)), ("OBM_", None),
    ("OIC_", None), ("OCR_", None), ("IMAGE_", ("winuser.h",)),
    ("LR_", None), ("RT_", ("winuser.h",)), ("CF_", None),
    # Menus
    ("MF_", None), ("MFT_", None), ("MFS_", None), ("MIIM_", None),
    ("MIM_", None), ("MNS_", None), ("MNC_", None), ("TPM_", None),
    ("HBMMENU_", None), ("MND_", None),
    # Drawing helpers in winuser.h
    ("DT_", None), ("DST_", None), ("DSS_", None), ("DFC_", None),
    ("DFCS_", None), ("EDGE_", None), ("BDR_", None), ("BF_", None),
    # Standard controls
    ("BS_", None), ("BN_", None), ("BM_", None), ("BST_", None),
    ("BCM_", None), ("BCN_", None), ("BCSIF_", None), ("BCSS_", None),
    ("ES_", None), ("EN_", None), ("EM_", None), ("EC_", None),
    ("LBS_", None), ("LB_", None), ("LBN_", None), ("CBS_", None),
    ("CB_", None), ("CBN_", None), ("CBES_", None), ("CBEM_", None),
    ("CBEN_", None), ("CBEIF_", None), ("SS_", None), ("STM_", None),
    ("STN_", None), ("SB_", None), ("SBS_", None), ("SBT_", None),
    ("SBARS_", None), ("ESB_", None), ("SIF_", None),
    # Common controls
    ("ICC_", None), ("CCS_", None), ("CCM_", None), ("NM_", None),
    ("WC_", None), ("CLR_", None), ("ILC_", None), ("ILD_", None),
    ("CDDS_", None), ("CDRF_", None), ("CDIS_", None),
    ("TVS_", None), ("TVM_", None), ("TVN_", None), ("TVI_", None),
    ("TVIF_", None), ("TVIS_", None), ("TVGN_", None), ("TVE_", None),
    ("TVHT_", None), ("TVSIL_", None), ("TVC_", None),
    ("LVS_", None), ("LVS_EX_", None), ("LVM_", None), ("LVN_", None),
    ("LVIF_", None), ("LVIS_", None), ("LVNI_", None), ("LVCF_", None),
    ("LVCFMT_", None), ("LVSIL_", None), ("LVHT_", None), ("LVA_", None),
    ("LVFI_", None), ("LVSCW_", None), ("LVIR_", None), ("LVKF_", None),
    ("LVGF_", None), ("LVGS_", None),
    ("TCS_", None), ("TCM_", None), ("TCN_", None), ("TCIF_", None),
    ("TCIS_", None), ("TCHT_", None),
    ("TBSTYLE_", None), ("TBSTYLE_EX_", None), ("BTNS_", None),
    ("TB_", None), ("TBN_", None), ("TBSTATE_", None), ("TBIF_", None),
    ("TBCDRF_", None), ("TBDDRET_", None), ("TBS_", None), ("TBM_", None),
    ("TBTS_", None), ("TTS_", None), ("TTM_", None), ("TTN_", None),
    ("TTF_", None), ("TTI_", None), ("TTDT_", None), ("PBS_", None),
    ("PBM_", None), ("PBST_", None), ("UDS_", None), ("UDM_", None),
    ("UDN_", None), ("HDS_", None), ("HDM_", None), ("HDN_", None),
    ("HDI_", None), ("HDF_", None), ("HHT_", None), ("RBS_", None),
    ("RB_", None), ("RBN_", None), ("RBBS_", None), ("RBBIM_", None),
    ("DTM_", None), ("DTN_", None), ("DTS_", None), ("GDT_", None),
    ("GDTR_", None), ("MCM_", None), ("MCN_", None), ("MCS_", None),
    ("MCSC_", None), ("ACS_", None), ("ACM_", None), ("ACN_", None),
    ("IPM_", None), ("IPN_", None), ("HKM_", None), ("HOTKEYF_", None),
    ("PGS_", None), ("PGM_", None), ("PGN_", None), ("LWS_", None),
    ("LM_", ("commctrl.h",)), ("LIF_", None), ("LIS_", None),
    ("PSN_", None), ("PSM_", None), ("PSH_", None), ("PSP_", None),
    ("PSNRET_", None), ("PSBTN_", None), ("ID_PSRESTARTWINDOWS", None),
    ("ID_PSREBOOTSYSTEM", None),
    # Rich edit
    ("ENM_", None), ("CFM_", None), ("CFE_", None), ("CFU_", None),
    ("PFM_", None), ("PFN_", None), ("PFA_", None), ("SF_", None),
    ("SFF_", None), ("SCF_", None), ("ECO_", None), ("ECOOP_", None),
    ("GT_", ("richedit.h",)), ("TM_", ("richedit.h",)),
    ("RICHEDIT_CLASS", None), ("MSFTEDIT_CLASS", None),
    # Common dialogs
    ("OFN_", None), ("CC_", None), ("PD_", None), ("FR_", None),
    ("PSD_", None), ("CDN_", None), ("CDM_", None), ("CDERR_", None),
    ("FNERR_", None), ("PDERR_", None), ("CFERR_", None), ("FRERR_", None),
    ("PSDERR_", None), ("CCERR_", None),
    # GDI
    ("PS_", None), ("HS_", None), ("FW_", None), ("OUT_", None),
    ("CLIP_", None), ("FF_", None), ("TA_", None), ("VTA_", None),
    ("ETO_", None), ("R2_", None), ("DIB_", None), ("BI_", None),
    ("RGN_", None), ("MM_", None), ("GM_", None), ("AC_", None),
    ("BLACKONWHITE", None), ("WHITEONBLACK", None), ("COLORONCOLOR", None),
    ("HALFTONE", None), ("STRETCH_", None), ("PT_", ("wingdi.h",)),
    ("AD_", ("wingdi.h",)), ("DCB_", None), ("DC_", None),
    ("LF_", ("wingdi.h",)), ("OBJ_", None), ("GGO_", None), ("TMPF_", None),
    ("NTM_", None), ("ICM_", ("wingdi.h",)), ("SHADEBLENDCAPS", None),
    ("GRADIENT_FILL_", None), ("GDI_ERROR", None), ("HGDI_ERROR", None),
    ("CLR_INVALID", None), ("AC_SRC_", None),
    # Windows base services
    ("GENERIC_", None), ("FILE_", None), ("CREATE_", None),
    ("OPEN_", None), ("TRUNCATE_EXISTING", None), ("INVALID_", None),
    ("INFINITE", None), ("WAIT_", None), ("MAX_PATH", None), ("STD_", None),
    ("ERROR_", None), ("NO_ERROR", None), ("GMEM_", None), ("LMEM_", None),
    ("HEAP_", None), ("MEM_", None), ("PAGE_", None), ("SEC_", ("winnt.h",)),
    ("DRIVE_", None), ("FORMAT_MESSAGE_", None), ("MOVEFILE_", None),
    ("COPY_FILE_", None), ("FIND_", None), ("SEM_", None), ("DUPLICATE_", None),
    ("STARTF_", None), ("PROCESS_", None), ("THREAD_", None),
    ("STILL_ACTIVE", None), ("SYNCHRONIZE", None), ("STANDARD_RIGHTS_", None),
    ("READ_CONTROL", None),
    ("WRITE_DAC", None), ("WRITE_OWNER", None), ("MAXIMUM_ALLOWED", None),
    ("ACCESS_SYSTEM_SECURITY", None), ("NORMAL_PRIORITY_CLASS", None),
    ("IDLE_PRIORITY_CLASS", None), ("HIGH_PRIORITY_CLASS", None),
    ("REALTIME_PRIORITY_CLASS", None), ("BELOW_NORMAL_PRIORITY_CLASS", None),
    ("ABOVE_NORMAL_PRIORITY_CLASS", None), ("DEBUG_PROCESS", None),
    ("DEBUG_ONLY_THIS_PROCESS", None), ("DETACHED_PROCESS", None),
    ("EVENT_", ("winnt.h",)), ("MUTEX_", ("winnt.h",)),
    ("SEMAPHORE_", ("winnt.h",)), ("TIMER_", ("winnt.h",)),
    ("TOKEN_", ("winnt.h",)), ("SE_", ("winnt.h",)),
    ("DLL_PROCESS_", None), ("DLL_THREAD_", None), ("LOAD_LIBRARY_", None),
    ("GET_MODULE_HANDLE_EX_", None), ("PROCESSOR_ARCHITECTURE_", None),
    ("VER_", ("winnt.h", "winbase.h")), ("LANG_", None), ("SUBLANG_", None),
    ("SORT_", ("winnt.h",)), ("LOCALE_", None), ("CP_", ("winnls.h",)),
    ("WC_", ("winnls.h",)), ("CT_CTYPE", None), ("C1_", None), ("C3_", None),
    ("NORM_", None), ("LCMAP_", None), ("DATE_", None), ("TIME_", None),
    ("CTRL_", ("wincon.h",)), ("FOREGROUND_", None), ("BACKGROUND_", None),
    ("COMMON_LVB_", None), ("ENABLE_", ("wincon.h",)),
    ("CONSOLE_", ("wincon.h",)), ("KEY_", None), ("REG_", None),
    ("HKEY_", None), ("RRF_", None), ("S_OK", None), ("S_FALSE", None),
    ("E_", ("winerror.h",)), ("DISP_E_", None), ("CO_E_", None),
    ("CLASS_E_", None), ("REGDB_E_", None), ("TYPE_E_", None),
    ("NOERROR", None), ("SEVERITY_", None), ("FACILITY_", None),
    # Version resources
    ("VS_", ("winver.h",)), ("VFT_", None), ("VFT2_", None), ("VOS_", None),
    ("VOS__", None), ("VIF_", None), ("VFF_", None),
    # Shell
    ("SHGFI_", None), ("SEE_MASK_", None), ("SE_ERR_", None), ("FO_", ("shellapi.h",)),
    ("FOF_", None), ("FOFX_", None), ("BIF_", None), ("BFFM_", None),
    ("CSIDL_", None), ("NIM_", None), ("NIF_", None), ("NIIF_", None),
    ("NIS_", None), ("NIN_", None), ("NOTIFYICON_VERSION", None),
    ("SHCNE_", None), ("SHCNF_", None), ("ABM_", None), ("ABN_", None),
    ("ABE_", None), ("ABS_", None), ("SHGFP_", None), ("SHERB_", None),
    ("SHARD_", None),
    # Multimedia
    ("SND_", None), ("MMSYSERR_", None), ("WAVERR_", None),
    ("MIDIERR_", None), ("TIMERR_", None), ("MCIERR_", None), ("MCI_", None),
    ("WAVE_", None), ("WHDR_", None), ("MHDR_", None), ("CALLBACK_", None),
    ("MOM_", None), ("WIM_", None), ("WOM_", None), ("JOY_", None), ("JOYERR_", None), ("MIXER_", None),
    ("MIXERLINE_", None), ("MIXERCONTROL_", None), ("MMIO_", None),
    ("SEEK_", ("mmsystem.h",)), ("AUX_", None), ("MIDI_", None),
    # Winsock
    ("AF_", None), ("PF_", None), ("SOCK_", None), ("IPPROTO_", None),
    ("INADDR_", None), ("SOL_", None), ("SO_", None), ("SOMAXCONN", None),
    ("INVALID_SOCKET", None), ("SOCKET_ERROR", None), ("MSG_", ("winsock2.h",)),
    ("FD_", None), ("WSAE", None), ("WSA_", None), ("WSADESCRIPTION_LEN", None),
    ("WSASYS_STATUS_LEN", None), ("SD_", ("winsock2.h",)), ("TCP_NODELAY", None),
    ("IP_", ("winsock2.h",)), ("HOST_NOT_FOUND", None), ("TRY_AGAIN", None),
    ("NO_RECOVERY", None), ("NO_DATA", None), ("NO_ADDRESS", None),
    ("FIONBIO", None), ("FIONREAD", None), ("FIOASYNC", None),
    ("SIO_", None), ("MAXGETHOSTSTRUCT", None),
    # OLE automation
    ("VT_", None), ("VARIANT_", ("oleauto.h",)), ("DISPATCH_", None),
    ("DISPID_", ("oleauto.h",)),
]

# Single names (no family) that belong with the families above.
CONSTANT_NAMES = [
    "IDOK", "IDCANCEL", "IDABORT", "IDRETRY", "IDIGNORE", "IDYES", "IDNO",
    "IDCLOSE", "IDHELP", "IDTRYAGAIN", "IDCONTINUE", "IDTIMEOUT",
    # Hit-test codes of WM_NCHITTEST
    "HTERROR", "HTTRANSPARENT", "HTNOWHERE", "HTCLIENT", "HTCAPTION",
    "HTSYSMENU", "HTGROWBOX", "HTSIZE", "HTMENU", "HTHSCROLL", "HTVSCROLL",
    "HTMINBUTTON", "HTMAXBUTTON", "HTLEFT", "HTRIGHT", "HTTOP", "HTTOPLEFT",
    "HTTOPRIGHT", "HTBOTTOM", "HTBOTTOMLEFT", "HTBOTTOMRIGHT", "HTBORDER",
    "HTREDUCE", "HTZOOM", "HTSIZEFIRST", "HTSIZELAST", "HTOBJECT", "HTCLOSE",
    "HTHELP",
    # Raster operations
    "SRCCOPY", "SRCPAINT", "SRCAND", "SRCINVERT", "SRCERASE", "NOTSRCCOPY",
    "NOTSRCERASE", "MERGECOPY", "MERGEPAINT", "PATCOPY", "PATPAINT",
    "PATINVERT", "DSTINVERT", "BLACKNESS", "WHITENESS", "NOMIRRORBITMAP",
    "CAPTUREBLT",
    # Stock objects
    "WHITE_BRUSH", "LTGRAY_BRUSH", "GRAY_BRUSH", "DKGRAY_BRUSH",
    "BLACK_BRUSH", "NULL_BRUSH", "HOLLOW_BRUSH", "WHITE_PEN", "BLACK_PEN",
    "NULL_PEN", "OEM_FIXED_FONT", "ANSI_FIXED_FONT", "ANSI_VAR_FONT",
    "SYSTEM_FONT", "DEVICE_DEFAULT_FONT", "DEFAULT_PALETTE",
    "SYSTEM_FIXED_FONT", "DEFAULT_GUI_FONT", "DC_BRUSH", "DC_PEN",
    # Font quality and pitch
    "DEFAULT_QUALITY", "DRAFT_QUALITY", "PROOF_QUALITY",
    "NONANTIALIASED_QUALITY", "ANTIALIASED_QUALITY", "CLEARTYPE_QUALITY",
    "CLEARTYPE_NATURAL_QUALITY", "DEFAULT_PITCH", "FIXED_PITCH",
    "VARIABLE_PITCH", "MONO_FONT",
    # Background modes, fill modes, region results
    "TRANSPARENT", "OPAQUE", "ALTERNATE", "WINDING", "NULLREGION",
    "SIMPLEREGION", "COMPLEXREGION", "RGN_ERROR",
    # GetDeviceCaps indexes
    "DRIVERVERSION", "TECHNOLOGY", "HORZSIZE", "VERTSIZE", "HORZRES",
    "VERTRES", "BITSPIXEL", "PLANES", "NUMBRUSHES", "NUMPENS", "NUMMARKERS",
    "NUMFONTS", "NUMCOLORS", "PDEVICESIZE", "CURVECAPS", "LINECAPS",
    "POLYGONALCAPS", "TEXTCAPS", "CLIPCAPS", "RASTERCAPS", "ASPECTX",
    "ASPECTY", "ASPECTXY", "LOGPIXELSX", "LOGPIXELSY", "SIZEPALETTE",
    "NUMRESERVED", "COLORRES", "PHYSICALWIDTH", "PHYSICALHEIGHT",
    "PHYSICALOFFSETX", "PHYSICALOFFSETY", "SCALINGFACTORX", "SCALINGFACTORY",
    "VREFRESH", "DESKTOPVERTRES", "DESKTOPHORZRES", "BLTALIGNMENT",
    # Miscellaneous
    "CBM_INIT", "WHEEL_DELTA", "WHEEL_PAGESCROLL", "CCHDEVICENAME",
    "CCHFORMNAME", "LF_FACESIZE", "LF_FULLFACESIZE", "USER_TIMER_MINIMUM",
    "USER_TIMER_MAXIMUM", "MAXIMUM_WAIT_OBJECTS", "STATUS_WAIT_0",
    "STATUS_TIMEOUT", "STATUS_PENDING", "SWP_NOSIZE", "HELPINFO_WINDOW",
    "HELPINFO_MENUITEM", "UNICODE_NOCHAR", "WINEVENT_OUTOFCONTEXT",
    "CONNECT_UPDATE_PROFILE", "DONT_RESOLVE_DLL_REFERENCES",
]

# Never taken from the headers: these belong to the hand-written lists.
CONSTANT_EXCLUDED = {"TRUE", "FALSE", "NULL"}

# Character sets (ANSI_CHARSET, SHIFTJIS_CHARSET, ...) and the output
# precisions (OUT_TT_PRECIS, ...) are recognised by their endings.
CONSTANT_SUFFIXES = [("_CHARSET", ("wingdi.h",)), ("_PRECIS", ("wingdi.h",))]

DEFINE_RE = re.compile(r"^[ \t]*#[ \t]*define[ \t]+([A-Za-z_][A-Za-z0-9_]*)(.*)\Z")
PREPROCESSOR_RE = re.compile(r"[ \t]*#")
INCLUDE_RE = re.compile(r"^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"]", re.M)
CALL_RE = re.compile(r"\b([A-Za-z_][A-Za-z0-9_]*)\s*\(")


def fail(message):
    sys.stderr.write("make_keywords_ini: error: %s\n" % message)
    sys.exit(1)


def note(message):
    sys.stderr.write("make_keywords_ini: %s\n" % message)


def ascii_lower(text):
    return "".join(chr(ord(c) + 32) if "A" <= c <= "Z" else c for c in text)


def sort_key(word):
    """Case-insensitive order.  Of two spellings of one word (winspool.drv
    exports both DeviceMode and DEVICEMODE) the mixed-case one comes first and
    so wins; remaining ties go by the exact spelling, so the order never
    depends on how the input happened to be arranged."""
    return (ascii_lower(word), word == word.upper(), word)


# ---------------------------------------------------------------------------
# Hand-written lists
# ---------------------------------------------------------------------------
def leading_remarks(path):
    """The comment block at the top of a hand-written list: the list's own
    account of its spelling rules, copied into the remarks of Keywords.ini."""
    lines = []
    with open(path, "rb") as handle:
        for line in handle.read().decode("latin-1").splitlines():
            if not line.startswith("//"):
                break
            lines.append(line[2:].strip())
    return lines


def read_hand_list(path):
    """Entries of one hand-written list file, in file order (unfiltered)."""
    if not os.path.isfile(path):
        note("warning: %s does not exist; its list is empty" % path)
        return []
    with open(path, "rb") as handle:
        data = handle.read()
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    text = data.decode("latin-1")   # bytes kept one to one; non-ASCII is dropped later
    entries = []
    for line in text.splitlines():
        entry = line.strip(" \t\r\n\f\v")
        if not entry or entry.startswith("//"):
            continue
        entries.append(entry)
    if not entries:
        note("warning: %s holds no entries yet" % path)
    return entries


# ---------------------------------------------------------------------------
# Import libraries
# ---------------------------------------------------------------------------
def find_nm_programs(root):
    """nm programs to try for the import libraries below one mingw-w64 root."""
    candidates = [os.path.basename(os.path.normpath(root)) + "-nm",
                  "x86_64-w64-mingw32-nm", "i686-w64-mingw32-nm", "nm"]
    found = []
    for name in candidates:
        path = shutil.which(name)
        if path and path not in found:
            found.append(path)
    return found


def symbols_with_nm(nm_program, library):
    """(imported, defined code) symbol names of one archive, or None on failure."""
    try:
        result = subprocess.run([nm_program, library], stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, check=False)
    except OSError:
        return None
    if result.returncode != 0:
        return None
    imports, code = set(), set()
    for raw in result.stdout.decode("latin-1").splitlines():
        fields = raw.split()
        if len(fields) < 2:
            continue
        kind, name = fields[-2], fields[-1]
        if name.startswith("__imp_"):
            imports.add(name)
        elif kind == "T":
            code.add(name)
    return imports, code


def symbols_from_archive_index(library):
    """Same as symbols_with_nm, read from the ar symbol index ('/' member).

    The index cannot tell code from data, so every indexed name that is not an
    __imp_ name counts as code; data exports have no such thunk name."""
    with open(library, "rb") as handle:
        data = handle.read()
    if not data.startswith(b"!<arch>\n"):
        fail("%s is not an ar archive" % library)
    header = data[8:68]
    name = header[0:16].rstrip(b" ")
    size = int(header[48:58].strip() or b"0")
    body = data[68:68 + size]
    imports, code = set(), set()
    if name == b"/":
        count = int.from_bytes(body[0:4], "big")
        strings = body[4 + 4 * count:].split(b"\0")[:count]
    elif name == b"/SYM64/":
        count = int.from_bytes(body[0:8], "big")
        strings = body[8 + 8 * count:].split(b"\0")[:count]
    else:
        fail("%s has no symbol index and no nm could read it" % library)
    for raw in strings:
        symbol = raw.decode("latin-1")
        if symbol.startswith("__imp_"):
            imports.add(symbol)
        else:
            code.add(symbol)
    return imports, code


def undecorate(symbol, i686):
    """Exported name behind one symbol name (without the __imp_ prefix)."""
    if i686:
        if symbol.startswith("@"):            # fastcall: @Name@N
            symbol = symbol[1:]
        elif symbol.startswith("_"):          # cdecl / stdcall: _Name[@N]
            symbol = symbol[1:]
        # stdcall @N; libshell32.a also has an "ExtractIconW@" without the N.
        symbol = re.sub(r"@[0-9]*\Z", "", symbol)
    return symbol


def exported_functions(library, nm_programs):
    """Function names exported through one import library."""
    symbols = None
    for program in nm_programs:
        symbols = symbols_with_nm(program, library)
        if symbols is not None:
            break
    if symbols is None:
        symbols = symbols_from_archive_index(library)
    imports, code = symbols
    i686 = any(re.search(r"@[0-9]+\Z", s) for s in imports) or \
        "i686" in os.path.basename(os.path.dirname(os.path.dirname(library)))
    names = set()
    for imported in imports:
        target = imported[len("__imp_"):]
        if target not in code:
            continue                          # data export, not a function
        names.add(undecorate(target, i686))
    return names


def collect_exports(roots):
    """Function names exported by the API import libraries, plus a report of
    the libraries that were used."""
    exported = set()
    used = []
    missing = []
    for library_name in API_LIBRARIES:
        found_any = False
        for root in roots:
            path = os.path.join(root, "lib", "lib%s.a" % library_name)
            if not os.path.isfile(path):
                continue
            names = exported_functions(path, find_nm_programs(root))
            exported |= names
            used.append((path, len(names)))
            found_any = True
        if not found_any:
            missing.append(library_name)
    if missing:
        fail("import libraries not found under %s: %s"
             % (", ".join(roots), ", ".join("lib%s.a" % m for m in missing)))
    return exported, used


def header_closure(include_dir, roots):
    """Text of the given headers and of every header they include, by name."""
    texts = {}
    pending = list(roots)
    while pending:
        header = pending.pop()
        if header in texts:
            continue
        path = os.path.join(include_dir, header)
        if not os.path.isfile(path):
            lowered = os.path.join(include_dir, header.lower())
            if not os.path.isfile(lowered):
                if header in roots:
                    fail("header not found: %s" % path)
                continue                      # a header of another platform or compiler
            path = lowered
        with open(path, "rb") as handle:
            texts[header] = handle.read().decode("latin-1")
        pending += INCLUDE_RE.findall(texts[header])
    return texts


def declarations(texts):
    """(names written as calls or prototypes outside the preprocessor lines,
    names defined as macros) of some header texts."""
    called, macros = set(), set()
    for text in texts.values():
        text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
        text = re.sub(r"//[^\n]*", "", text)
        text = re.sub(r"\\[ \t]*\r?\n", " ", text)
        code = []
        for line in text.splitlines():
            match = DEFINE_RE.match(line)
            if match:
                macros.add(match.group(1))
            elif not PREPROCESSOR_RE.match(line):
                code.append(line)
        called.update(CALL_RE.findall("\n".join(code)))
    return called, macros


def collect_api_names(roots, include_dir, macro_only):
    """The API section: exported functions that the headers declare, the
    generic names of A/W pairs that the headers define, and the macro-only
    names of the hand list.  Returns (names, libraries used, headers read,
    number of generic names, names dropped as not declared)."""
    exported, used = collect_exports(roots)
    texts = header_closure(include_dir, API_HEADERS)
    declared, macros = declarations(texts)
    functions = {name for name in exported
                 if name in declared and not INTERNAL_EXPORT_RE.match(name)}
    # CreateWindowExA + CreateWindowExW -> CreateWindowEx, the name a header
    # #defines to one of the two.
    generic = {name[:-1] for name in functions
               if name.endswith("A") and name[:-1] + "W" in functions
               and name[:-1] in macros}
    undefined = [name for name in macro_only if name not in macros]
    if undefined:
        fail("no header defines these macro-only API names: %s" % ", ".join(undefined))
    names = functions | generic | set(macro_only)
    return sorted(names, key=sort_key), used, sorted(texts), len(generic), \
        len(exported - functions)


# ---------------------------------------------------------------------------
# Headers
# ---------------------------------------------------------------------------
def object_like_defines(path):
    """Names of the object-like macros (#define NAME value) of one header."""
    with open(path, "rb") as handle:
        text = handle.read().decode("latin-1")
    # Join continued lines first.
    text = re.sub(r"\\[ \t]*\r?\n", " ", text)
    names = []
    for line in text.splitlines():
        match = DEFINE_RE.match(line)
        if not match:
            continue
        name, rest = match.group(1), match.group(2)
        if rest.startswith("("):
            continue                          # function-like macro
        value = re.sub(r"/\*.*?\*/|//.*", "", rest).strip()
        if not value:
            continue                          # include guards and switches
        names.append(name)
    return names


def constant_family(name, header):
    """Family a macro name belongs to, or None when it is not wanted."""
    if name in CONSTANT_EXCLUDED:
        return None
    if name in CONSTANT_NAMES_SET:
        return "single names"
    best = None
    for prefix, headers in CONSTANT_PREFIXES:
        if headers is not None and header not in headers:
            continue
        if name.startswith(prefix) and (best is None or len(prefix) > len(best)):
            best = prefix
    if best is not None:
        return best + "*" if not best.endswith("_") else best
    for suffix, headers in CONSTANT_SUFFIXES:
        if headers is not None and header not in headers:
            continue
        if name.endswith(suffix) and len(name) > len(suffix):
            return "*" + suffix
    return None


CONSTANT_NAMES_SET = set(CONSTANT_NAMES)


def collect_constants(include_dir):
    names = set()
    families = {}
    used = []
    missing = []
    for header in CONSTANT_HEADERS:
        path = os.path.join(include_dir, header)
        if not os.path.isfile(path):
            missing.append(header)
            continue
        count = 0
        for name in object_like_defines(path):
            family = constant_family(name, header)
            if family is None:
                continue
            if name != name.upper() and "_" not in name:
                continue                      # WSAEnumProtocols is a function, not a WSAE* code
            if name not in names:
                count += 1
                names.add(name)
                families.setdefault(family, set()).add(name)
        used.append((header, count))
    if missing:
        fail("headers not found in %s: %s" % (include_dir, ", ".join(missing)))
    return sorted(names, key=sort_key), used, families


# ---------------------------------------------------------------------------
# Output
# ---------------------------------------------------------------------------
def clean_section(entries):
    """Keep valid words, first spelling of each word only.

    Returns (kept, dropped for bad characters, dropped as repeats)."""
    kept = []
    seen = set()
    bad = []
    repeats = 0
    for entry in entries:
        if not WORD_RE.match(entry):
            bad.append(entry)
            continue
        key = ascii_lower(entry)
        if key in seen:
            repeats += 1
            continue
        seen.add(key)
        kept.append(entry)
    return kept, bad, repeats


def wrap_words(words, width=LINE_WIDTH):
    lines = []
    current = ""
    for word in words:
        if current and len(current) + 1 + len(word) > width:
            lines.append(current)
            current = word
        else:
            current = word if not current else current + " " + word
    if current:
        lines.append(current)
    return lines


def remark(lines):
    return ["; " + line if line else ";" for line in lines]


def package_version(package):
    dpkg = shutil.which("dpkg-query")
    if not dpkg:
        return None
    try:
        result = subprocess.run([dpkg, "-W", "-f=${Version}", package],
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                check=False)
    except OSError:
        return None
    version = result.stdout.decode("latin-1").strip()
    return version if result.returncode == 0 and version else None


def header_version(include_dir):
    """mingw-w64 version from _mingw_mac.h, for hosts without dpkg."""
    path = os.path.join(include_dir, "_mingw_mac.h")
    try:
        with open(path, "rb") as handle:
            text = handle.read().decode("latin-1")
    except OSError:
        return None
    parts = []
    for key in ("MAJOR", "MINOR", "BUGFIX"):
        match = re.search(r"#define\s+__MINGW64_VERSION_%s\s+(\d+)" % key, text)
        if not match:
            return None
        parts.append(match.group(1))
    return ".".join(parts)


def describe_mingw(include_dir, roots):
    common = package_version("mingw-w64-common")
    if common:
        text = "Debian package mingw-w64-common %s" % common
        dev = []
        for root in roots:
            arch = os.path.basename(os.path.normpath(root))
            package = {"x86_64-w64-mingw32": "mingw-w64-x86-64-dev",
                       "i686-w64-mingw32": "mingw-w64-i686-dev"}.get(arch)
            version = package_version(package) if package else None
            if version:
                dev.append("%s %s" % (package, version))
        return text, (", ".join(dev) if dev else text)
    version = header_version(include_dir)
    text = "mingw-w64 %s" % version if version else "mingw-w64 (version unknown)"
    return text, text


def build(args):
    vocabulary_dir = args.vocabulary_dir
    roots = args.mingw_root or [r for r in DEFAULT_MINGW_ROOTS
                                if os.path.isdir(os.path.join(r, "lib"))]
    if not roots:
        fail("no mingw-w64 root found (tried %s); use --mingw-root"
             % ", ".join(DEFAULT_MINGW_ROOTS))
    include_dir = args.include_dir
    if not include_dir:
        for candidate in [DEFAULT_INCLUDE_DIR] + [os.path.join(r, "include") for r in roots]:
            if os.path.isfile(os.path.join(candidate, "winuser.h")):
                include_dir = candidate
                break
    if not include_dir:
        fail("no mingw-w64 include directory with winuser.h found; use --include-dir")

    hand = {section: read_hand_list(os.path.join(vocabulary_dir, name))
            for section, name in HAND_LIST_FILES.items()}
    api_names, libraries_used, api_headers, base_count, undeclared = collect_api_names(
        roots, include_dir, read_hand_list(os.path.join(vocabulary_dir, API_MACRO_FILE)))
    constants, headers_used, families = collect_constants(include_dir)

    raw = OrderedDict()
    raw[SECTION_FB_KEYWORDS] = hand[SECTION_FB_KEYWORDS]
    raw[SECTION_PB_KEYWORDS] = hand[SECTION_PB_KEYWORDS]
    raw[SECTION_API] = api_names
    raw[SECTION_FB_CONSTANTS] = hand[SECTION_FB_CONSTANTS] + constants
    raw[SECTION_PB_CONSTANTS] = hand[SECTION_PB_CONSTANTS] + ["%" + c for c in constants]

    sections = OrderedDict()
    stats = OrderedDict()
    for section, entries in raw.items():
        kept, bad, repeats = clean_section(entries)
        sections[section] = kept
        stats[section] = (len(kept), bad, repeats)

    headers_text, libraries_text = describe_mingw(include_dir, roots)
    library_files = sorted({os.path.basename(path) for path, _ in libraries_used})
    root_text = ", ".join(os.path.join(r, "lib") for r in roots)

    out = []
    out += remark([
        "Keywords.ini - the vocabulary of the keyword-case tool.",
        "",
        "Generated by tools/make_keywords_ini.py; do not edit by hand.  Change the lists",
        "in tools/vocabulary/ (or the generator) and run:",
        "    python3 tools/make_keywords_ini.py",
        "",
        "The file has five sections, each enclosed by a start tag and an end tag:",
        "the FreeBasic keywords, the PowerBasic keywords, the Windows API function",
        "names, the FreeBasic constants and the PowerBasic constants.  Only the text",
        "between the tags is read; everything outside them (like this remark) is",
        "ignored, and inside a section there are no remarks: every word is vocabulary.",
        "",
        "Inside a section the words are separated by spaces, line ends, commas or",
        "semicolons.  Each word is written in the letter case the output shows.  When",
        "a word occurs more than once, in any letter case, the first occurrence wins.",
        "A word may consist of letters, digits and the characters _ % & $ . ! ? @",
    ])
    out.append("")

    descriptions = {
        SECTION_FB_KEYWORDS: [
            "FreeBasic keywords: the hand-written list tools/vocabulary/freebasic-keywords.txt",
            "(%d words)." % stats[SECTION_FB_KEYWORDS][0],
            "",
        ] + leading_remarks(os.path.join(vocabulary_dir, HAND_LIST_FILES[SECTION_FB_KEYWORDS])),
        SECTION_PB_KEYWORDS: [
            "PowerBasic keywords: the hand-written list tools/vocabulary/powerbasic-keywords.txt",
            "(%d words)." % stats[SECTION_PB_KEYWORDS][0],
            "",
        ] + leading_remarks(os.path.join(vocabulary_dir, HAND_LIST_FILES[SECTION_PB_KEYWORDS])),
        SECTION_API: [
            "Windows API function names (%d words): the functions that the mingw-w64"
            % stats[SECTION_API][0],
            "import libraries in %s export" % root_text,
            "(%s):" % libraries_text,
        ] + ["    " + line for line in wrap_words(library_files, LINE_WIDTH - 8)] + [
            "and that the headers in %s declare (%s):" % (include_dir, headers_text),
        ] + ["    " + line for line in wrap_words(API_HEADERS, LINE_WIDTH - 8)] + [
            "and the headers they include (%d headers in all)." % len(api_headers),
            "%d exports are left out: those no header declares, and internal helpers"
            % undeclared,
            "(COM marshalling, unaligned strings, names that begin with __).  Both the",
            "A and the W variant of a function are listed (MessageBoxA, MessageBoxW),",
            "and also the generic name a header defines to one of them (MessageBox;",
            "%d such names).  Then the names of" % base_count,
            "tools/vocabulary/%s: names that the headers define only as macros"
            % API_MACRO_FILE,
            "and BASIC Windows headers declare as functions (CreateWindow, ZeroMemory).",
            "Spelled as the headers spell them, sorted without regard to letter case.",
        ],
        SECTION_FB_CONSTANTS: [
            "FreeBasic constants: first the hand-written list",
            "tools/vocabulary/freebasic-constants.txt, then the Windows constants",
            "generated from the #define lines of the mingw-w64 headers in",
            "%s (%s):" % (include_dir, headers_text),
        ] + ["    " + line for line in wrap_words([h for h, _ in headers_used], LINE_WIDTH - 8)] + [
            "(%d words in all; %d Windows constants, sorted without regard to letter case)."
            % (stats[SECTION_FB_CONSTANTS][0], len(constants)),
        ],
        SECTION_PB_CONSTANTS: [
            "PowerBasic constants: first the hand-written list",
            "tools/vocabulary/powerbasic-constants.txt, then the same Windows constants",
            "as in the FreeBasic constant section, each written with a leading %",
            "(%%WM_KEYDOWN).  %d words in all." % stats[SECTION_PB_CONSTANTS][0],
        ],
    }

    for section in SECTION_ORDER:
        out += remark(descriptions[section] + [
            "Regenerate with: python3 tools/make_keywords_ini.py"])
        out.append("<%s>" % section)
        out += wrap_words(sections[section])
        out.append("</%s>" % section)
        out.append("")
    out += remark(["End of the vocabulary."])

    # No remark may carry a tag: the reader takes the first occurrence of a tag.
    for line in out:
        if line.startswith(";") and ("<" in line or ">" in line):
            fail("a remark contains an angle bracket: %r" % line)

    content = ("\n".join(out) + "\n").encode("ascii")
    return content, stats, libraries_used, headers_used, families, include_dir


def main():
    parser = argparse.ArgumentParser(
        description="Build Keywords.ini from the hand-written lists and mingw-w64.")
    parser.add_argument("--mingw-root", action="append", metavar="DIR",
                        help="mingw-w64 target root holding lib/lib*.a (may be given "
                             "more than once; default: /usr/x86_64-w64-mingw32 and "
                             "/usr/i686-w64-mingw32 where present)")
    parser.add_argument("--include-dir", metavar="DIR",
                        help="mingw-w64 header directory (default: "
                             "/usr/share/mingw-w64/include, else ROOT/include)")
    parser.add_argument("--vocabulary-dir", metavar="DIR",
                        default=os.path.join(REPO_ROOT, "tools", "vocabulary"),
                        help="directory of the hand-written lists "
                             "(default: tools/vocabulary)")
    parser.add_argument("--output", metavar="PATH",
                        default=os.path.join(REPO_ROOT, "Keywords.ini"),
                        help="file to write (default: Keywords.ini at the repository root)")
    parser.add_argument("--verbose", action="store_true",
                        help="also list the libraries, headers and constant families used")
    args = parser.parse_args()

    content, stats, libraries_used, headers_used, families, include_dir = build(args)

    temporary = args.output + ".tmp"
    with open(temporary, "wb") as handle:
        handle.write(content)
    os.replace(temporary, args.output)

    total_bad = 0
    for section, (count, bad, repeats) in stats.items():
        total_bad += len(bad)
        note("%-20s %6d words (%d dropped for bad characters, %d repeats dropped)"
             % (section, count, len(bad), repeats))
        for entry in bad[:20]:
            note("    dropped: %r" % entry)
        if len(bad) > 20:
            note("    ... and %d more" % (len(bad) - 20))
    if args.verbose:
        for path, count in libraries_used:
            note("library %s: %d functions" % (path, count))
        for header, count in headers_used:
            note("header %s/%s: %d new constants" % (include_dir, header, count))
        for family in sorted(families, key=sort_key):
            note("family %-22s %5d" % (family, len(families[family])))
    note("wrote %s (%d bytes, %d entries dropped for bad characters)"
         % (args.output, len(content), total_bad))


if __name__ == "__main__":
    main()
