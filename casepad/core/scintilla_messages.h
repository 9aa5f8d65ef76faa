#pragma once
// The published Scintilla messages, notifications and values that casepad
// uses. Only numbers: the core never sees the component's own headers.

inline constexpr unsigned int SCI_INSERTTEXT = 2003;
inline constexpr unsigned int SCI_GETCURRENTPOS = 2008;
inline constexpr unsigned int SCI_GOTOLINE = 2024;
inline constexpr unsigned int SCI_GOTOPOS = 2025;
inline constexpr unsigned int SCI_STYLECLEARALL = 2050;
inline constexpr unsigned int SCI_STYLESETFORE = 2051;
inline constexpr unsigned int SCI_STYLESETBOLD = 2053;
inline constexpr unsigned int SCI_STYLESETITALIC = 2054;
inline constexpr unsigned int SCI_STYLESETSIZE = 2055;
inline constexpr unsigned int SCI_STYLESETFONT = 2056;
inline constexpr unsigned int SCI_GETLINEENDPOSITION = 2136;
inline constexpr unsigned int SCI_GETLINE = 2153;
inline constexpr unsigned int SCI_GETLINECOUNT = 2154;
inline constexpr unsigned int SCI_SETSEL = 2160;
inline constexpr unsigned int SCI_LINEFROMPOSITION = 2166;
inline constexpr unsigned int SCI_REPLACESEL = 2170;
inline constexpr unsigned int SCI_GETFOLDLEVEL = 2223;
inline constexpr unsigned int SCI_GETFOLDPARENT = 2225;
inline constexpr unsigned int SCI_GETFOLDEXPANDED = 2230;
inline constexpr unsigned int SCI_TOGGLEFOLD = 2231;
inline constexpr unsigned int SCI_SETMARGINTYPEN = 2240;
inline constexpr unsigned int SCI_SETMARGINWIDTHN = 2242;
inline constexpr unsigned int SCI_SETMARGINMASKN = 2244;
inline constexpr unsigned int SCI_SETMARGINSENSITIVEN = 2246;
inline constexpr unsigned int SCI_LINELENGTH = 2350;
inline constexpr unsigned int SCI_SETLEXER = 4001;
inline constexpr unsigned int SCI_SETPROPERTY = 4004;
inline constexpr unsigned int SCI_SETKEYWORDS = 4005;

inline constexpr int SCN_UPDATEUI = 2007;
inline constexpr int SCN_MARGINCLICK = 2010;

inline constexpr int STYLE_DEFAULT = 32;
inline constexpr int STYLE_LINENUMBER = 33;
inline constexpr int SC_MARGIN_NUMBER = 1;
inline constexpr int SCLEX_POWERBASIC = 51;
inline constexpr int SC_FOLDLEVELHEADERFLAG = 0x2000;
